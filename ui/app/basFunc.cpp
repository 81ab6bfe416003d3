#include "basFunc.h"

#include "engine/files/FileStatus.h"
#include "ui/dialogs/MessageBox.h"

std::int16_t GetFileStatus(const QString& path) {
    if (path.trimmed().isEmpty())
        return StatusBlank;
    engine::files::FileLength probe = engine::files::queryFileLength(path);
    if (probe.error == 0)
        return probe.length == 0 ? StatusEmpty : StatusExists;
    if (probe.error == engine::files::ErrFileNotFound)
        return StatusNotFound;
    ui::messageBox(
        nullptr, QString::number(probe.error) + ":" + engine::files::errorDescription(probe.error),
        QStringLiteral("システムエラー"), ui::MsgIcon::Stop);
    return StatusFailed;
}
