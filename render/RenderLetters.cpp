#include "mainwindow/frmMain.h"

#include <QLineEdit>

#include "CutEngine.h"
#include "platform/AutoSizeLabel.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"

bool frmMain::RenderLetters() {
    const QString text = FLD[0]->text();
    TempPic->Cls();
    SizeMongon->setCaption(text);
    const std::int32_t W = SizeMongon->width();
    const std::int32_t H = SizeMongon->height();
    if (const QString why = cutengine::SizeRefusal(W, H); !why.isEmpty()) {
        platform::messageBox(this, why, QStringLiteral("ベルモラ"), platform::MsgIcon::Exclamation);
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

    cutengine::CutPattern(Board->hDC(), W, H, Dot[0]->hDC(), PW, PH, TempPic->hDC());

    TempPic->Cls();
    TempPic->setForeColor(0x000000);
    TempPic->setBackColor(Area[1]->backColor());
    TempPic->Print(text); // mask 2: black letters on the background colour
    gdi::BitBlt(Board->hDC(), 0, 0, W, H, TempPic->hDC(), 0, 0, gdi::SRCINVERT);
    Board->Refresh();
    return true;
}
