#include "Settings.h"

#include <charconv>
#include <cmath>
#include <string>
#include <variant>

#include <QDir>
#include <QFile>

#include "engine/files/AtomicFile.h"
#include "engine/settings/CodePage.h"
#include "engine/settings/ConfigFolder.h"
#include "engine/settings/Ranges.h"

namespace engine::settings {
namespace {

const QString IniName = QStringLiteral("Velmora.Ini");

// Every key of the file, in the order a first start writes them, with the
// member it fills.
using Field = std::variant<QString Settings::*, image::COLORREF Settings::*, float Settings::*,
                           bool Settings::*, int Settings::*, GifUse Settings::*>;
// When a key is written: the classic program's nine always; the looks it never
// had only once they are on or the file has them, so that a file that never
// used them keeps the classic program's bytes; "GIF" is the user's to add.
enum class Written { Always, WhenUsed, Never };
struct Key {
    const char* section;
    const char* name;
    Field field;
    Written written;
};
const Key Keys[] = {
    {"Data", "Mongon", &Settings::text, Written::Always},
    {"Data", "BackColor", &Settings::groundColor, Written::Always},
    {"Font", "Name", &Settings::fontFamily, Written::Always},
    {"Font", "Size", &Settings::pointSize, Written::Always},
    {"Font", "Italic", &Settings::italic, Written::Always},
    {"Font", "Tick", &Settings::bold, Written::Always},
    {"JPEG", "Rate", &Settings::jpegRate, Written::Always},
    {"JPEG", "Prgrs", &Settings::jpegProgressive, Written::Always},
    {"PNG", "Rate", &Settings::pngLevel, Written::Always},
    {"Options", "GIF", &Settings::gif, Written::Never},
    {"Options", "Smooth", &Settings::smooth, Written::WhenUsed},
    {"Options", "Transparent", &Settings::transparent, Written::WhenUsed},
};

template <typename Int> bool parseInt(const QString& text, Int& value) {
    const std::string s = text.toStdString();
    Int parsed{};
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty())
        return false;
    value = parsed;
    return true;
}

// A key's text as the program reads it: from Shift-JIS, up to a NUL.
QString textOf(const Profile& profile, const std::string& section, const std::string& key,
               const QString& fallback) {
    const std::optional<std::string> value = profile.value(section, key);
    const QString text = value ? fromAnsi(*value) : fallback;
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// The exact text of a value Shift-JIS cannot hold (é, ❤, 𠮷...) is kept beside
// it under "<key>Utf8" as percent-escaped UTF-8: plain ASCII, which Shift-JIS and
// the original program, which ignores the key, pass through untouched.
std::string exactKey(const char* key) {
    return std::string(key) + "Utf8";
}

// What the key gives back once the value is written: Shift-JIS, with blanks
// trimmed and enclosing quotes removed as the profile reader does.
QString asRead(const QString& value) {
    return fromAnsi(readBack(toAnsi(value)));
}

// The value, from its exact form while that still stands for what the key
// holds; once another program has changed the key, the key wins.
QString readExact(const Profile& profile, const Key& key, const QString& fallback) {
    const QString value = textOf(profile, key.section, key.name, fallback);
    const QString exact = QString::fromUtf8(QByteArray::fromPercentEncoding(
        textOf(profile, key.section, exactKey(key.name), QString()).toLatin1()));
    if (!exact.isEmpty() && asRead(exact) == value)
        return exact;
    return value;
}

// The key as the original reads it and, where Shift-JIS loses something or an
// exact form is already there (which must not outlive its text), the exact form.
void writeExact(Profile& profile, const Key& key, const QString& value) {
    profile.setValue(key.section, key.name, toAnsi(value));
    const std::string exact = exactKey(key.name);
    if (asRead(value) != value || !textOf(profile, key.section, exact, QString()).isEmpty())
        profile.setValue(key.section, exact, value.toUtf8().toPercentEncoding().toStdString());
}

bool isOn(const Settings& s, const Key& key) {
    const auto* flag = std::get_if<bool Settings::*>(&key.field);
    return flag && s.*(*flag);
}

// The file's numbers are 16-bit, its colours 32-bit; text that does not
// convert leaves the default.
std::optional<std::int16_t> numberIn(const Profile& profile, const Key& key) {
    std::int16_t number = 0;
    if (!parseInt(textOf(profile, key.section, key.name, QString()), number))
        return std::nullopt;
    return number;
}

GifUse gifUseOf(std::int16_t number) {
    return number == 0 ? GifUse::None : number == 1 ? GifUse::DroppedAndChosen : GifUse::ChosenOnly;
}

void readKey(const Profile& profile, const Key& key, Settings& s) {
    const Settings defaults;
    std::visit(
        [&](auto member) {
            using T = std::remove_cvref_t<decltype(s.*member)>;
            if constexpr (std::is_same_v<T, QString>) {
                s.*member = readExact(profile, key, defaults.*member);
            } else if constexpr (std::is_same_v<T, float>) {
                parseFontSize(textOf(profile, key.section, key.name,
                                     formatFontSize(defaults.*member)),
                              s.*member);
            } else if constexpr (std::is_same_v<T, image::COLORREF>) {
                std::int32_t color = 0;
                if (parseInt(textOf(profile, key.section, key.name, QString()), color))
                    s.*member = static_cast<image::COLORREF>(color);
            } else if (const std::optional<std::int16_t> number = numberIn(profile, key)) {
                if constexpr (std::is_same_v<T, bool>)
                    s.*member = *number != 0; // any value but 0 is on
                else if constexpr (std::is_same_v<T, GifUse>)
                    s.*member = gifUseOf(*number);
                else
                    s.*member = *number;
            }
        },
        key.field);
}

void writeKey(const Settings& s, const Key& key, Profile& profile) {
    const auto put = [&](const std::string& text) { profile.setValue(key.section, key.name, text); };
    std::visit(
        [&](auto member) {
            using T = std::remove_cvref_t<decltype(s.*member)>;
            if constexpr (std::is_same_v<T, QString>) {
                writeExact(profile, key, s.*member);
            } else if constexpr (std::is_same_v<T, float>) {
                put(toAnsi(formatFontSize(s.*member)));
            } else if constexpr (std::is_same_v<T, image::COLORREF>) {
                put(std::to_string(static_cast<std::int32_t>(s.*member)));
            } else if constexpr (std::is_same_v<T, bool>) {
                // A flag the file already holds as on, such as a hand-written 5,
                // stays as it is; the program itself writes -1.
                const std::optional<std::int16_t> held = numberIn(profile, key);
                if (!held || (*held != 0) != s.*member)
                    put(s.*member ? "-1" : "0");
            } else if constexpr (std::is_same_v<T, int>) {
                put(std::to_string(s.*member));
            }
        },
        key.field);
}

} // namespace

Settings settingsFrom(const Profile& profile) {
    Settings s;
    for (const Key& key : Keys)
        readKey(profile, key, s);
    // Values out of their ranges fall back to the defaults too.
    s.pointSize = FontSize.orFallback(s.pointSize);
    s.jpegRate = JpegRate.orFallback(s.jpegRate);
    s.pngLevel = PngLevel.orFallback(s.pngLevel);
    return s;
}

void putSettings(const Settings& s, Profile& profile) {
    for (const Key& key : Keys)
        if (key.written == Written::Always ||
            (key.written == Written::WhenUsed &&
             (isOn(s, key) || profile.value(key.section, key.name))))
            writeKey(s, key, profile);
}

QString settingsFileFor(const QString& programFolder) {
    // A portable copy keeps the file beside itself whenever it is there or can
    // be made there; an installed copy, or one that cannot, in the user's folder.
    const QString beside = QDir::toNativeSeparators(QDir(programFolder).filePath(IniName));
    if (!isSystemFolder(programFolder) &&
        (QFile::exists(beside) || files::isWritableTarget(beside)))
        return beside;
    return QDir::toNativeSeparators(QDir(userConfigFolder()).filePath(IniName));
}

Settings startUp(const QString& fileName) {
    std::optional<Profile> profile = Profile::read(fileName);
    if (!profile)
        return Settings{};
    const Settings settings = settingsFrom(*profile);
    putSettings(settings, *profile);
    // Where the file cannot be written the program works on with the values in memory.
    profile->write(fileName);
    return settings;
}

bool saveSettings(const Settings& settings, const QString& fileName, QString* why) {
    // Read afresh: what another program wrote since the start-up stays.
    std::optional<Profile> profile = Profile::read(fileName, why);
    if (!profile)
        return false;
    putSettings(settings, *profile);
    return profile->write(fileName, why);
}

QString formatFontSize(float size) {
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

bool parseFontSize(const QString& text, float& size) {
    const std::string s = text.trimmed().toStdString();
    float parsed = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(parsed))
        return false;
    size = parsed;
    return true;
}

} // namespace engine::settings
