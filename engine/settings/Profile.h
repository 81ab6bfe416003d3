#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A profile (INI) file with the Windows semantics the settings file was made
// with, read once, edited in memory and written once. Sections, keys and values
// are code-page bytes; the file name stays Unicode.
namespace engine::settings {

class Profile {
  public:
    // An empty document, as a missing file gives.
    Profile() = default;
    // The document of these bytes. Lines end at CR, LF or CR LF, as Windows reads them.
    static Profile fromBytes(QByteArrayView bytes);
    // The file's document: empty when there is no file, nothing when it
    // exists but cannot be read (why says so).
    static std::optional<Profile> read(const QString& fileName, QString* why = nullptr);

    // The key's value, blanks trimmed and one pair of enclosing quotes removed;
    // nothing when the section or key is missing. Names match without regard to
    // letter case, and the first of duplicate sections wins.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;

    // Replaces the key's value in place, appends the key to its section, or
    // appends the section; everything else stays byte for byte. A section, key
    // or value holding CR or LF is refused (false): it would forge a line.
    bool setValue(const std::string& section, const std::string& key, const std::string& value);

    // Whether an edit changed the document since it was read.
    bool isChanged() const { return m_changed; }
    QByteArray bytes() const;

    // Replaces the file with the document in one atomic write, only when an
    // edit changed it; false with the reason when that fails.
    bool write(const QString& fileName, QString* why = nullptr);

  private:
    struct Line {
        std::string text; // without its line break
        std::string eol;  // "\r\n", "\n", "\r" or "" for a last line without one
    };
    struct Location {
        std::optional<size_t> section; // index of the section's header line
        std::optional<size_t> key;     // index of the key's line
        size_t lastEntry = 0;          // the section's last key line, or its header
    };
    Location locate(const std::string& section, const std::string& key) const;

    std::vector<Line> m_lines;
    bool m_changed = false;
};

// What reading gives back of a value once written: blanks trimmed, one pair
// of enclosing quotes removed.
std::string readBack(const std::string& value);

} // namespace engine::settings
