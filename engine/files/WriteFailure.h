#pragma once

#include <QString>

// Why a write failed, in the kinds each system's error codes come down to, and
// the user's words for each: one table for both systems' file writers.
namespace engine::files {

enum class WriteFailure {
    DiskFull,
    TooLarge,
    ReadOnly,
    NotWritable,
    NoNewFiles,
    FolderNamed,
    NameTooLong,
    DiskError,
    Other, // said in the system's own words
};

// False, with `error` (where given) saying `why`, a text of the "files" context.
bool failBecause(QString* error, const char* why);

// False, with `error` saying `kind`, or for Other the system's `systemText`.
bool failWrite(QString* error, WriteFailure kind, const QString& systemText);

} // namespace engine::files
