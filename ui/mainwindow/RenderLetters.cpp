#include "ui/mainwindow/frmMain.h"

#include <QLineEdit>

#include "engine/cut/Render.h"
#include "ui/dialogs/MessageBox.h"
#include "ui/widgets/AutoSizeLabel.h"
#include "ui/widgets/DrawingFont.h"
#include "ui/widgets/ImageBridge.h"
#include "ui/widgets/PictureBox.h"

// The same request velmora-cut makes, from the controls: the engine's image
// is what Board shows, copies and saves.
bool frmMain::RenderLetters() {
    engine::cut::Request request;
    request.text = FLD[0]->text();
    request.font = ui::specOf(TempPic->font());
    request.pattern = ui::fromQImage(Dot[0]->image());
    request.ground = Area[1]->backColor();
    engine::image::Image result;
    QSize size;
    if (!engine::cut::render(request, result, size)) {
        ui::messageBox(this,
                       QStringLiteral("文字の画像が大きすぎます（%1 × %2 ピクセル）。\r\n"
                                      "文字を短くするか、サイズを小さくしてください。")
                           .arg(size.width())
                           .arg(size.height()),
                       QStringLiteral("ベルモラ"), ui::MsgIcon::Exclamation);
        return false;
    }
    SizeMongon->setCaption(request.text, size);
    Board->setImage(ui::toQImage(result.convertedTo(engine::image::Format::Rgb32)));
    // An empty text has no image but still the line's height.
    Board->setOuterSize(size.width() + 2, size.height() + 2);
    Board->Refresh();
    return true;
}
