#include "mainwindow/frmMain.h"

#include <QLabel>

#include "SaveFormat.h"
#include "app/Settings.h"
#include "app/basFunc.h"
#include "dialogs/clsDialog.h"
#include "platform/FileStatus.h"
#include "platform/ImageLib.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"

namespace {

QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

// The options are bytes on their way to the writers; a hand-edited value
// beyond a byte cannot be handed over.
bool asByte(std::int16_t value, std::uint8_t& out) {
    if (value < 0 || value > 255)
        return false;
    out = static_cast<std::uint8_t>(value);
    return true;
}

// Writes the board in the target's format; returns why it failed, or nothing.
QString writeImage(const SaveTarget& target, PictureBox& board) {
    std::uint8_t option = 0;
    std::int32_t status = 0;
    if (target.extension == ".JPG") {
        if (!asByte(gJpegRate, option))
            return imagelib::JpegRateOutOfRange(gJpegRate);
        status = imagelib::DCSavetoJPEG(board.hDC(), board.innerWidth(), board.innerHeight(),
                                        target.fileName, option, gJpegPrgrs != 0 ? -1 : 0);
    } else if (target.extension == ".PNG") {
        if (!asByte(gPngRate, option))
            return imagelib::PngLevelOutOfRange(gPngRate);
        status = imagelib::DCSavetoPNG(board.hDC(), board.innerWidth(), board.innerHeight(),
                                       target.fileName, option);
    } else {
        status = imagelib::SavePicture(board.image(), target.fileName);
    }
    return status == 0 ? QString() : imagelib::LastError();
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
        platform::messageBox(this, QStringLiteral("上書きしますか？\r\n") + target.fileName,
                             QStringLiteral("上書き確認"), platform::MsgIcon::Question,
                             platform::MsgButtons::YesNo, true) != platform::MsgResult::Yes)
        return;
    MSG->setText(QStringLiteral("Saving "));
    const QString failure = writeImage(target, *Board);
    if (!failure.isEmpty()) {
        platform::messageBox(this, target.fileName + "\r\n" + failure, QStringLiteral("保存エラー"),
                             platform::MsgIcon::Stop);
        return;
    }
    const std::int16_t sep = FindLast(target.fileName, QString(QChar(platform::PathSep)));
    MSG->setText(">" + target.fileName.mid(sep));
}
