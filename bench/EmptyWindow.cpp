// The yardstick for the program's start-up: a Qt Widgets window with nothing
// in it, shown the same way (bench/startup.sh times both side by side).
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("empty Qt window"));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
