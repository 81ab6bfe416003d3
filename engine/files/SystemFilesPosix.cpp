#include "SystemFiles.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

// The calls of SystemFiles.h with nothing but POSIX, for the systems without a
// file of their own (macOS, the BSDs): room claimed by writing the new tail,
// every staged file named from the start, each synced by itself.
namespace engine::files {

// Zeros written from the old end on take the disk's blocks as posix_fallocate
// would: a full disk says so before any old byte is overwritten.
int claimRoom(int fd, off_t length) {
    static const char zeros[64 * 1024] = {};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    for (off_t at = st.st_size; at < length;) {
        const auto part = static_cast<size_t>(std::min<off_t>(sizeof zeros, length - at));
        const ssize_t n = ::pwrite(fd, zeros, part, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        at += n;
    }
    return 0;
}

int openUnnamedFile(const QByteArray&) {
    return -1;
}

bool nameUnnamedFile(StagedFile&, const QByteArray&) {
    errno = EOPNOTSUPP;
    return false;
}

bool StagedFlush::flush(int fd) {
    return ::fsync(fd) == 0;
}

} // namespace engine::files
