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

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QString target = resolvedTarget(path);
    if (!isWritableTarget(target)) {
        QFileInfo info(target);
        if (info.exists())
            return fail(info.isDir() ? QStringLiteral("同じ名前のフォルダーがあります。")
                                     : QStringLiteral("ファイルが読み取り専用です。"));
        if (!QFileInfo(info.absolutePath()).isDir())
            return fail(QStringLiteral("フォルダーが見つかりません。"));
        return fail(QStringLiteral("フォルダーに書き込む権限がありません。"));
    }
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // One write, its count checked: a full disk can give a short write without
    // an error, and commit() would then happily install a truncated file.
    if (file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return fail(QStringLiteral("ディスクの空き容量が足りないか、書き込みに失敗しました。"));
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace platform
