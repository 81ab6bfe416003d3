#include "Main.h"

#include "Settings.h"
#include "mainwindow/frmMain.h"
#include "platform/CommonDialogs.h"
#include "platform/FontEnum.h"

void Main() {
    LoadSettings();
    SaveSettings();
    fontenum::InstallClassicFaceSubstitutes();
    platform::installJapaneseTranslations();
    platform::keepDialogStateOffDisk();
    auto* window = new frmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
    window->show();
}
