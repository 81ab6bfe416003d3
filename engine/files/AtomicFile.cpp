#include "AtomicFile.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#endif

#include "engine/files/NativeName.h"

namespace engine::files {
namespace {

bool fail(QString* error, const char* why) {
    if (error)
        *error = QCoreApplication::translate("files", why);
    return false;
}

const char* const WriteFailed =
    QT_TRANSLATE_NOOP("files", "the disk is full, or the file could not be written");

} // namespace

#ifdef Q_OS_UNIX
namespace {

// File names here are the system's bytes, so that no name changes on its way.
using Path = QByteArray;

Path folderOf(const Path& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? Path(".") : slash == 0 ? Path("/") : path.left(slash);
}

// A symlink is kept: what it points to is written.
Path resolvedTarget(const Path& path) {
    char link[PATH_MAX];
    const ssize_t n = ::readlink(path.constData(), link, sizeof link - 1);
    if (n <= 0)
        return path;
    const Path target(link, n);
    return target.startsWith('/') ? target : folderOf(path) + '/' + target;
}

bool writableTarget(const Path& target, const struct stat* st) {
    if (st) // a file without any write permission bit is read-only, also for root
        return S_ISREG(st->st_mode) && ::access(target.constData(), W_OK) == 0 &&
               (st->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    struct stat dir {};
    const Path folder = folderOf(target);
    return ::stat(folder.constData(), &dir) == 0 && S_ISDIR(dir.st_mode) &&
           ::access(folder.constData(), W_OK) == 0;
}

// The count of every write is checked; a short one goes on from where it ended.
bool writeAll(int fd, const QByteArray& data, off_t at) {
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::pwrite(fd, data.constData() + done,
                                   static_cast<size_t>(data.size() - done), at + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Room for the new length is reserved before the first old byte is overwritten, so a
// full disk fails with the old content whole; after that only a device error can stop
// the write half-way. The file's own inode keeps its hard links and owner.
bool writeInPlace(const Path& path, const QByteArray& data) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
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
    ok = ok && writeAll(fd, data, 0) && (newSize >= oldSize || ::ftruncate(fd, newSize) == 0) &&
         ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// A new file beside the target, all on disk, renamed over it: the old file
// stays as it was until the new one is whole. An existing file's permissions
// carry over; a new file gets the usual ones the umask leaves.
bool writeAndRename(const Path& target, const QByteArray& data, const struct stat* old) {
    Path temp = folderOf(target) + "/.velmora-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // The umask can only be read by setting it: once, before any other thread writes.
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    const mode_t mode = old ? old->st_mode & 07777 : 0666 & ~mask;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, data, 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

} // namespace

bool isWritableTarget(const QString& path) {
    const Path target = resolvedTarget(encodeNativeName(path));
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    return writableTarget(target, exists ? &st : nullptr);
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    const Path target = resolvedTarget(encodeNativeName(path));
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (!writableTarget(target, exists ? &st : nullptr)) {
        struct stat dir {};
        if (exists)
            return fail(error, S_ISDIR(st.st_mode)
                                   ? QT_TRANSLATE_NOOP("files", "a folder has that name")
                                   : QT_TRANSLATE_NOOP("files", "the file is read-only"));
        if (::stat(folderOf(target).constData(), &dir) != 0 || !S_ISDIR(dir.st_mode))
            return fail(error, QT_TRANSLATE_NOOP("files", "the folder does not exist"));
        return fail(error, QT_TRANSLATE_NOOP("files", "the folder may not be written to"));
    }
    // Without the right to make files in the folder, only the file itself can change.
    const bool folderWritable = ::access(folderOf(target).constData(), W_OK) == 0;
    const bool written = exists && !folderWritable
                             ? writeInPlace(target, data)
                             : writeAndRename(target, data, exists ? &st : nullptr);
    return written || fail(error, WriteFailed);
}
#else
bool isWritableTarget(const QString& path) {
    QFileInfo info(path);
    if (info.exists())
        return info.isFile() && info.isWritable();
    return QFileInfo(info.absolutePath()).isWritable();
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    if (QFileInfo(path).isDir())
        return fail(error, QT_TRANSLATE_NOOP("files", "a folder has that name"));
    if (!isWritableTarget(path))
        return fail(error, QT_TRANSLATE_NOOP("files", "the file is read-only"));
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return fail(error, WriteFailed);
    }
    return file.commit() || fail(error, WriteFailed);
}
#endif

} // namespace engine::files
