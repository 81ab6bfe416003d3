#include "ReadFile.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFile>
#include <QFileInfo>
#endif

#include "engine/files/NativeName.h"

namespace engine::files {
namespace {

bool fail(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

QString tooLarge() {
    return QCoreApplication::translate("files", "the file is too large");
}

QString isFolder() {
    return QCoreApplication::translate("files", "it is a folder");
}

} // namespace

#ifdef Q_OS_UNIX
bool readWholeFile(const QString& name, qint64 limit, QByteArray& data, QString* why) {
    const int fd = ::open(encodeNativeName(name).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(why, qt_error_string(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(why, isFolder());
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
            ok = fail(why, tooLarge());
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
#else
bool readWholeFile(const QString& name, qint64 limit, QByteArray& data, QString* why) {
    if (QFileInfo(name).isDir())
        return fail(why, isFolder());
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return fail(why, file.errorString());
    QByteArray read = file.read(limit + 1);
    if (read.size() > limit)
        return fail(why, tooLarge());
    data = std::move(read);
    return true;
}

bool isRegularFile(const QString& name) {
    return QFileInfo(name).isFile();
}
#endif

} // namespace engine::files
