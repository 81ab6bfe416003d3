#include "AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <string>

#include <QCoreApplication>
#include <QDir>
#include <windows.h>

#include "engine/files/WriteFailure.h"

// Whole-file writes on Windows: a new file beside the target, on disk, then put
// in its place by ReplaceFileW, which keeps the target's attributes and
// security, or by MoveFileExW with write-through for a new name. Names go to
// the system whole, as UTF-16.
namespace engine::files {
namespace {

bool fail(QString* error, const char* why) {
    return failBecause(error, why);
}

// The first reason a step failed, kept while the cleanup after it runs.
struct Failure {
    DWORD code = 0;
    bool step(bool ok) {
        if (!ok && code == 0)
            code = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
        return ok;
    }
};

// What the system said, in the user's words; the folder is known to exist.
bool fail(QString* error, const Failure& failure) {
    const auto kind = [](DWORD code) {
        switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return WriteFailure::DiskFull;
        case ERROR_FILE_TOO_LARGE:
            return WriteFailure::TooLarge;
        case ERROR_WRITE_PROTECT:
            return WriteFailure::ReadOnly;
        case ERROR_ACCESS_DENIED:
            return WriteFailure::NotWritable;
        case ERROR_FILENAME_EXCED_RANGE:
            return WriteFailure::NameTooLong;
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_SECTOR_NOT_FOUND:
            return WriteFailure::DiskError;
        default:
            return WriteFailure::Other;
        }
    };
    return failWrite(error, kind(failure.code), qt_error_string(static_cast<int>(failure.code)));
}

// Whole names: ReplaceFileW takes no relative ones.
std::wstring nativeName(const QString& path) {
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(path)).toStdWString();
}

std::wstring folderOf(const std::wstring& path) {
    const size_t sep = path.find_last_of(L"\\/");
    if (sep == std::wstring::npos)
        return L".";
    // A drive's or the current drive's root keeps its separator: "C:\", "\".
    const bool root = sep == 0 || (sep == 2 && path[1] == L':');
    return path.substr(0, root ? sep + 1 : sep);
}

// A name in a folder, with one separator between them.
std::wstring inFolder(const std::wstring& folder, const std::wstring& name) {
    const bool separated = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
    return folder + (separated ? L"" : L"\\") + name;
}

std::wstring temporaryName(const std::wstring& target, const wchar_t* ending) {
    static std::atomic<unsigned> serial{0};
    return inFolder(folderOf(target), L".velmora-" + std::to_wstring(GetCurrentProcessId()) +
                                          L'-' + std::to_wstring(serial++) + ending);
}

bool isFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The count of every write is checked; a short one goes on from where it ended.
bool writeAll(HANDLE file, const QByteArray& data) {
    for (qsizetype done = 0; done < data.size();) {
        const auto chunk = static_cast<DWORD>(std::min<qsizetype>(data.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file, data.constData() + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        done += written;
    }
    return true;
}

bool setLength(HANDLE file, qint64 length) {
    LARGE_INTEGER at;
    at.QuadPart = length;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Where the file cannot be replaced: room for the new length is claimed
// before the first old byte is overwritten, so a full disk fails with the old
// content whole.
bool writeInPlace(const std::wstring& target, const QByteArray& data, Failure& f) {
    const HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!f.step(file != INVALID_HANDLE_VALUE))
        return false;
    LARGE_INTEGER old{};
    bool ok = f.step(GetFileSizeEx(file, &old));
    if (ok && data.size() > old.QuadPart && !f.step(setLength(file, data.size()))) {
        setLength(file, old.QuadPart);
        ok = false;
    }
    ok = ok && f.step(SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) &&
                      writeAll(file, data) && setLength(file, data.size()) &&
                      FlushFileBuffers(file));
    return f.step(CloseHandle(file)) && ok;
}

bool writeAndReplace(const std::wstring& target, bool exists, const QByteArray& data, Failure& f) {
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 100 && file == INVALID_HANDLE_VALUE; ++tries) {
        temp = temporaryName(target, L".tmp");
        file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (!f.step(file != INVALID_HANDLE_VALUE))
        return false;
    bool ok = f.step(writeAll(file, data) && FlushFileBuffers(file));
    ok = f.step(CloseHandle(file)) && ok;
    bool onlyCopy = false;
    if (ok && exists && !ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        // The old file is gone and the new one still has its temporary name: it
        // is moved into place, and kept under that name where even that fails.
        // Any other failure leaves both files as they were.
        onlyCopy = GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
        ok = f.step(onlyCopy && MoveFileExW(temp.c_str(), target.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    } else if (ok && !exists) {
        ok = f.step(MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH));
    }
    if (!ok && !onlyCopy)
        DeleteFileW(temp.c_str());
    return ok;
}

// Why the target may not be written, before anything is tried.
bool checkDestination(const std::wstring& target, DWORD attributes, QString* error) {
    if (isFolder(attributes))
        return fail(error, QT_TRANSLATE_NOOP("files", "a folder has that name"));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return fail(error, QT_TRANSLATE_NOOP("files", "the file is read-only"));
    if (attributes == INVALID_FILE_ATTRIBUTES &&
        !isFolder(GetFileAttributesW(folderOf(target).c_str())))
        return fail(error, QT_TRANSLATE_NOOP("files", "the folder does not exist"));
    return true;
}

} // namespace

// A folder's permissions are in its ACL, which a file made and dropped at once
// asks most simply: Program Files refuses one to an ordinary user.
bool isWritableTarget(const QString& path) {
    const std::wstring target = nativeName(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (!checkDestination(target, attributes, nullptr))
        return false;
    const std::wstring probe =
        attributes != INVALID_FILE_ATTRIBUTES ? target : temporaryName(target, L".probe");
    const HANDLE file = CreateFileW(
        probe.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, attributes != INVALID_FILE_ATTRIBUTES ? OPEN_EXISTING : CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY |
            (attributes != INVALID_FILE_ATTRIBUTES ? 0 : FILE_FLAG_DELETE_ON_CLOSE),
        nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    const std::wstring target = nativeName(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (!checkDestination(target, attributes, error))
        return false;
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    Failure f;
    if (writeAndReplace(target, exists, data, f))
        return true;
    // The folder alone may refuse, or another program hold the file open (as
    // an editor may): the file is then written where it is, as the classic
    // program always wrote it.
    if (exists && (f.code == ERROR_ACCESS_DENIED || f.code == ERROR_SHARING_VIOLATION ||
                   f.code == ERROR_UNABLE_TO_REMOVE_REPLACED)) {
        Failure inPlace;
        if (writeInPlace(target, data, inPlace))
            return true;
    }
    return fail(error, f);
}

bool stageFile(const QString& path, const QByteArray& data, StagedFile& staged, QString* error) {
    staged = {-1, {}, path.toUtf8()};
    return writeFileAtomically(path, data, error);
}

std::vector<bool> commitStaged(const std::vector<StagedFile>& files, std::vector<QString>* errors) {
    if (errors)
        errors->assign(files.size(), QString());
    return std::vector<bool>(files.size(), true);
}

} // namespace engine::files
