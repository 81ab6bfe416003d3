#include "FuzzTargets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "engine/codecs/Codecs.h"
#include "engine/codecs/Decoders.h"
#include "engine/codecs/PngHeader.h"
#include "engine/image/Limits.h"
#include "engine/cut/Render.h"
#include "engine/settings/Profile.h"
#include "engine/text/TextDrawing.h"

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {
namespace {

QString digest(const engine::image::Image& image) {
    // Row padding is not the picture's; hash the pixels only.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    std::vector<engine::image::Rgb> row(static_cast<size_t>(image.width()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            row[static_cast<size_t>(x)] = image.pixel(x, y);
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(row.data()),
                                    static_cast<qsizetype>(row.size() * 4)));
    }
    return QStringLiteral("%1x%2 %3")
        .arg(image.width())
        .arg(image.height())
        .arg(QString::fromLatin1(hash.result().toHex()));
}

// The keys the program reads, names in other letter cases, and Shift-JIS names
// whose trail bytes look like "\" (表, ソ) or "[" (ー).
struct Key {
    const char* section;
    const char* key;
};
const Key Keys[] = {
    {"Data", "Mongon"},   {"Data", "BackColor"}, {"Font", "Name"},   {"Font", "Size"},
    {"Font", "Italic"},   {"Font", "Tick"},      {"JPEG", "Rate"},   {"JPEG", "Prgrs"},
    {"PNG", "Rate"},      {"Options", "GIF"},    {"data", "MONGON"}, {"\x95\x5c", "\x83\x5c"},
    {"\x81\x5b", "Name"},
};
constexpr int KeyCount = sizeof Keys / sizeof Keys[0];

bool sameName(const std::string& a, const std::string& b) {
    return QByteArray::fromStdString(a).toLower() == QByteArray::fromStdString(b).toLower();
}

// Lines with their ends; CR, LF and CR LF each end a line.
std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines.push_back(bytes.substr(start, i + 1 - start));
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

// One key's line may change and a section header and key may be added; a last
// line without a line break may gain one. Nothing else may differ.
void checkOnlyOneLineChanged(const std::string& before, const std::string& after) {
    const auto a = splitLines(before), b = splitLines(after);
    size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    const size_t removed = a.size() - prefix - suffix, added = b.size() - prefix - suffix;
    FUZZ_CHECK(removed <= 1);
    FUZZ_CHECK(added <= 3);
    if (removed == 1 && added >= 2) {
        // Only a last line that lacked its line break may be followed by more.
        const std::string& old = a[prefix];
        FUZZ_CHECK(prefix + 1 == a.size() && old.back() != '\n' && old.back() != '\r');
        FUZZ_CHECK(b[prefix] == old + "\r\n");
    }
}

std::string readKey(const Key& k, const engine::settings::Profile& profile) {
    return profile.value(k.section, k.key).value_or("\x01none");
}

// Decoded only as far as a third of it is shown, a picture is the top-left of
// the whole one, whatever the rest of the file holds, and no smaller than asked
// (an interlaced PNG comes whole).
void checkCut(bool cut, const engine::image::Image& part, const engine::image::Image& whole) {
    FUZZ_CHECK(cut && part.width() >= std::max(whole.width() / 3, 1) &&
               part.height() >= std::max(whole.height() / 3, 1) &&
               part == whole.copied(part.width(), part.height()));
}

QSize aThird(QSize whole) {
    return whole / 3;
}

} // namespace

QString profile(const QByteArray& input) {
    // The first byte picks the key, the value runs to the first NUL, the file follows.
    if (input.isEmpty())
        return QStringLiteral("empty");
    const Key& key = Keys[static_cast<unsigned char>(input[0]) % KeyCount];
    const qsizetype nul = input.indexOf('\0', 1);
    std::string value = input.mid(1, nul < 0 ? -1 : nul - 1).left(200).toStdString();
    const std::string content = nul < 0 ? std::string() : input.mid(nul + 1).toStdString();
    // Blanks and quotes at the ends are the reader's to remove; keep them inside.
    if (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.front() == '"' ||
                           value.front() == '\''))
        value.insert(0, "x");
    if (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '"' ||
                           value.back() == '\''))
        value.push_back('x');

    engine::settings::Profile file = engine::settings::Profile::fromBytes(
        QByteArrayView(content.data(), static_cast<qsizetype>(content.size())));
    std::string before[KeyCount];
    QString result;
    for (int i = 0; i < KeyCount; ++i) {
        before[i] = readKey(Keys[i], file);
        result += QString::number(qHash(QByteArray::fromStdString(before[i]))) + " ";
    }

    const bool lineBreak = value.find_first_of("\r\n") != std::string::npos;
    const bool written = file.setValue(key.section, key.key, value);
    const std::string after = file.bytes().toStdString();
    if (lineBreak || !written) {
        FUZZ_CHECK(!lineBreak || !written);
        FUZZ_CHECK(after == content);
        return result + QStringLiteral("refused");
    }
    checkOnlyOneLineChanged(content, after);
    FUZZ_CHECK(readKey(key, file) == value);
    for (int i = 0; i < KeyCount; ++i)
        if (!(sameName(Keys[i].section, key.section) && sameName(Keys[i].key, key.key)))
            FUZZ_CHECK(readKey(Keys[i], file) == before[i]);
    return result + QStringLiteral("written");
}

QString png(const QByteArray& input) {
    const engine::codecs::PngHeader header = engine::codecs::parsePngHeader(input.left(24));
    if (!header.signatureOk || !engine::image::pictureSizeAllowed(header.width, header.height))
        return QStringLiteral("refused by the header");
    engine::image::Image image, part;
    const bool cut = engine::codecs::decodePng(input, part, aThird);
    if (!engine::codecs::decodePng(input, image))
        return QStringLiteral("refused by the decoder");
    FUZZ_CHECK(engine::image::pictureSizeAllowed(image.width(), image.height()));
    checkCut(cut, part, image);
    return digest(image);
}

QString picture(const QByteArray& input) {
    engine::image::Image image, part;
    const bool cut = engine::codecs::decodePicture(input, part, nullptr, aThird);
    if (!engine::codecs::decodePicture(input, image))
        return QStringLiteral("refused");
    FUZZ_CHECK(engine::image::pictureSizeAllowed(image.width(), image.height()));
    checkCut(cut, part, image);
    return digest(image);
}

QString text(const QByteArray& input) {
    // Set before fontconfig first reads its configuration, in this process.
    static const bool suiteFonts = qputenv("FONTCONFIG_FILE", VELMORA_TEST_FONTCONFIG);
    FUZZ_CHECK(suiteFonts);
    if (input.size() < 2)
        return QStringLiteral("too short");
    static const char* const Faces[] = {"IPA Pゴシック",     "@IPAゴシック",   "IPA明朝",
                                        "DejaVu Sans",      "DejaVu Serif",   "Noto Color Emoji",
                                        "No Such Family", ""};
    static const double Huge[] = {100, 500, 2000, 24575, 30000, 1e9};
    const auto size = static_cast<unsigned char>(input[0]);
    const auto style = static_cast<unsigned char>(input[1]);
    const double points = size < 250 ? 1 + size % 48 : Huge[size - 250];
    const engine::text::FontSpec font = engine::text::fontRequest(
        QString::fromUtf8(Faces[style & 7]), points, (style & 8) != 0, (style & 16) != 0);
    // A few hundred bytes make any line the window takes; longer ones only cost time.
    const QString line = QString::fromUtf8(input.mid(2, 400));
    const bool smooth = (style & 32) != 0;
    const engine::text::Letters letters(line, font, smooth);
    const QSize measured = letters.size();
    FUZZ_CHECK(measured.width() >= 0 && measured.height() >= 0);
    // Grey edges may reach a pixel further than hard ones; hard letters are measured alike.
    FUZZ_CHECK(smooth || engine::text::measureText(line, font) == measured);
    if (line.isEmpty())
        FUZZ_CHECK(measured.width() == 0);
    if (!engine::cut::textSizeAllowed(measured.width(), measured.height()))
        return QStringLiteral("%1x%2 refused").arg(measured.width()).arg(measured.height());
    // Larger pictures run the same code at a cost that would slow the search down.
    if (std::int64_t{measured.width()} * measured.height() > 4'000'000)
        return QStringLiteral("%1x%2 measured").arg(measured.width()).arg(measured.height());
    const engine::image::Image cover = letters.cover();
    FUZZ_CHECK(cover.isNull() == (measured.width() == 0 || measured.height() == 0));
    FUZZ_CHECK(cover.isNull() || QSize(cover.width(), cover.height()) == measured);
    return digest(cover);
}

std::vector<Target> targetsFor(const QString& folder) {
    if (folder == QLatin1String("profile"))
        return {profile};
    if (folder == QLatin1String("png"))
        return {png, picture};
    if (folder == QLatin1String("picture"))
        return {picture};
    if (folder == QLatin1String("text"))
        return {text};
    return {};
}

} // namespace fuzz
