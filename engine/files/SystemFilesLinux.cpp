#include "SystemFiles.h"

#include <atomic>

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace engine::files {
namespace {

// Local file systems whose syncfs() writes every dirty file out, waits for it
// and commits their journal; elsewhere (network and FUSE file systems, older
// stacks) each file is synced by itself.
bool syncfsIsThorough(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    switch (fs.f_type) {
    case EXT4_SUPER_MAGIC:
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        return true;
    default:
        return false;
    }
}

} // namespace

int claimRoom(int fd, off_t length) {
    return ::posix_fallocate(fd, 0, length);
}

int openUnnamedFile(const QByteArray& folder) {
    // An unnamed file is named at the commit through /proc, which a chroot may lack.
    static const bool namable = ::access("/proc/self/fd", X_OK) == 0;
    return namable ? ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600) : -1;
}

// The name comes through the link /proc keeps to the open file.
bool nameUnnamedFile(StagedFile& file, const QByteArray& folder) {
    static std::atomic<unsigned> serial{0};
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(file.fd);
    for (int tries = 0; tries < 100; ++tries) {
        const QByteArray name = folder + "/.velmora-" + QByteArray::number(::getpid()) + '-' +
                                QByteArray::number(serial++);
        if (::linkat(AT_FDCWD, link.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
            0) {
            file.temporary = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// One syncfs() per file system writes every staged file out and commits it at
// once. Each file's own errors are then read from the file: where syncfs() is
// thorough, without flushing the disk again for it.
bool StagedFlush::flush(int fd) {
    struct stat st {};
    auto fs = m_thorough.end();
    if (::fstat(fd, &st) == 0 && (fs = m_thorough.find(st.st_dev)) == m_thorough.end()) {
        fs = m_thorough.emplace(st.st_dev, syncfsIsThorough(fd)).first;
        ::syncfs(fd);
    }
    return fs != m_thorough.end() && fs->second
               ? ::sync_file_range(fd, 0, 0,
                                   SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                       SYNC_FILE_RANGE_WAIT_AFTER) == 0
               : ::fdatasync(fd) == 0;
}

} // namespace engine::files
