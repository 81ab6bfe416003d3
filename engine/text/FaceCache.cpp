#include "engine/text/FaceCache.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

#include <fcntl.h>
#include <time.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QList>
#include <fontconfig/fontconfig.h>

namespace engine::text {
namespace {

constexpr char Header[] = "velmora faces 1\n";
constexpr qsizetype MaxBytes = 1 << 20;

// Where fontconfig looks, and the language it prefers, come from these.
constexpr const char* Environment[] = {
    "FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME",
    "XDG_CONFIG_HOME", "XDG_DATA_HOME",   "XDG_CACHE_HOME",     "XDG_CURRENT_DESKTOP",
    "FC_LANG",         "LC_ALL",          "LC_CTYPE",           "LANG",
    "LANGUAGE"};

QByteArray encoded(const QByteArray& text) {
    return text.toPercentEncoding();
}

// An absolute folder from the environment, or $HOME with `fallback`; empty
// without either.
QByteArray xdgFolder(const char* name, const char* fallback) {
    const QByteArray folder = qgetenv(name);
    if (folder.startsWith('/'))
        return folder;
    const QByteArray home = qgetenv("HOME");
    return home.isEmpty() ? QByteArray() : home + fallback;
}

QByteArray cacheFolder() {
    const QByteArray base = xdgFolder("XDG_CACHE_HOME", "/.cache");
    return base.isEmpty() ? base : base + "/velmora";
}

long long nanoseconds(const timespec& t) {
    return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

// Any change to a file or folder (written, added to, replaced, removed or
// created) changes this line; `newest` keeps the latest change time seen.
QByteArray stateOf(const QByteArray& path, long long& newest) {
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return "-";
    newest = std::max({newest, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)});
    QByteArray state;
    for (long long n : {nanoseconds(st.st_mtim), nanoseconds(st.st_ctim),
                        static_cast<long long>(st.st_size), static_cast<long long>(st.st_ino)})
        state += QByteArray::number(n) + ':';
    return state;
}

// What the answers depend on, as it stands now for these paths.
QByteArray stampFor(const std::set<QByteArray>& paths, long long& newest) {
    QByteArray stamp = Header;
    stamp += "fontconfig " + QByteArray::number(FcGetVersion()) + '\n';
    for (const char* name : Environment)
        stamp += QByteArray("env ") + name + ' ' +
                 (qEnvironmentVariableIsSet(name) ? '=' + encoded(qgetenv(name)) : "-") + '\n';
    for (const QByteArray& path : paths)
        stamp += "watch " + encoded(path) + ' ' + stateOf(path, newest) + '\n';
    return stamp;
}

// The paths behind the loaded configuration: its files and their folders, the
// font folders, and the places a user's own configuration appears in.
std::set<QByteArray> watchedPaths() {
    std::set<QByteArray> paths;
    const auto add = [&paths](FcStrList* list, bool withFolder) {
        if (!list)
            return;
        while (const FcChar8* item = FcStrListNext(list)) {
            const QByteArray path(reinterpret_cast<const char*>(item));
            paths.insert(path);
            if (withFolder && path.lastIndexOf('/') > 0)
                paths.insert(path.left(path.lastIndexOf('/')));
        }
        FcStrListDone(list);
    };
    add(FcConfigGetConfigFiles(nullptr), true);
    add(FcConfigGetFontDirs(nullptr), false);
    if (const QByteArray config = xdgFolder("XDG_CONFIG_HOME", "/.config"); !config.isEmpty())
        for (const char* own : {"", "/fontconfig", "/fontconfig/fonts.conf", "/fontconfig/conf.d"})
            paths.insert(config + own);
    if (const QByteArray home = qgetenv("HOME"); !home.isEmpty())
        for (const char* own : {"/.fonts.conf", "/.fonts.conf.d", "/.fonts"})
            paths.insert(home + own);
    return paths;
}

using Key = std::tuple<QString, bool, bool, bool>;

Key keyOf(const FaceQuery& q) {
    return {q.family, q.bold, q.italic, q.anyFamily};
}

// Folders made for the cache belong to whoever runs the command: not to root
// running it in a user's home (sudo keeps HOME).
bool ownsHome() {
    struct stat st {};
    const QByteArray home = qgetenv("HOME");
    return home.isEmpty() || (::stat(home.constData(), &st) == 0 && st.st_uid == ::geteuid());
}

struct Remembered {
    std::mutex lock;
    bool read = false;
    timespec asked{}; // when the first face was looked up
    QByteArray stamp; // empty until a file with a stamp that still holds is read
    std::map<Key, FaceFile> faces;

    // The cache file, kept only while every path it watches is as it was.
    void readFile() {
        read = true;
        const QByteArray folder = cacheFolder();
        if (folder.isEmpty())
            return;
        const int fd = ::open(folder + "/faces", O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return;
        if (struct stat st{}; ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return;
        }
        QByteArray data(MaxBytes, Qt::Uninitialized);
        qsizetype size = 0;
        for (ssize_t n;
             size < MaxBytes && (n = ::read(fd, data.data() + size, MaxBytes - size)) > 0;)
            size += n;
        ::close(fd);
        data.truncate(size);
        if (!data.startsWith(Header) || !data.endsWith('\n'))
            return;
        std::set<QByteArray> paths;
        std::map<Key, FaceFile> found;
        qsizetype stampEnd = -1;
        for (const QByteArray& line : data.chopped(1).split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f[0] == "watch" && f.size() == 3) {
                paths.insert(QByteArray::fromPercentEncoding(f[1]));
            } else if (f[0] == "face" && f.size() == 5 && f[1].size() == 3) {
                if (stampEnd < 0)
                    stampEnd = data.indexOf("\nface ") + 1;
                bool ok = false;
                FaceFile file{f[4] == "-" ? QByteArray() : QByteArray::fromPercentEncoding(f[4]),
                              f[3].toInt(&ok)};
                if (!ok || file.index < 0 || !(file.path.isEmpty() || file.path.startsWith('/')))
                    return;
                found[{QString::fromUtf8(QByteArray::fromPercentEncoding(f[2])), f[1][0] == '1',
                       f[1][1] == '1', f[1][2] == '1'}] = file;
            }
        }
        const QByteArray written = stampEnd < 0 ? data : data.left(stampEnd);
        long long newest = 0;
        if (written != stampFor(paths, newest))
            return;
        stamp = written;
        faces = std::move(found);
    }

    // Written whole under a new name and renamed over the old: a reader sees one
    // or the other. It is only a cache: not synced, and a failure loses nothing.
    void writeFile() const {
        const QByteArray folder = cacheFolder();
        if (folder.isEmpty())
            return;
        ::mkdir(folder.left(folder.lastIndexOf('/')).constData(), 0700);
        ::mkdir(folder.constData(), 0700);
        QByteArray data = stamp;
        for (const auto& [key, file] : faces) {
            const auto& [family, bold, italic, anyFamily] = key;
            data += QByteArray("face ") + (bold ? '1' : '0') + (italic ? '1' : '0') +
                    (anyFamily ? '1' : '0') + ' ' + encoded(family.toUtf8()) + ' ' +
                    QByteArray::number(file.index) + ' ' +
                    (file.path.isEmpty() ? QByteArray("-") : encoded(file.path)) + '\n';
        }
        QByteArray temporary = folder + "/faces.XXXXXX";
        const int fd = ::mkstemp(temporary.data());
        if (fd < 0)
            return;
        const bool written = ::write(fd, data.constData(), data.size()) == data.size();
        if (::close(fd) != 0 || !written ||
            ::rename(temporary.constData(), (folder + "/faces").constData()) != 0)
            ::unlink(temporary.constData());
    }
};

Remembered& remembered() {
    static Remembered only;
    return only;
}

} // namespace

std::optional<FaceFile> rememberedFace(const FaceQuery& query) {
    Remembered& r = remembered();
    const std::lock_guard<std::mutex> hold(r.lock);
    if (!r.read) {
        ::clock_gettime(CLOCK_REALTIME, &r.asked);
        r.readFile();
    }
    if (auto it = r.faces.find(keyOf(query)); it != r.faces.end())
        return it->second;
    return std::nullopt;
}

void rememberFace(const FaceQuery& query, const FaceFile& file) {
    Remembered& r = remembered();
    const std::lock_guard<std::mutex> hold(r.lock);
    if (!r.read)
        r.readFile();
    long long newest = 0;
    if (const QByteArray now = stampFor(watchedPaths(), newest); now != r.stamp) {
        r.stamp = now;
        r.faces.clear();
    }
    r.faces[keyOf(query)] = file;
    // An answer given while the configuration or the fonts were changing, or
    // so shortly after that a file system's coarse clock cannot tell, is not
    // kept for later runs.
    if (newest + 100'000'000 < nanoseconds(r.asked) && ownsHome())
        r.writeFile();
}

} // namespace engine::text
