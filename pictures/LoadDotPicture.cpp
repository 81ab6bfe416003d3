#include "mainwindow/frmMain.h"

#include "PngHeader.h"
#include "platform/ImageLib.h"
#include "platform/PictureLimits.h"
#include "platform/PictureLoader.h"
#include "platform/PictureBox.h"

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
    QImage picture;
    if (!platform::LoadPicture(FileName, picture))
        return result;
    holder->setPicture(picture);
    result = 0;
    return result;
}

bool frmMain::LoadPngPicture(PictureBox* Pic, const QString& FileName) {
    PngHeader header;
    if (!ReadPngHeader(FileName, header) || !header.signatureOk)
        return false;
    // A size the tile arithmetic cannot take is refused before the holder changes.
    if (!platform::pictureSizeAllowed(header.width, header.height))
        return false;
    Pic->hide();
    Pic->setOuterSize(header.width + 2, header.height + 2);
    Pic->Cls(); // a failed decode leaves the background colour, not old pixels
    const bool loaded = imagelib::DCReadPNG(FileName, Pic->hDC()) == 0;
    Pic->Refresh();
    Pic->show();
    return loaded;
}
