#pragma once

#include <cstdint>

#include <QString>

// Small text and settings-file routines shared by the whole program.

QString GetIniString(const QString& section, const QString& key, const QString& defaultText,
                     const QString& fileName);
std::int16_t PutIniString(const QString& section, const QString& key, const QString& value,
                          const QString& fileName);
QString AddPathSep(const QString& path);
QString CutAtNull(const QString& text);
std::int16_t FindLast(const QString& text, const QString& pattern);
