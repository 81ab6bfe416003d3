#include "Profile.h"

#include <optional>
#include <vector>

#include <QFile>
#include <QFileInfo>

#include "engine/files/AtomicFile.h"
#include "engine/settings/CodePage.h"

namespace engine::settings {
namespace {

struct Line {
    std::string text; // without its line break
    std::string eol;  // "\r\n", "\n", "\r" or "" for a last line without one
};

std::optional<std::vector<Line>> readLines(const QString& fileName) {
    std::vector<Line> lines;
    QFile file(fileName);
    if (!file.exists())
        return lines;
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray all = file.readAll();
    const std::string bytes(all.constData(), static_cast<size_t>(all.size()));
    // CR, LF and CR LF each end a line, as Windows reads them: some editors save CR only.
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back({bytes.substr(start), ""});
            break;
        }
        const size_t next = bytes.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        lines.push_back({bytes.substr(start, end - start), bytes.substr(end, next - end)});
        start = next;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// Finds a single-byte character, stepping over two-byte Shift-JIS characters
// whose trail byte may look like "[", "]", "=" or "\".
size_t findChar(const std::string& s, char wanted, size_t from = 0) {
    for (size_t i = from; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (engine::settings::isLeadByte(c)) {
            ++i;
            continue;
        }
        if (s[i] == wanted)
            return i;
    }
    return std::string::npos;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (engine::settings::isLeadByte(x)) {
            // Two-byte characters compare exactly, trail byte included.
            if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::optional<std::string> sectionName(const std::string& line) {
    std::string t = trim(line);
    if (t.empty() || t[0] != '[')
        return std::nullopt;
    size_t close = findChar(t, ']', 1);
    return trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key name of a "key=value" line; comments and lines without "=" have none.
std::optional<std::string> keyName(const std::string& line) {
    std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '[')
        return std::nullopt;
    size_t eq = findChar(t, '=');
    if (eq == std::string::npos)
        return std::nullopt;
    return trim(t.substr(0, eq));
}

std::string valueOf(const std::string& line) {
    std::string v = trim(line.substr(findChar(line, '=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

struct Location {
    std::optional<size_t> section; // index of the section's header line
    std::optional<size_t> key;     // index of the key's line
    size_t lastEntry = 0;          // the section's last key line, or its header
};

Location locate(const std::vector<Line>& lines, const std::string& section,
                const std::string& key) {
    Location at;
    for (size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i].text);
        if (!name)
            continue;
        if (!equalsNoCase(*name, section))
            continue;
        at.section = i;
        at.lastEntry = i;
        for (size_t j = i + 1; j < lines.size() && !sectionName(lines[j].text); ++j) {
            auto k = keyName(lines[j].text);
            if (!k)
                continue;
            at.lastEntry = j;
            if (!at.key && equalsNoCase(*k, key))
                at.key = j;
        }
        break; // the first of duplicate sections wins
    }
    return at;
}

} // namespace

size_t GetPrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& defaultValue, std::string& out, size_t size,
                               const QString& fileName) {
    out.clear();
    if (size == 0)
        return 0;
    std::string value = defaultValue;
    if (auto lines = readLines(fileName)) {
        Location at = locate(*lines, section, key);
        if (at.key)
            value = valueOf((*lines)[*at.key].text);
    }
    if (value.size() > size - 1)
        value = engine::settings::dropDanglingLeadByte(value.substr(0, size - 1));
    out = value;
    return out.size();
}

std::string readBack(const std::string& value) {
    return valueOf("=" + value);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const QString& fileName) {
    // A line break would start a new line in the file: a forged section or key.
    for (const std::string* text : {&section, &key, &value})
        if (text->find_first_of("\r\n") != std::string::npos)
            return false;
    auto read = readLines(fileName);
    if (!read)
        return false;
    std::vector<Line>& lines = *read;
    Location at = locate(lines, section, key);
    if (at.key) {
        Line& line = lines[*at.key];
        const std::string text = *keyName(line.text) + "=" + value;
        // The file already says so: it is left as it is, unwritten and unsynced.
        if (text == line.text)
            return true;
        line.text = text;
    } else {
        const Line entry{key + "=" + value, "\r\n"};
        if (at.section) {
            if (lines[at.lastEntry].eol.empty())
                lines[at.lastEntry].eol = "\r\n";
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at.lastEntry + 1), entry);
        } else {
            if (!lines.empty() && lines.back().eol.empty())
                lines.back().eol = "\r\n";
            lines.push_back({"[" + section + "]", "\r\n"});
            lines.push_back(entry);
        }
    }
    QByteArray data;
    for (const Line& line : lines) {
        data.append(line.text.data(), static_cast<qsizetype>(line.text.size()));
        data.append(line.eol.data(), static_cast<qsizetype>(line.eol.size()));
    }
    return engine::files::writeFileAtomically(fileName, data);
}

} // namespace engine::settings
