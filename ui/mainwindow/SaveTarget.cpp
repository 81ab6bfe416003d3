#include "SaveTarget.h"

#include "engine/files/FileStatus.h"
#include "ui/dialogs/MessageBox.h"

using engine::codecs::ImageFormat;

SaveTarget decideSaveTarget(const QString& fileName, int filterIndex) {
    SaveTarget target{fileName, fileName.right(4).toUpper()};
    const auto force = [&target](const QString& ext) {
        if (target.extension != ext) {
            target.fileName += ext;
            target.extension = ext;
        }
    };
    switch (filterIndex) {
    case 2:
        force(".BMP");
        break;
    case 3:
        force(".JPG");
        break;
    case 4:
        force(".PNG");
        break;
    default:
        if (target.extension != ".BMP" && target.extension != ".JPG" && target.extension != ".PNG")
            force(".BMP");
        break;
    }
    target.format = target.extension == ".JPG"   ? ImageFormat::Jpeg
                    : target.extension == ".PNG" ? ImageFormat::Png
                                                 : ImageFormat::Bmp;
    return target;
}

std::vector<ui::FileFilter> saveFilters() {
    return {{QStringLiteral("画像ファイル"), QStringLiteral("*.bmp;*.jpg;*.png")},
            {QStringLiteral("ビットマップファイル"), QStringLiteral("*.bmp")},
            {QStringLiteral("ＪＰＥＧファイル"), QStringLiteral("*.jpg")},
            {QStringLiteral("ＰＮＧファイル"), QStringLiteral("*.png")}};
}

TargetStatus checkSaveTarget(QWidget* owner, const QString& path) {
    if (path.trimmed().isEmpty())
        return TargetStatus::Blank;
    const engine::files::FileLength probe = engine::files::queryFileLength(path);
    if (probe.error == 0)
        return probe.length == 0 ? TargetStatus::Empty : TargetStatus::Exists;
    if (probe.error == engine::files::ErrFileNotFound)
        return TargetStatus::NotFound;
    ui::messageBox(
        owner, QString::number(probe.error) + ":" + engine::files::errorDescription(probe.error),
        QStringLiteral("システムエラー"), ui::MsgIcon::Stop);
    return TargetStatus::Failed;
}
