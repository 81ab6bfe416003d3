#pragma once

#include <memory>

#include <QLineEdit>
#include <QTemporaryDir>

#include "engine/settings/Settings.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/widgets/PictureBox.h"

// A started main window with its settings in a temporary folder.
struct BenchWindow {
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> form;

    BenchWindow(const QString& text, const QString& size) {
        const QString file = engine::settings::settingsFileFor(dir.path());
        form = std::make_unique<MainWindow>(engine::settings::startUp(file), file);
        form->findChild<QLineEdit*>("textEdit")->setText(text);
        form->chooseFont(form->settings().fontFamily, size.toFloat());
    }
    const PictureBox& result() const { return *form->findChild<PictureBox*>("resultView"); }
};

// A 100-character line of mixed Japanese and Latin text.
inline QString mixedLine() {
    const QString piece = QStringLiteral("切り文字Cut");
    QString text;
    while (text.size() < 100)
        text += piece;
    return text.left(100);
}
