#include "WriteFailure.h"

#include <QCoreApplication>

namespace engine::files {

bool failBecause(QString* error, const char* why) {
    if (error)
        *error = QCoreApplication::translate("files", why);
    return false;
}

bool failWrite(QString* error, WriteFailure kind, const QString& systemText) {
    switch (kind) {
    case WriteFailure::DiskFull:
        return failBecause(error, QT_TRANSLATE_NOOP("files", "the disk is full"));
    case WriteFailure::TooLarge:
        return failBecause(error,
                           QT_TRANSLATE_NOOP("files", "the file is too large for the file system"));
    case WriteFailure::ReadOnly:
        return failBecause(error, QT_TRANSLATE_NOOP("files", "the file system is read-only"));
    case WriteFailure::NotWritable:
        return failBecause(error, QT_TRANSLATE_NOOP("files", "the folder may not be written to"));
    case WriteFailure::NoNewFiles:
        return failBecause(error, QT_TRANSLATE_NOOP("files", "the folder takes no new files"));
    case WriteFailure::FolderNamed:
        return failBecause(error, QT_TRANSLATE_NOOP("files", "a folder has that name"));
    case WriteFailure::NameTooLong:
        return failBecause(error, QT_TRANSLATE_NOOP("files", "the name is too long"));
    case WriteFailure::DiskError:
        return failBecause(error, QT_TRANSLATE_NOOP("files", "the disk reported an error"));
    case WriteFailure::Other:
        break;
    }
    if (error)
        *error = QCoreApplication::translate("files", "the file could not be written (%1)")
                     .arg(systemText);
    return false;
}

} // namespace engine::files
