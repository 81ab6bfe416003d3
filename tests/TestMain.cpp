#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Widgets are tested without a display; the real-window test runs the program itself.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
