#include "mainwindow/frmMain.h"

#include <QLineEdit>

#include "TilePlan.h"
#include "basGrphc.h"
#include "platform/AutoSizeLabel.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"

namespace {

// Larger images would overflow the tile arithmetic or take more memory than a
// text image reasonably needs.
constexpr std::int32_t MaxSide = 32767;
constexpr std::int64_t MaxBytes = 256LL * 1024 * 1024;

bool fits(std::int32_t W, std::int32_t H) {
    return W <= MaxSide && H <= MaxSide && std::int64_t{W} * H * 4 <= MaxBytes;
}

} // namespace

bool frmMain::RenderLetters() {
    const QString text = FLD[0]->text();
    TempPic->Cls();
    SizeMongon->setCaption(text);
    const std::int32_t W = SizeMongon->width();
    const std::int32_t H = SizeMongon->height();
    if (!fits(W, H)) {
        platform::messageBox(this,
                             QStringLiteral("文字の画像が大きすぎます（%1 × %2 ピクセル）。\r\n"
                                            "文字を短くするか、サイズを小さくしてください。")
                                 .arg(W)
                                 .arg(H),
                             QStringLiteral("ベルモラ"), platform::MsgIcon::Exclamation);
        return false;
    }
    TempPic->setOuterSize(W, H);
    TempPic->setForeColor(0xFFFFFF);
    TempPic->setBackColor(0x000000);
    TempPic->Print(text); // mask 1: white letters on black

    const std::int32_t PW = Dot[0]->innerWidth();
    const std::int32_t PH = Dot[0]->innerHeight();
    Board->setOuterSize(W + 2, H + 2);
    Board->Cls();

    gdi::HDC workDC = 0;
    gdi::HBITMAP workBitmap = 0;
    CreateWorkBitmap(Board->hDC(), W, H, workDC, workBitmap);
    for (const TileCopy& tile : PlanTiles(W, H, PW, PH))
        gdi::BitBlt(workDC, tile.x, tile.y, tile.width, tile.height, Dot[0]->hDC(), 0, 0,
                    gdi::SRCCOPY);
    gdi::BitBlt(workDC, 0, 0, W, H, TempPic->hDC(), 0, 0, gdi::SRCAND);
    gdi::BitBlt(Board->hDC(), 0, 0, W, H, workDC, 0, 0, gdi::SRCCOPY);
    DeleteWorkBitmap(workDC, workBitmap);

    TempPic->Cls();
    TempPic->setForeColor(0x000000);
    TempPic->setBackColor(Area[1]->backColor());
    TempPic->Print(text); // mask 2: black letters on the background colour
    gdi::BitBlt(Board->hDC(), 0, 0, W, H, TempPic->hDC(), 0, 0, gdi::SRCINVERT);
    Board->Refresh();
    return true;
}
