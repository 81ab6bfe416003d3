#include "ConfigFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace engine::settings {
namespace {

bool makeFolders(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    const QString parent = info.absolutePath();
    if (info.exists() || parent == info.absoluteFilePath() || !makeFolders(parent))
        return false;
    return QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

QString userConfigFolder(const QString& name) {
#ifdef Q_OS_WIN
    // The roaming application data, where Windows programs keep their settings.
    QString base = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#else
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // A relative base would depend on the working directory; the XDG rules ignore it.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
#endif
    const QString folder = QDir::cleanPath(base + QLatin1Char('/') + name);
    makeFolders(folder);
    return QDir::toNativeSeparators(folder);
}

} // namespace engine::settings
