#pragma once

#include <map>

#include <sys/types.h>

#include <QByteArray>

#include "engine/files/AtomicFile.h"

// The calls of AtomicFilePosix.cpp that each system makes its own way: room
// claimed before a write, files staged without a name, and one flush of a file
// system for many files.
namespace engine::files {

// Claims room on the disk for the first `length` bytes of the open file: 0, or
// the error number of why not; EINVAL or EOPNOTSUPP where the file system
// cannot claim room.
int claimRoom(int fd, off_t length);

// A new file without a name in `folder`, open for writing; -1 where the system
// or the file system has none, and the caller makes a named one instead.
int openUnnamedFile(const QByteArray& folder);

// Names a file opened by openUnnamedFile() beside its target, in `folder`;
// false with errno set where no name could be given.
bool nameUnnamedFile(StagedFile& file, const QByteArray& folder);

// Puts staged files on disk one by one, each file's own errors reported by
// its own flush.
class StagedFlush {
  public:
    bool flush(int fd);

  private:
    std::map<dev_t, bool> m_thorough; // per file system: its syncfs() writes every file out
};

} // namespace engine::files
