#include "ReadFile.h"

#include <QFile>
#include <QFileInfo>

#include "engine/files/WriteFailure.h"

// Names reach Windows whole through Qt, as UTF-16.
namespace engine::files {

bool readWholeFile(const QString& name, qint64 limit, QByteArray& data, QString* why) {
    if (QFileInfo(name).isDir())
        return failBecause(why, QT_TRANSLATE_NOOP("files", "it is a folder"));
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        if (why)
            *why = file.errorString();
        return false;
    }
    QByteArray read = file.read(limit + 1);
    if (read.size() > limit)
        return failBecause(why, QT_TRANSLATE_NOOP("files", "the file is too large"));
    data = std::move(read);
    return true;
}

bool isRegularFile(const QString& name) {
    return QFileInfo(name).isFile();
}

} // namespace engine::files
