#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include <QString>
#include <QStringDecoder>

#include "engine/files/NativeName.h"

namespace {

// Qt's own UTF-8 codec as the oracle, keeping a byte order mark as the
// character it is in a name: a sequence is UTF-8 when Qt decodes it without a
// replacement character and encodes it back to the same bytes.
QString fromUtf8(const QByteArray& bytes) {
    return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)(bytes);
}

bool isUtf8(const QByteArray& bytes) {
    const QString text = fromUtf8(bytes);
    return !text.contains(QChar::ReplacementCharacter) && text.toUtf8() == bytes;
}

// The name as Qt's codec reads it where it can, one escape per byte where it cannot.
QString expectedName(const QByteArray& bytes) {
    QString name;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype n = 1;
        while (n <= 4 && !(at + n <= bytes.size() && isUtf8(bytes.mid(at, n))))
            ++n;
        if (n > 4) {
            name += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[at++])));
            continue;
        }
        name += fromUtf8(bytes.mid(at, n));
        at += n;
    }
    return name;
}

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes += char(v);
    return bytes;
}

} // namespace

// Every one-, two- and three-byte sequence and the four-byte ones at the
// planes' edges: UTF-8 decodes as such (U+D7FF, ED 9F BF, too), everything
// else byte by byte as escapes (the surrogates, ED A0 80 on), and each name
// encodes back to its bytes.
TEST(NativeName, DecodesUtf8AndEscapesTheRestByteForByte) {
    std::vector<QByteArray> names;
    for (int a = 0; a < 256; ++a) {
        names.push_back(QByteArray(1, char(a)));
        for (int b = 0x70; b < 0xD0; ++b) {
            names.push_back(bytesOf({a, b}));
            for (int c : {0x7F, 0x80, 0x9F, 0xA0, 0xBF, 0xC0})
                names.push_back(bytesOf({a, b, c}));
        }
    }
    for (int a : {0xF0, 0xF3, 0xF4, 0xF5})
        for (int b : {0x80, 0x8F, 0x90, 0xBF})
            names.push_back(bytesOf({a, b, 0x80, 0xBF}));
    int escapedNames = 0;
    for (const QByteArray& bytes : names) {
        SCOPED_TRACE(bytes.toHex(' ').toStdString());
        const QString name = engine::files::decodeNativeName(bytes);
        ASSERT_EQ(name, expectedName(bytes));
        ASSERT_EQ(engine::files::encodeNativeName(name), bytes);
        escapedNames += !isUtf8(bytes);
    }
    EXPECT_GT(escapedNames, 1000);
}
