#pragma once

#include <string>
#include <string_view>

#include <QString>

// The settings file and every "narrow" text the program hands to the system use
// code page 932 (Shift-JIS), so files stay byte-compatible with the Windows build.
namespace engine::settings {

// Unicode to CP932; characters the code page cannot hold become "?".
std::string toAnsi(const QString& text);

// CP932 to Unicode; bytes that do not form a character become "?".
QString fromAnsi(std::string_view bytes);

// True when the byte opens a two-byte Shift-JIS character.
inline bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Drops a lead byte left dangling at the end of a cut text.
std::string dropDanglingLeadByte(std::string bytes);

} // namespace engine::settings
