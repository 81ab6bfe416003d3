#include "ConfigFolder.h"

#include <QDir>
#include <QFileInfo>

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

QString madeFolder(const QString& base, const QString& name) {
    const QString folder = QDir::cleanPath(base + QLatin1Char('/') + name);
    makeFolders(folder);
    return QDir::toNativeSeparators(folder);
}

} // namespace engine::settings
