#include <QApplication>

#include "ui/app/Main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Main();
    return app.exec();
}
