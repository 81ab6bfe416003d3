#include "ReadFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/NativeName.h"
#include "engine/files/WriteFailure.h"

namespace engine::files {
namespace {

bool fail(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

} // namespace

bool readWholeFile(const QString& name, qint64 limit, QByteArray& data, QString* why) {
    const int fd = ::open(encodeNativeName(name).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(why, qt_error_string(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return failBecause(why, QT_TRANSLATE_NOOP("files", "it is a folder"));
    }
    QByteArray read;
    bool ok = true;
    // A chunk at a time: a pipe has no length to ask for in advance.
    for (char chunk[65536];;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = fail(why, qt_error_string(errno));
            break;
        }
        if (n == 0)
            break;
        if (read.size() + n > limit) {
            ok = failBecause(why, QT_TRANSLATE_NOOP("files", "the file is too large"));
            break;
        }
        read.append(chunk, n);
    }
    ::close(fd);
    if (ok)
        data = std::move(read);
    return ok;
}

bool isRegularFile(const QString& name) {
    struct stat st {};
    return ::stat(encodeNativeName(name).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace engine::files
