#include "AtomicFile.h"

#include <QCoreApplication>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/NativeName.h"
#include "engine/files/SystemFiles.h"
#include "engine/files/WriteFailure.h"

// Whole-file writes on POSIX systems: a new file beside the target, on disk,
// renamed over it; or, where the folder takes no new file, the file itself
// rewritten in place. Names go to the system as their bytes.
namespace engine::files {
namespace {

bool fail(QString* error, const char* why) {
    return failBecause(error, why);
}

// File names here are the system's bytes, so that no name changes on its way.
using Path = QByteArray;

// The first reason a step failed, kept while the cleanup after it runs: the
// system's error number, or `cause` for a step that is no system call.
struct Failure {
    Failure() { errno = 0; }
    int code = 0;
    bool step(bool ok, int cause = 0) {
        if (!ok && code == 0)
            code = cause != 0 ? cause : errno != 0 ? errno : EIO;
        if (!ok)
            errno = 0;
        return ok;
    }
};

// What the system said, in the user's words; the folder is known to exist.
bool fail(QString* error, const Failure& failure) {
    const auto kind = [](int code) {
        switch (code) {
        case ENOSPC:
        case EDQUOT:
            return WriteFailure::DiskFull;
        case EFBIG:
            return WriteFailure::TooLarge;
        case EROFS:
            return WriteFailure::ReadOnly;
        case EACCES:
        case EPERM:
            return WriteFailure::NotWritable;
        case ENOENT:
            return WriteFailure::NoNewFiles;
        case EISDIR:
            return WriteFailure::FolderNamed;
        case ENAMETOOLONG:
            return WriteFailure::NameTooLong;
        case EIO:
            return WriteFailure::DiskError;
        default:
            return WriteFailure::Other;
        }
    };
    return failWrite(error, kind(failure.code), QString::fromLocal8Bit(::strerror(failure.code)));
}

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
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC; // nothing written and no error: no room left
            return false;
        }
        done += n;
    }
    return true;
}

// Room for the new length is reserved before the first old byte is overwritten, so a
// full disk fails with the old content whole; after that only a device error can stop
// the write half-way. The file's own inode keeps its hard links and owner.
bool writeInPlace(const Path& path, const QByteArray& data, Failure& f) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (!f.step(fd >= 0))
        return false;
    struct stat st {};
    bool ok = f.step(::fstat(fd, &st) == 0) && f.step(S_ISREG(st.st_mode), EINVAL);
    const off_t oldSize = st.st_size;
    const auto newSize = static_cast<off_t>(data.size());
    if (ok && newSize > oldSize) {
        const int reserved = claimRoom(fd, newSize);
        // A file system that cannot reserve is written unreserved.
        if (reserved != 0 && reserved != EINVAL && reserved != EOPNOTSUPP) {
            errno = reserved;
            ok = f.step(false);
            // A partial reservation may have grown the file; the old bytes are whole anyway.
            [[maybe_unused]] const int trimmed = ::ftruncate(fd, oldSize);
        }
    }
    ok = ok && f.step(writeAll(fd, data, 0) &&
                      (newSize >= oldSize || ::ftruncate(fd, newSize) == 0) && ::fsync(fd) == 0);
    return f.step(::close(fd) == 0) && ok;
}

// An existing file's permissions carry over; a new file gets the usual ones
// the umask leaves.
mode_t modeFor(const struct stat* old) {
    // The umask can only be read by setting it: once, before any other thread writes.
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return old ? old->st_mode & 07777 : 0666 & ~mask;
}

// A new file beside the target, all on disk, renamed over it: the old file
// stays as it was until the new one is whole.
bool writeAndRename(const Path& target, const QByteArray& data, const struct stat* old,
                    Failure& f) {
    Path temp = folderOf(target) + "/.velmora-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (!f.step(fd >= 0))
        return false;
    bool ok = f.step(::fchmod(fd, modeFor(old)) == 0 && writeAll(fd, data, 0) && ::fsync(fd) == 0);
    ok = f.step(::close(fd) == 0) && ok &&
         f.step(::rename(temp.constData(), target.constData()) == 0);
    if (!ok)
        ::unlink(temp.constData());
    return ok;
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
        if (d.exists && S_ISDIR(d.st.st_mode))
            return fail(error, QT_TRANSLATE_NOOP("files", "a folder has that name"));
        if (!d.exists &&
            (::stat(folderOf(d.target).constData(), &dir) != 0 || !S_ISDIR(dir.st_mode)))
            return fail(error, QT_TRANSLATE_NOOP("files", "the folder does not exist"));
        const Path asked = d.exists ? d.target : folderOf(d.target);
        if (::access(asked.constData(), W_OK) != 0 && errno == EROFS)
            return fail(error, QT_TRANSLATE_NOOP("files", "the file system is read-only"));
        return fail(error, d.exists
                               ? QT_TRANSLATE_NOOP("files", "the file is read-only")
                               : QT_TRANSLATE_NOOP("files", "the folder may not be written to"));
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
    Failure f;
    const bool written = d.inPlace ? writeInPlace(d.target, data, f)
                                   : writeAndRename(d.target, data, d.exists ? &d.st : nullptr, f);
    return written || fail(error, f);
}

bool stageFile(const QString& path, const QByteArray& data, StagedFile& staged, QString* error) {
    Destination d;
    if (!destinationOf(path, d, error))
        return false;
    staged = {-1, {}, d.target};
    Failure f;
    if (d.inPlace)
        return writeInPlace(d.target, data, f) || fail(error, f);
    int fd = openUnnamedFile(folderOf(d.target));
    if (fd < 0) { // a system or file system without unnamed files
        staged.temporary = folderOf(d.target) + "/.velmora-XXXXXX";
        fd = ::mkostemp(staged.temporary.data(), O_CLOEXEC);
    }
    if (f.step(fd >= 0) &&
        f.step(::fchmod(fd, modeFor(d.exists ? &d.st : nullptr)) == 0 && writeAll(fd, data, 0))) {
        staged.fd = fd;
        return true;
    }
    if (fd >= 0)
        ::close(fd);
    if (!staged.temporary.isEmpty())
        ::unlink(staged.temporary.constData());
    return fail(error, f);
}

std::vector<bool> commitStaged(const std::vector<StagedFile>& files, std::vector<QString>* errors) {
    std::vector<bool> done(files.size(), true);
    if (errors)
        errors->assign(files.size(), QString());
    StagedFlush staged;
    for (size_t i = 0; i < files.size(); ++i) {
        StagedFile file = files[i];
        if (file.fd < 0)
            continue;
        Failure f;
        bool ok = f.step(staged.flush(file.fd)) &&
                  f.step(!file.temporary.isEmpty() || nameUnnamedFile(file, folderOf(file.target)),
                         EEXIST);
        ok = f.step(::close(file.fd) == 0) && ok;
        if (ok && f.step(::rename(file.temporary.constData(), file.target.constData()) == 0))
            continue;
        if (!file.temporary.isEmpty())
            ::unlink(file.temporary.constData());
        done[i] = fail(errors ? &(*errors)[i] : nullptr, f);
    }
    return done;
}

} // namespace engine::files
