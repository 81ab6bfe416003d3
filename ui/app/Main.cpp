#include "Main.h"

#include "engine/settings/Settings.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/mainwindow/frmMain.h"

void Main() {
    LoadSettings();
    SaveSettings();
    ui::installJapaneseTranslations();
    ui::keepDialogStateOffDisk();
    auto* window = new frmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
    window->show();
}
