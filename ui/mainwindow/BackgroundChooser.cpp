#include "ui/mainwindow/frmMain.h"

#include "engine/settings/Settings.h"
#include "ui/dialogs/clsDialog.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/widgets/PictureBox.h"

void frmMain::DBTN_Click(std::int16_t Index) {
    clsDialog dialog;
    if (Index == 0) {
        const QChar nul(0);
        dialog.SelectTitle = QStringLiteral("背景の画像");
        dialog.FilterPattern = QStringLiteral("画像ファイル") + nul +
                               (gOptionsGif != 0 ? QStringLiteral("*.bmp;*.gif;*.ico;*.jpg;*.png")
                                                 : QStringLiteral("*.bmp;*.ico;*.jpg;*.png")) +
                               nul;
        dialog.SelectFlags = QString::number(ui::OFN_FILEMUSTEXIST | ui::OFN_HIDEREADONLY);
        const QString path = dialog.OpenFile(this);
        if (!path.isEmpty())
            LoadDotPicture(path, 0);
    } else if (Index == 1) {
        if (dialog.ColorCode(this) != 0) {
            Area[1]->setBackColor(static_cast<engine::image::COLORREF>(dialog.SelectColor));
            gBackColor = dialog.SelectColor;
        }
    }
}
