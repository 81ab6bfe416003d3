#include "CodePage.h"

#include <string>

#include <windows.h>

// Shift-JIS through the system's own converter, code page 932, as the classic
// program wrote its settings.
namespace engine::settings {
namespace {

constexpr UINT ShiftJis = 932;

} // namespace

std::string toAnsi(const QString& text) {
    // A character beyond U+FFFF, or half of one, has no Shift-JIS form: it
    // becomes one '?', as any other character without one.
    std::wstring units;
    units.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        units += c.isSurrogate() ? L'?' : static_cast<wchar_t>(c.unicode());
    }
    if (units.empty())
        return {};
    const int length = static_cast<int>(units.size());
    const int n = WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, units.data(), length,
                                      nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, units.data(), length, out.data(), n, "?",
                        nullptr);
    return out;
}

QString fromAnsi(std::string_view bytes) {
    const auto convert = [](const char* from, int length, wchar_t* to, int room) {
        return MultiByteToWideChar(ShiftJis, MB_ERR_INVALID_CHARS, from, length, to, room);
    };
    const int length = static_cast<int>(bytes.size());
    std::wstring whole(bytes.size(), L'\0');
    if (length == 0)
        return {};
    if (const int n = convert(bytes.data(), length, whole.data(), length); n > 0)
        return QString::fromWCharArray(whole.data(), n);
    // Bytes that are no Shift-JIS: each character on its own, and a byte that
    // starts none becomes '?'.
    QString out;
    for (size_t i = 0; i < bytes.size();) {
        const size_t size =
            isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        wchar_t c[2];
        const int n = convert(bytes.data() + i, static_cast<int>(size), c, 2);
        out += n > 0 ? QString::fromWCharArray(c, n) : QString(u'?');
        i += n > 0 ? size : 1;
    }
    return out;
}

} // namespace engine::settings
