#include "basFunc.h"

#include <string>

#include "platform/CodePage.h"
#include "platform/FileStatus.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"

QString GetIniString(const QString& section, const QString& key, const QString& defaultText,
                     const QString& fileName) {
    constexpr size_t BufferLength = 255;
    std::string buffer;
    size_t copied = profile::GetPrivateProfileString(
        codepage::toAnsi(section), codepage::toAnsi(key), codepage::toAnsi(defaultText), buffer,
        BufferLength, fileName);
    if (copied == 0)
        return QString();
    return CutAtNull(codepage::fromAnsi(buffer));
}

std::int16_t PutIniString(const QString& section, const QString& key, const QString& value,
                          const QString& fileName) {
    bool ok = profile::WritePrivateProfileString(codepage::toAnsi(section), codepage::toAnsi(key),
                                                 codepage::toAnsi(value), fileName);
    return ok ? std::int16_t{1} : std::int16_t{0};
}

QString AddPathSep(const QString& path) {
    if (path.endsWith(QChar(platform::PathSep)))
        return path;
    return path + QChar(platform::PathSep);
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

std::int16_t GetFileStatus(const QString& path) {
    if (path.trimmed().isEmpty())
        return StatusBlank;
    platform::FileLength probe = platform::queryFileLength(path);
    if (probe.error == 0)
        return probe.length == 0 ? StatusEmpty : StatusExists;
    if (probe.error == platform::ErrFileNotFound)
        return StatusNotFound;
    platform::messageBox(
        nullptr, QString::number(probe.error) + ":" + platform::errorDescription(probe.error),
        QStringLiteral("システムエラー"), platform::MsgIcon::Stop);
    return StatusFailed;
}
