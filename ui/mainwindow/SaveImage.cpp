#include "ui/mainwindow/frmMain.h"

#include <QLabel>

#include "engine/codecs/Codecs.h"
#include "engine/files/AtomicFile.h"
#include "engine/files/FileStatus.h"
#include "engine/settings/basFunc.h"
#include "engine/settings/Settings.h"
#include "ui/app/basFunc.h"
#include "ui/dialogs/clsDialog.h"
#include "ui/dialogs/MessageBox.h"
#include "ui/mainwindow/SaveFormat.h"
#include "ui/widgets/ImageBridge.h"
#include "ui/widgets/PictureBox.h"

namespace {

QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

// Encodes the board in the target's format and writes it; returns why it
// failed, or nothing.
QString writeImage(const SaveTarget& target, const PictureBox& board) {
    const engine::image::Image picture = ui::fromQImage(board.image());
    QByteArray data;
    QString why;
    bool encoded = false;
    if (target.extension == ".JPG")
        encoded = engine::codecs::encodeJpeg(picture, gJpegRate, gJpegPrgrs != 0, data, &why);
    else if (target.extension == ".PNG")
        encoded = engine::codecs::encodePng(picture, gPngRate, data, &why);
    else
        encoded = engine::codecs::encodeBmp(picture, data, &why);
    if (encoded && engine::files::writeFileAtomically(target.fileName, data, &why))
        return QString();
    return why;
}

} // namespace

void frmMain::SaveImage() {
    clsDialog dialog;
    dialog.SelectTitle = QStringLiteral("ファイルの保存");
    dialog.FilterPattern = SaveFilterPattern();
    dialog.SelectFlags = QString::number(0x2004);
    const QString chosen = trimSpaces(dialog.SaveFile(this));
    if (chosen.isEmpty())
        return;
    const SaveTarget target = DecideSaveFormat(chosen, dialog.FilterIndex);
    const std::int16_t status = GetFileStatus(target.fileName);
    if (status == StatusFailed)
        return;
    if (status == StatusExists &&
        ui::messageBox(this, QStringLiteral("上書きしますか？\r\n") + target.fileName,
                       QStringLiteral("上書き確認"), ui::MsgIcon::Question, ui::MsgButtons::YesNo,
                       true) != ui::MsgResult::Yes)
        return;
    MSG->setText(QStringLiteral("Saving "));
    const QString failure = writeImage(target, *Board);
    if (!failure.isEmpty()) {
        ui::messageBox(this, target.fileName + "\r\n" + failure, QStringLiteral("保存エラー"),
                       ui::MsgIcon::Stop);
        return;
    }
    const std::int16_t sep = FindLast(target.fileName, QString(QChar(engine::files::PathSep)));
    MSG->setText(">" + target.fileName.mid(sep));
}
