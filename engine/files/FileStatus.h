#pragma once

#include <cstdint>

#include <QString>

namespace engine::files {

// The path separator of this system, used wherever a path is put together or
// taken apart.
#ifdef Q_OS_WIN
inline constexpr char16_t PathSep = u'\\';
#else
inline constexpr char16_t PathSep = u'/';
#endif

// Error numbers the program shows for file-system failures.
enum FileError : std::int16_t {
    ErrBadFileName = 52,
    ErrFileNotFound = 53,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
};

struct FileLength {
    std::int64_t length = 0;
    std::int16_t error = 0; // 0 when the length could be read
};

// The length in bytes of a named file, or the error number of why not.
FileLength queryFileLength(const QString& path);

// The Japanese description of an error number.
QString errorDescription(std::int16_t error);

} // namespace engine::files
