#include "Settings.h"

#include <charconv>
#include <cmath>
#include <string>

#include <QFileInfo>

#include "engine/files/AtomicFile.h"
#include "engine/settings/basFunc.h"
#include "engine/settings/CodePage.h"
#include "engine/settings/ConfigFolder.h"
#include "engine/settings/Profile.h"
#include "engine/settings/Ranges.h"

QString gMongon;
std::int32_t gBackColor = 0;
QString gFontName;
float gFontSize = 10.0f;
std::int16_t gFontItalic = 0;
std::int16_t gFontTick = 0;
std::int16_t gJpegRate = engine::settings::JpegRate.fallback;
std::int16_t gJpegPrgrs = 0;
std::int16_t gPngRate = engine::settings::PngLevel.fallback;
std::int16_t gOptionsGif = 1;
QString gIniFile;

namespace {

const QString IniName = QStringLiteral("Velmora.Ini");
const QString DefaultFontName = QStringLiteral("ＭＳ Ｐゴシック");

template <typename Int> bool parseInt(const QString& text, Int& value) {
    const std::string s = text.toStdString();
    Int parsed{};
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty())
        return false;
    value = parsed;
    return true;
}

// A key whose text does not convert to its type takes the key's default.
template <typename Int>
Int readInt(const QString& section, const QString& key, Int fallback, const QString& iniFile) {
    Int value = fallback;
    parseInt(GetIniString(section, key, QString::number(fallback), iniFile), value);
    return value;
}

void writeInt(const QString& section, const QString& key, std::int32_t value) {
    PutIniString(section, key, QString::number(value), gIniFile);
}

// The file beside the program whenever it is there or can be made there (a
// portable copy); otherwise, as for an installed copy, the user's config folder.
QString settingsFile(const QString& programFolder) {
    const QString beside = AddPathSep(programFolder) + IniName;
    if (QFileInfo::exists(beside) || engine::files::isWritableTarget(beside))
        return beside;
    return AddPathSep(engine::settings::userConfigFolder(QStringLiteral("velmora"))) + IniName;
}

// The exact text of a value Shift-JIS cannot hold (é, ❤, 𠮷...) is kept beside
// it under "<key>Utf8" as percent-escaped UTF-8: plain ASCII, which Shift-JIS and
// the original program, which ignores the key, pass through untouched.
QString exactKey(const QString& key) {
    return key + QStringLiteral("Utf8");
}

// What the key gives back once the value is written: Shift-JIS, with blanks
// trimmed and enclosing quotes removed as the profile reader does.
QString asRead(const QString& value) {
    return engine::settings::fromAnsi(engine::settings::readBack(engine::settings::toAnsi(value)));
}

// The value, from its exact form while that still stands for what the key
// holds; once another program has changed the key, the key wins.
QString readExact(const QString& section, const QString& key, const QString& fallback,
                  const QString& iniFile) {
    const QString value = GetIniString(section, key, fallback, iniFile);
    const QString exact = QString::fromUtf8(QByteArray::fromPercentEncoding(
        GetIniString(section, exactKey(key), QString(), iniFile).toLatin1()));
    if (!exact.isEmpty() && asRead(exact) == value)
        return exact;
    return value;
}

// The key as the original reads it and, where Shift-JIS loses something or an
// exact form is already there (which must not outlive its text), the exact form.
void writeExact(const QString& section, const QString& key, const QString& value) {
    PutIniString(section, key, value, gIniFile);
    const bool lossy = asRead(value) != value;
    if (lossy || !GetIniString(section, exactKey(key), QString(), gIniFile).isEmpty())
        PutIniString(section, exactKey(key),
                     QString::fromLatin1(value.toUtf8().toPercentEncoding()), gIniFile);
}

} // namespace

QString FormatFontSize(float size) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, size);
    std::string text(buffer, result.ptr);
    int digits = 0;
    for (char c : text) {
        if (c == 'e' || c == 'E')
            break;
        if (c >= '1' && c <= '9')
            ++digits;
        else if (c == '0' && digits > 0)
            ++digits;
    }
    if (digits > 7) {
        result = std::to_chars(buffer, buffer + sizeof buffer, size, std::chars_format::general, 7);
        text.assign(buffer, result.ptr);
    }
    return QString::fromStdString(text);
}

bool ParseFontSize(const QString& text, float& size) {
    const std::string s = text.trimmed().toStdString();
    float parsed = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(parsed))
        return false;
    size = parsed;
    return true;
}

void LoadSettings(const QString& programFolder) {
    gIniFile = settingsFile(programFolder);
    ReadSettings(gIniFile);
}

void ReadSettings(const QString& iniFile) {
    gMongon = readExact("Data", "Mongon", "Sample", iniFile);
    gBackColor = readInt<std::int32_t>("Data", "BackColor", 0, iniFile);
    gFontName = readExact("Font", "Name", DefaultFontName, iniFile);
    // A value out of its range falls back to the default, as one that does not convert does.
    gFontSize = engine::settings::FontSize.fallback;
    ParseFontSize(GetIniString("Font", "Size", "10.0", iniFile), gFontSize);
    gFontSize = engine::settings::FontSize.orFallback(gFontSize);
    gFontItalic = readInt<std::int16_t>("Font", "Italic", 0, iniFile);
    gFontTick = readInt<std::int16_t>("Font", "Tick", 0, iniFile);
    gJpegRate = static_cast<std::int16_t>(engine::settings::JpegRate.orFallback(
        readInt<std::int16_t>("JPEG", "Rate", engine::settings::JpegRate.fallback, iniFile)));
    gJpegPrgrs = readInt<std::int16_t>("JPEG", "Prgrs", 0, iniFile);
    gPngRate = static_cast<std::int16_t>(engine::settings::PngLevel.orFallback(
        readInt<std::int16_t>("PNG", "Rate", engine::settings::PngLevel.fallback, iniFile)));
    gOptionsGif = readInt<std::int16_t>("Options", "GIF", 1, iniFile);
}

void SaveSettings() {
    writeExact("Data", "Mongon", gMongon);
    writeInt("Data", "BackColor", gBackColor);
    writeExact("Font", "Name", gFontName);
    PutIniString("Font", "Size", FormatFontSize(gFontSize), gIniFile);
    writeInt("Font", "Italic", gFontItalic);
    writeInt("Font", "Tick", gFontTick);
    writeInt("JPEG", "Rate", gJpegRate);
    writeInt("JPEG", "Prgrs", gJpegPrgrs);
    writeInt("PNG", "Rate", gPngRate);
}
