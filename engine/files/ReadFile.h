#pragma once

#include <QByteArray>
#include <QString>

namespace engine::files {

// Reads a named input whole, once, from its start to its end: a file, a pipe,
// a FIFO, /dev/stdin or a process substitution alike; the name is taken as the
// bytes it stands for (see NativeName.h). Refuses a folder and an input longer
// than `limit` bytes, and says why in the user's language.
bool readWholeFile(const QString& name, qint64 limit, QByteArray& data, QString* why = nullptr);

// Whether the name (taken as its bytes) is a regular file, or a link to one.
bool isRegularFile(const QString& name);

} // namespace engine::files
