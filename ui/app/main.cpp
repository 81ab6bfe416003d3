#include <QApplication>

#include "engine/settings/Settings.h"
#include "engine/text/FontList.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/widgets/ClassicFont.h"

int main(int argc, char* argv[]) {
    engine::text::prepareFontFamilies();
    QApplication app(argc, argv);
    // Desktops match the window to its desktop entry (and so its icon) by this.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    // Qt's own dialogs and message boxes too: a proportional face, not the
    // monospaced one fontconfig prefers for Japanese.
    QApplication::setFont(ui::classicFont());
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
