#include "ui/mainwindow/frmMain.h"

#include <QApplication>
#include <QClipboard>

#include "ui/widgets/PictureBox.h"

void frmMain::Board_Click() {
    // setImage replaces the clipboard's whole content with the image alone.
    QApplication::clipboard()->setImage(Board->image());
}
