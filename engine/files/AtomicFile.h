#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

namespace engine::files {

// True when the file may be written: it exists writable, or its folder takes a
// new file. A file without any write permission bit counts as read-only, also
// for the superuser, like the read-only attribute on Windows.
bool isWritableTarget(const QString& path);

// Writes `data` to a temporary file beside `path` and renames it over `path`
// only when every byte is on disk. A symlink keeps its link (the file it points
// to is replaced) and an existing file keeps its permissions. On failure the old
// file stays as it was and no temporary file is left behind, and `error`, when
// given, says why in the user's language. The name is taken as the bytes it
// stands for (see NativeName.h).
// Where the folder takes no new file but the existing file is writable, the file
// is overwritten in place (its hard links and owner stay): space for the new
// length is claimed first, so a full disk fails with the old file whole, and
// only a device error can leave it half-written.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

// The same write for many files at once, with one flush of the file system
// doing the writing for many files: stageFile() writes the new file in the
// target's folder and keeps it open, not yet synced (on Linux without a name,
// so that a process stopped before the commit leaves nothing behind);
// commitStaged() flushes the file system once, then syncs each file, which
// reports that file's own errors, names it and renames it over its target.
// On Unix the target is as it was until then. Where the folder takes no new
// file the file is written in place at once, as above, and its commit has
// nothing left to do; elsewhere than Unix every file is written at once.
struct StagedFile {
    int fd = -1;          // the open new file; -1 once written in place
    QByteArray temporary; // its name, where it has one
    QByteArray target;
};
bool stageFile(const QString& path, const QByteArray& data, StagedFile& staged,
               QString* error = nullptr);
// Each file's outcome, in order; every file is closed, and one that fails
// leaves no new file behind and has its `error` set.
std::vector<bool> commitStaged(const std::vector<StagedFile>& files, std::vector<QString>* errors);

} // namespace engine::files
