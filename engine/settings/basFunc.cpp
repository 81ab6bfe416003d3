#include "basFunc.h"

#include <string>

#include "engine/files/FileStatus.h"
#include "engine/settings/CodePage.h"
#include "engine/settings/Profile.h"

QString GetIniString(const QString& section, const QString& key, const QString& defaultText,
                     const QString& fileName) {
    // Read whole: a buffer of 255 bytes, as the original had, cut long texts,
    // and the next write stored the cut text for good.
    std::string buffer;
    size_t copied = engine::settings::GetPrivateProfileString(
        engine::settings::toAnsi(section), engine::settings::toAnsi(key),
        engine::settings::toAnsi(defaultText), buffer, std::string::npos, fileName);
    if (copied == 0)
        return QString();
    return CutAtNull(engine::settings::fromAnsi(buffer));
}

std::int16_t PutIniString(const QString& section, const QString& key, const QString& value,
                          const QString& fileName) {
    bool ok = engine::settings::WritePrivateProfileString(
        engine::settings::toAnsi(section), engine::settings::toAnsi(key),
        engine::settings::toAnsi(value), fileName);
    return ok ? std::int16_t{1} : std::int16_t{0};
}

QString AddPathSep(const QString& path) {
    if (path.endsWith(QChar(engine::files::PathSep)))
        return path;
    return path + QChar(engine::files::PathSep);
}

QString CutAtNull(const QString& text) {
    qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

std::int16_t FindLast(const QString& text, const QString& pattern) {
    if (text.isEmpty() || pattern.isEmpty())
        return 0;
    for (qsizetype i = text.size() - pattern.size(); i >= 0; --i) {
        if (QStringView(text).mid(i, pattern.size()) == pattern)
            return static_cast<std::int16_t>(i + 1);
    }
    return 0;
}
