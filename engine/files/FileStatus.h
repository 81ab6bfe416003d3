#pragma once

#include <cstdint>

#include <QString>

namespace engine::files {

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

// What the system's stat() says of a named file: its length and whether it is
// a folder, or the errno of why it could not say (`error` is 0 where it could).
struct SystemStat {
    int error = 0;
    std::int64_t length = 0;
    bool folder = false;
};
SystemStat statFile(const QString& path);

// The Japanese description of an error number.
QString errorDescription(std::int16_t error);

} // namespace engine::files
