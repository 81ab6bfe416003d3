#pragma once

#include <string>

#include <QString>

// Profile (INI) files with the Windows semantics the settings file was made with.
// Section, key and value are code-page bytes; the file name stays Unicode.
namespace engine::settings {

// Copies the key's value (blanks trimmed, one pair of enclosing quotes removed)
// or `defaultValue` when the file, section or key is missing, cut to at most
// size - 1 bytes. Returns the number of bytes copied into `out`.
size_t GetPrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& defaultValue, std::string& out, size_t size,
                               const QString& fileName);

// What reading gives back of a value once written: blanks trimmed, one pair
// of enclosing quotes removed.
std::string readBack(const std::string& value);

// Replaces the key's value in place, appends the key to its section, or appends
// the section; everything else stays byte for byte. Returns false on failure,
// in which case the file is left as it was. A section, key or value holding CR
// or LF is refused. Lines read end at CR, LF or CR LF; new lines end in CR LF.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const QString& fileName);

} // namespace engine::settings
