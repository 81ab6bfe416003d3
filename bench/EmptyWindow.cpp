// The yardsticks for the program's start-up (bench/startup.sh times them side
// by side with it): a Qt Widgets window with nothing in it, and with --text the
// same window holding one label and one line edit, the least a window that
// shows any text makes Qt do (its font database, a font, a style for text).
#include <cstring>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("empty Qt window"));
    window.resize(400, 300);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        new QLabel(QStringLiteral("文字"), &window);
        (new QLineEdit(QStringLiteral("Sample"), &window))->move(0, 30);
    }
    window.show();
    return app.exec();
}
