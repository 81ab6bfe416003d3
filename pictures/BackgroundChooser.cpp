#include "mainwindow/frmMain.h"

#include "app/Settings.h"
#include "dialogs/clsDialog.h"
#include "platform/CommonDialogs.h"
#include "platform/PictureBox.h"

void frmMain::DBTN_Click(std::int16_t Index) {
    clsDialog dialog;
    if (Index == 0) {
        const QChar nul(0);
        dialog.SelectTitle = QStringLiteral("背景の画像");
        dialog.FilterPattern = QStringLiteral("画像ファイル") + nul +
                               (gOptionsGif != 0 ? QStringLiteral("*.bmp;*.gif;*.ico;*.jpg;*.png")
                                                 : QStringLiteral("*.bmp;*.ico;*.jpg;*.png")) +
                               nul;
        dialog.SelectFlags =
            QString::number(platform::OFN_FILEMUSTEXIST | platform::OFN_HIDEREADONLY);
        const QString path = dialog.OpenFile(this);
        if (!path.isEmpty())
            LoadDotPicture(path, 0);
    } else if (Index == 1) {
        if (dialog.ColorCode(this) != 0) {
            Area[1]->setBackColor(static_cast<platform::COLORREF>(dialog.SelectColor));
            gBackColor = dialog.SelectColor;
        }
    }
}
