#pragma once

#include <cstdint>

#include <QString>

// Small text, file and settings-file routines shared by the whole program.

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

QString GetIniString(const QString& section, const QString& key, const QString& defaultText,
                     const QString& fileName);
std::int16_t PutIniString(const QString& section, const QString& key, const QString& value,
                          const QString& fileName);
QString AddPathSep(const QString& path);
QString CutAtNull(const QString& text);
std::int16_t FindLast(const QString& text, const QString& pattern);
std::int16_t GetFileStatus(const QString& path);
