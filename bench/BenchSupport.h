#pragma once

#include <memory>

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include "engine/settings/Settings.h"
#include "ui/mainwindow/frmMain.h"

// A started main window with its settings in a temporary folder.
struct BenchWindow {
    QTemporaryDir dir;
    std::unique_ptr<frmMain> form;

    BenchWindow(const QString& text, const QString& size) {
        LoadSettings(dir.path());
        form = std::make_unique<frmMain>();
        form->Form_Load();
        form->FLD[0]->setText(text);
        form->DSP[1]->setText(size);
        form->ApplyFont();
    }
};

// A 100-character line of mixed Japanese and Latin text.
inline QString mixedLine() {
    const QString piece = QStringLiteral("切り文字Cut");
    QString text;
    while (text.size() < 100)
        text += piece;
    return text.left(100);
}
