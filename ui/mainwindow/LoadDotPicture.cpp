#include "ui/mainwindow/frmMain.h"

#include "engine/codecs/Codecs.h"
#include "ui/widgets/PictureBox.h"

std::int16_t frmMain::LoadDotPicture(const QString& FileName, std::int16_t Index) {
    std::int16_t result = 1;
    if (Index < 0 || static_cast<size_t>(Index) >= Dot.size())
        return result;
    PictureBox* holder = Dot[static_cast<size_t>(Index)];
    if (FileName.right(4).toUpper() == ".PNG") {
        if (LoadPngPicture(holder, FileName))
            result = 0;
        return result;
    }
    engine::image::Image picture;
    if (!engine::codecs::loadPicture(FileName, picture))
        return result;
    holder->setPicture(picture);
    result = 0;
    return result;
}

bool frmMain::LoadPngPicture(PictureBox* Pic, const QString& FileName) {
    engine::image::Image picture;
    const engine::codecs::PatternLoad load = engine::codecs::loadPattern(FileName, picture);
    // A file that is no PNG, or of a size the tiles cannot take, leaves the
    // holder as it was; broken pixels leave it at the header's size.
    if (load == engine::codecs::PatternLoad::Refused)
        return false;
    Pic->hide();
    Pic->setPicture(picture);
    Pic->Refresh();
    Pic->show();
    return load == engine::codecs::PatternLoad::Loaded;
}
