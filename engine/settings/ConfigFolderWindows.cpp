#include "ConfigFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace engine::settings {

QString userConfigFolder() {
    // The roaming application data, where Windows programs keep their settings.
    QString base = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return madeFolder(base, QStringLiteral("Velmora"));
}

// Installed under Program Files, where only an administrator may write.
bool isSystemFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath()) + u'/';
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString programs =
            QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(variable))) + u'/';
        if (programs.size() > 1 && clean.startsWith(programs, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace engine::settings
