#include "FileStatus.h"

#include <cerrno>
#include <sys/stat.h>

#include <QDir>

namespace engine::files {

// The C runtime's stat of the whole name, as UTF-16, sets errno as POSIX's does.
SystemStat statFile(const QString& path) {
    struct _stat64 st {};
    if (::_wstat64(QDir::toNativeSeparators(path).toStdWString().c_str(), &st) != 0)
        return {errno};
    return {0, static_cast<std::int64_t>(st.st_size), S_ISDIR(st.st_mode)};
}

} // namespace engine::files
