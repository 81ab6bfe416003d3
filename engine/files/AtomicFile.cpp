#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace engine::files {
namespace {

const QString WriteFailed =
    QStringLiteral("ディスクの空き容量が足りないか、書き込みに失敗しました。");

QString resolvedTarget(const QString& path) {
    QFileInfo info(path);
    if (info.isSymLink()) {
        QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

#ifdef Q_OS_UNIX
// Room for the new length is reserved before the first old byte is overwritten, so a
// full disk fails with the old content whole; after that only a device error can stop
// the write half-way. The file's own inode keeps its hard links and owner.
bool writeInPlace(const QString& path, const QByteArray& data, QString& why) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        why = qt_error_string(errno);
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const off_t oldSize = st.st_size;
    const auto newSize = static_cast<off_t>(data.size());
    if (ok && newSize > oldSize) {
        const int reserved = ::posix_fallocate(fd, 0, newSize);
        // A file system that cannot reserve is written unreserved.
        if (reserved != 0 && reserved != EINVAL && reserved != EOPNOTSUPP) {
            ok = false;
            // A partial reservation may have grown the file; the old bytes are whole anyway.
            [[maybe_unused]] const int trimmed = ::ftruncate(fd, oldSize);
        }
    }
    // One call as a rule; its count is checked, and a short write goes on from there.
    for (qsizetype done = 0; ok && done < data.size();) {
        const ssize_t n =
            ::pwrite(fd, data.constData() + done, static_cast<size_t>(data.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n;
    }
    ok = ok && (newSize >= oldSize || ::ftruncate(fd, newSize) == 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        why = WriteFailed;
    return ok;
}
#else
bool writeInPlace(const QString& path, const QByteArray& data, QString& why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        why = file.errorString();
        return false;
    }
    const qint64 oldSize = file.size();
    // Growing the file first claims the space before any old byte changes.
    if (data.size() > oldSize && !file.resize(data.size())) {
        file.resize(oldSize);
        why = WriteFailed;
        return false;
    }
    if (!file.seek(0) || file.write(data) != data.size() || !file.resize(data.size()) ||
        !file.flush()) {
        why = WriteFailed;
        return false;
    }
    return true;
}
#endif

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
    const QFileInfo info(target);
    // Without the right to make files in the folder, only the file itself can change.
    if (info.exists() && !QFileInfo(info.absolutePath()).isWritable()) {
        QString why;
        return writeInPlace(target, data, why) || fail(why);
    }
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // One write, its count checked: a full disk can give a short write without
    // an error, and commit() would then happily install a truncated file.
    if (file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return fail(WriteFailed);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace engine::files
