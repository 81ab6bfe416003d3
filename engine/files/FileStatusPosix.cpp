#include "FileStatus.h"

#include <cerrno>
#include <sys/stat.h>

#include <QFile>

namespace engine::files {

SystemStat statFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {errno};
    return {0, static_cast<std::int64_t>(st.st_size), S_ISDIR(st.st_mode)};
}

} // namespace engine::files
