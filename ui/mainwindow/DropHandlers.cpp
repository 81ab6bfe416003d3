#include "ui/mainwindow/frmMain.h"

#include <QStringList>

#include "engine/settings/Settings.h"

namespace {

bool acceptedExtension(const QString& path) {
    const QString ext = path.right(4).toUpper();
    return ext == ".JPG" || ext == ".BMP" || ext == ".ICO" || ext == ".PNG" ||
           (ext == ".GIF" && gOptionsGif == 1);
}

} // namespace

void frmMain::Area_OLEDragDrop(std::int16_t Index, const QStringList& Data) {
    // The first accepted file that loads becomes the pattern; nothing is reported.
    for (const QString& path : Data) {
        if (acceptedExtension(path) && LoadDotPicture(path, Index) == 0)
            break;
    }
}

void frmMain::Dot_OLEDragDrop(std::int16_t Index, const QStringList& Data) {
    Area_OLEDragDrop(Index, Data);
}
