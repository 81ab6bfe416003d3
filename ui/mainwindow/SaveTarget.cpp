#include "SaveTarget.h"

#include "engine/files/FileStatus.h"
#include "ui/dialogs/MessageBox.h"

using engine::codecs::ImageFormat;
using engine::codecs::OutputFormat;
using engine::codecs::VectorFormat;

namespace {

// One file type of the save dialog: what the dialog lists, the extension a
// name is given when it lacks its own, and the format written. Their filter
// numbers run from 2; filter 1, "画像ファイル", lists the classic three, the
// pictures; the drawings follow them.
struct SaveType {
    const char16_t* description;
    const char16_t* patterns;
    const char16_t* extension; // upper case, appended as it stands
    OutputFormat format;
    bool picture; // listed under "画像ファイル" too
};

const SaveType Types[] = {
    {u"ビットマップファイル", u"*.bmp", u".BMP", ImageFormat::Bmp, true},
    {u"ＪＰＥＧファイル", u"*.jpg", u".JPG", ImageFormat::Jpeg, true},
    {u"ＰＮＧファイル", u"*.png", u".PNG", ImageFormat::Png, true},
    {u"ＳＶＧファイル", u"*.svg", u".SVG", VectorFormat::Svg, false},
    {u"ＰＤＦファイル", u"*.pdf", u".PDF", VectorFormat::Pdf, false},
};

// The type a name's own extension stands for: the last four characters, any
// case, as the classic rule reads them, and ".jpeg" as JPEG too.
const SaveType* typeOfName(const QString& fileName, QString& extension) {
    extension = fileName.right(4).toUpper();
    if (fileName.endsWith(u".jpeg", Qt::CaseInsensitive)) {
        extension = fileName.right(5).toUpper();
        return &Types[1];
    }
    for (const SaveType& type : Types)
        if (extension == QStringView(type.extension))
            return &type;
    return nullptr;
}

} // namespace

SaveTarget decideSaveTarget(const QString& fileName, int filterIndex) {
    SaveTarget target{fileName, {}};
    const SaveType* own = typeOfName(fileName, target.extension);
    // Filter 1 (or none) keeps a name of a known type, else makes it a bitmap.
    const bool picked = filterIndex >= 2 && filterIndex - 2 < static_cast<int>(std::size(Types));
    const SaveType& type = picked ? Types[filterIndex - 2] : own ? *own : Types[0];
    if (own != &type) {
        target.fileName += QString::fromUtf16(type.extension);
        target.extension = QString::fromUtf16(type.extension);
    }
    target.format = type.format;
    return target;
}

std::vector<ui::FileFilter> saveFilters() {
    std::vector<ui::FileFilter> filters{{QStringLiteral("画像ファイル"), QString()}};
    for (const SaveType& type : Types) {
        const QString patterns = QString::fromUtf16(type.patterns);
        filters.push_back({QString::fromUtf16(type.description), patterns});
        if (type.picture)
            filters.front().patterns += (filters.size() > 2 ? ";" : "") + patterns;
    }
    return filters;
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
