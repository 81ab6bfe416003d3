#include "ConfigFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace engine::settings {

QString userConfigFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // A relative base would depend on the working directory; the XDG rules ignore it.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return madeFolder(base, QStringLiteral("velmora"));
}

// Where packages install programs.
bool isSystemFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return clean == QStringLiteral("/usr") || clean.startsWith(QStringLiteral("/usr/")) ||
           clean == QStringLiteral("/bin") || clean == QStringLiteral("/sbin");
}

} // namespace engine::settings
