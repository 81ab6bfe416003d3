#include "CodePage.h"

#include <string>
#include <utility>

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
    // Characters the C library's CP932 writes as the Microsoft table's
    // neighbours, as the Linux build does: the same bytes on both systems.
    static constexpr std::pair<char16_t, char16_t> Alike[] = {
        {0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225}, {0x2014, 0x2015}, {0x00A2, 0xFFE0},
        {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x00A5, u'\\'}, {0x203E, u'~'}};
    std::wstring units;
    units.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        char16_t u = c.isSurrogate() ? u'?' : c.unicode();
        for (const auto& [from, to] : Alike)
            u = u == from ? to : u;
        units += static_cast<wchar_t>(u);
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
    // A character at a time: a byte that starts none, and the single bytes the
    // C library's CP932 has no character for (0x80, 0xA0, 0xFD to 0xFF), become
    // '?', as on Linux.
    QString out;
    for (size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const size_t size = isLeadByte(byte) && i + 1 < bytes.size() ? 2 : 1;
        wchar_t c[2];
        const int n = size == 1 && (byte == 0x80 || byte == 0xA0 || byte >= 0xFD)
                          ? 0
                          : MultiByteToWideChar(ShiftJis, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                                static_cast<int>(size), c, 2);
        out += n > 0 ? QString::fromWCharArray(c, n) : QString(u'?');
        i += n > 0 ? size : 1;
    }
    return out;
}

} // namespace engine::settings
