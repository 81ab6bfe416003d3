#pragma once

#include <cstdint>

#include <QString>

// The support routine that speaks to the user: a file's status, with a stop
// box for a file-system error nobody expected.

// Status values of GetFileStatus.
enum FileStatus : std::int16_t {
    StatusExists = 0,
    StatusBlank = 1,
    StatusNotFound = 2,
    StatusEmpty = 3,
    // An unexpected file-system error was reported to the user; the caller
    // abandons what it was doing.
    StatusFailed = -1,
};

std::int16_t GetFileStatus(const QString& path);
