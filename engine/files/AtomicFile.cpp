#include "AtomicFile.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <map>

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

// A new file beside the target with every byte written, and with `sync` on
// disk; gone again where that fails. An existing file's permissions carry
// over; a new file gets the usual ones the umask leaves.
bool writeBeside(const Path& target, const QByteArray& data, const struct stat* old, bool sync,
                 Path& temp) {
    temp = folderOf(target) + "/.velmora-XXXXXX";
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
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, data, 0) && (!sync || ::fsync(fd) == 0);
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

// The new file, all on disk, renamed over the target: the old file stays as it
// was until the new one is whole.
bool writeAndRename(const Path& target, const QByteArray& data, const struct stat* old) {
    Path temp;
    if (!writeBeside(target, data, old, true, temp))
        return false;
    if (::rename(temp.constData(), target.constData()) == 0)
        return true;
    ::unlink(temp.constData());
    return false;
}

struct Destination {
    Path target;
    bool exists = false;
    struct stat st {};
    bool inPlace = false; // the folder takes no new file, the file itself is writable
};

bool destinationOf(const QString& path, Destination& d, QString* error) {
    d.target = resolvedTarget(encodeNativeName(path));
    d.exists = ::stat(d.target.constData(), &d.st) == 0;
    if (!writableTarget(d.target, d.exists ? &d.st : nullptr)) {
        struct stat dir {};
        if (d.exists)
            return fail(error, S_ISDIR(d.st.st_mode)
                                   ? QT_TRANSLATE_NOOP("files", "a folder has that name")
                                   : QT_TRANSLATE_NOOP("files", "the file is read-only"));
        if (::stat(folderOf(d.target).constData(), &dir) != 0 || !S_ISDIR(dir.st_mode))
            return fail(error, QT_TRANSLATE_NOOP("files", "the folder does not exist"));
        return fail(error, QT_TRANSLATE_NOOP("files", "the folder may not be written to"));
    }
    d.inPlace = d.exists && ::access(folderOf(d.target).constData(), W_OK) != 0;
    return true;
}

} // namespace

bool isWritableTarget(const QString& path) {
    const Path target = resolvedTarget(encodeNativeName(path));
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    return writableTarget(target, exists ? &st : nullptr);
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    Destination d;
    if (!destinationOf(path, d, error))
        return false;
    const bool written = d.inPlace ? writeInPlace(d.target, data)
                                   : writeAndRename(d.target, data, d.exists ? &d.st : nullptr);
    return written || fail(error, WriteFailed);
}

bool stageFile(const QString& path, const QByteArray& data, StagedFile& staged, QString* error) {
    Destination d;
    if (!destinationOf(path, d, error))
        return false;
    staged = {{}, d.target};
    const bool written =
        d.inPlace ? writeInPlace(d.target, data)
                  : writeBeside(d.target, data, d.exists ? &d.st : nullptr, false, staged.temporary);
    return written || fail(error, WriteFailed);
}

// On Linux one syncfs() puts every staged file of a file system on disk, all
// of them having been written before; elsewhere each file is synced.
std::vector<bool> commitStaged(const std::vector<StagedFile>& files, std::vector<QString>* errors) {
    std::vector<bool> done(files.size(), true);
    if (errors)
        errors->assign(files.size(), QString());
    [[maybe_unused]] std::map<dev_t, bool> flushed;
    for (size_t i = 0; i < files.size(); ++i) {
        const StagedFile& file = files[i];
        if (file.temporary.isEmpty())
            continue;
        const int fd = ::open(file.temporary.constData(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        bool ok = fd >= 0 && ::fstat(fd, &st) == 0;
#ifdef __linux__
        if (ok) {
            const auto [it, first] = flushed.try_emplace(st.st_dev, false);
            if (first)
                it->second = ::syncfs(fd) == 0;
            ok = it->second;
        }
#else
        ok = ok && ::fsync(fd) == 0;
#endif
        if (fd >= 0)
            ::close(fd);
        if (ok && ::rename(file.temporary.constData(), file.target.constData()) == 0)
            continue;
        ::unlink(file.temporary.constData());
        done[i] = fail(errors ? &(*errors)[i] : nullptr, WriteFailed);
    }
    return done;
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

bool stageFile(const QString& path, const QByteArray& data, StagedFile& staged, QString* error) {
    staged = {{}, QFile::encodeName(path)};
    return writeFileAtomically(path, data, error);
}

std::vector<bool> commitStaged(const std::vector<StagedFile>& files, std::vector<QString>* errors) {
    if (errors)
        errors->assign(files.size(), QString());
    return std::vector<bool>(files.size(), true);
}
#endif

} // namespace engine::files
