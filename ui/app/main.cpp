#include <QApplication>

#include "engine/settings/Settings.h"
#include "engine/text/FontList.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/mainwindow/MainWindow.h"

int main(int argc, char* argv[]) {
    engine::text::prepareFontFamilies();
    QApplication app(argc, argv);
    // Desktops match the window to its desktop entry (and so its icon) by this.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    const QString settingsFile =
        engine::settings::settingsFileFor(QCoreApplication::applicationDirPath());
    const engine::settings::Settings settings = engine::settings::startUp(settingsFile);
    ui::installJapaneseTranslations();
    ui::keepDialogStateOffDisk();
    auto* window = new MainWindow(settings, settingsFile);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return app.exec();
}
