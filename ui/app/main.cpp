#include <QApplication>

#include "engine/text/FontList.h"
#include "ui/app/Main.h"

int main(int argc, char* argv[]) {
    engine::text::prepareFontFamilies();
    QApplication app(argc, argv);
    // Desktops match the window to its desktop entry (and so its icon) by this.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    Main();
    return app.exec();
}
