#include "Profile.h"

#include <QCoreApplication>
#include <QFile>

#include "engine/files/AtomicFile.h"
#include "engine/files/ReadFile.h"
#include "engine/settings/CodePage.h"

namespace engine::settings {
namespace {

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

} // namespace

Profile Profile::fromBytes(QByteArrayView all) {
    Profile profile;
    const std::string bytes(all.data(), static_cast<size_t>(all.size()));
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            profile.m_lines.push_back({bytes.substr(start), ""});
            break;
        }
        const size_t next = bytes.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        profile.m_lines.push_back(
            {bytes.substr(start, end - start), bytes.substr(end, next - end)});
        start = next;
    }
    return profile;
}

std::optional<Profile> Profile::read(const QString& fileName, QString* why) {
    // A settings file is a few hundred bytes; this bounds what a stray name can cost.
    constexpr qint64 Limit = 16LL * 1024 * 1024;
    if (!QFile::exists(fileName))
        return Profile();
    // A FIFO or device by that name would block the start-up or never end.
    if (!files::isRegularFile(fileName)) {
        if (why)
            *why = QCoreApplication::translate("files", "it is no ordinary file");
        return std::nullopt;
    }
    QByteArray data;
    if (!files::readWholeFile(fileName, Limit, data, why))
        return std::nullopt;
    return fromBytes(data);
}

Profile::Location Profile::locate(const std::string& section, const std::string& key) const {
    Location at;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        auto name = sectionName(m_lines[i].text);
        if (!name || !equalsNoCase(*name, section))
            continue;
        at.section = i;
        at.lastEntry = i;
        for (size_t j = i + 1; j < m_lines.size() && !sectionName(m_lines[j].text); ++j) {
            auto k = keyName(m_lines[j].text);
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

std::optional<std::string> Profile::value(const std::string& section,
                                          const std::string& key) const {
    const Location at = locate(section, key);
    if (!at.key)
        return std::nullopt;
    return valueOf(m_lines[*at.key].text);
}

bool Profile::setValue(const std::string& section, const std::string& key,
                       const std::string& value) {
    for (const std::string* text : {&section, &key, &value})
        if (text->find_first_of("\r\n") != std::string::npos)
            return false;
    const Location at = locate(section, key);
    if (at.key) {
        Line& line = m_lines[*at.key];
        const std::string text = *keyName(line.text) + "=" + value;
        if (text == line.text)
            return true;
        line.text = text;
    } else {
        const Line entry{key + "=" + value, "\r\n"};
        if (at.section) {
            if (m_lines[at.lastEntry].eol.empty())
                m_lines[at.lastEntry].eol = "\r\n";
            m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at.lastEntry + 1), entry);
        } else {
            if (!m_lines.empty() && m_lines.back().eol.empty())
                m_lines.back().eol = "\r\n";
            m_lines.push_back({"[" + section + "]", "\r\n"});
            m_lines.push_back(entry);
        }
    }
    m_changed = true;
    return true;
}

QByteArray Profile::bytes() const {
    QByteArray data;
    for (const Line& line : m_lines) {
        data.append(line.text.data(), static_cast<qsizetype>(line.text.size()));
        data.append(line.eol.data(), static_cast<qsizetype>(line.eol.size()));
    }
    return data;
}

bool Profile::write(const QString& fileName, QString* why) {
    // The file already says all this: it is left as it is, unwritten and unsynced.
    if (!m_changed)
        return true;
    if (!files::writeFileAtomically(fileName, bytes(), why))
        return false;
    m_changed = false;
    return true;
}

std::string readBack(const std::string& value) {
    return valueOf("=" + value);
}

} // namespace engine::settings
