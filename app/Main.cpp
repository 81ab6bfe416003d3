#include "Main.h"

#include <QWidget>

#include "Settings.h"

void Main() {
    LoadSettings();
    SaveSettings();
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("ベルモラ"));
    window->show();
}
