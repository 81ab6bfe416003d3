#include "AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace platform {
namespace {

QString resolvedTarget(const QString& path) {
    QFileInfo info(path);
    if (info.isSymLink()) {
        QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

} // namespace

bool isWritableTarget(const QString& path) {
    QFileInfo info(resolvedTarget(path));
    if (info.exists()) {
        if (!info.isFile() || !info.isWritable())
            return false;
        const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        return (info.permissions() & writeBits) != 0;
    }
    QFileInfo dir(info.absolutePath());
    return dir.isDir() && dir.isWritable();
}

bool writeFileAtomically(const QString& path, const QByteArray& data) {
    const QString target = resolvedTarget(path);
    if (!isWritableTarget(target))
        return false;
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // One write, its count checked: a full disk can give a short write without
    // an error, and commit() would then happily install a truncated file.
    if (file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
