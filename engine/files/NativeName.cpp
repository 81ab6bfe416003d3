#include "NativeName.h"

namespace engine::files {
namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0.
int sequenceLength(const QByteArray& b, qsizetype at) {
    const auto byte = [&b](qsizetype i) { return static_cast<unsigned char>(b[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    const int n = lead >= 0xC2 && lead <= 0xDF   ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
    if (n == 0 || at + n > b.size())
        return 0;
    for (int i = 1; i < n; ++i)
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    const unsigned char second = byte(at + 1);
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return n;
}

} // namespace

QString decodeNativeName(const QByteArray& bytes) {
    QString name;
    for (qsizetype at = 0; at < bytes.size();) {
        const int n = sequenceLength(bytes, at);
        if (n == 0) {
            name += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        // Decoded here rather than by Qt, which drops a U+FEFF that begins a
        // piece it decodes: a name starting with one would name another file.
        static constexpr unsigned char leadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
        char32_t c = static_cast<unsigned char>(bytes[at]) & leadBits[n];
        for (int i = 1; i < n; ++i)
            c = (c << 6) | (static_cast<unsigned char>(bytes[at + i]) & 0x3F);
        name += QChar::fromUcs4(c);
        at += n;
    }
    return name;
}

QByteArray encodeNativeName(const QString& name) {
    // A low surrogate stands for a byte only where it is not the second half
    // of a character beyond U+FFFF.
    const auto escaped = [&name](qsizetype at) {
        const char16_t c = name[at].unicode();
        return c >= 0xDC80 && c <= 0xDCFF && !(at > 0 && name[at - 1].isHighSurrogate());
    };
    QByteArray bytes;
    for (qsizetype at = 0; at < name.size();) {
        if (escaped(at)) {
            bytes += static_cast<char>(name[at].unicode() - 0xDC00);
            ++at;
            continue;
        }
        // A run without escaped bytes encodes as UTF-8.
        qsizetype end = at;
        while (end < name.size() && !escaped(end))
            ++end;
        bytes += QStringView(name).mid(at, end - at).toUtf8();
        at = end;
    }
    return bytes;
}

} // namespace engine::files
