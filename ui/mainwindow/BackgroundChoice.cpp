#include "ui/mainwindow/MainWindow.h"

#include <utility>

#include <QFileInfo>
#include <QLabel>

#include "engine/codecs/Codecs.h"
#include "engine/cut/Render.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/widgets/ImageBridge.h"
#include "ui/widgets/PictureBox.h"

namespace {

// The kinds a drop takes, by the name's last four characters; GIF only where
// the settings say 1, though the chooser offers GIF for any value but 0.
bool droppable(const QString& path, std::int16_t acceptGif) {
    const QString ext = path.right(4).toUpper();
    return ext == ".JPG" || ext == ".BMP" || ext == ".ICO" || ext == ".PNG" ||
           (ext == ".GIF" && acceptGif == 1);
}

QString unreadable(const QString& path, const QString& why) {
    return QStringLiteral("×%1: %2").arg(QFileInfo(path).fileName(), why);
}

} // namespace

bool MainWindow::loadPattern(const QString& path, QString* why) {
    engine::image::Image picture;
    if (!engine::codecs::loadPattern(path, picture, why))
        return false;
    setPattern(std::move(picture));
    return true;
}

void MainWindow::setPattern(engine::image::Image picture) {
    // The view shows the pattern's own pixels, no copy of them; the previous
    // pattern stays until the view has let it go.
    const auto previous = std::exchange(m_pattern, std::make_shared<const engine::image::Image>(
                                                       engine::cut::holderPattern(std::move(picture))));
    m_patternView->setImage(ui::viewOf(*m_pattern));
    m_patternView->repaint();
}

void MainWindow::dropPatternFiles(const QStringList& paths) {
    QString why, failed;
    for (const QString& path : paths) {
        if (!droppable(path, m_settings.acceptGif))
            continue;
        if (loadPattern(path, &why))
            return;
        failed = path;
    }
    if (!failed.isEmpty())
        setStatus(unreadable(failed, why));
}

void MainWindow::choosePattern() {
    ui::FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("背景の画像");
    request.filters = {{QStringLiteral("画像ファイル"),
                        m_settings.acceptGif != 0 ? QStringLiteral("*.bmp;*.gif;*.ico;*.jpg;*.png")
                                                  : QStringLiteral("*.bmp;*.ico;*.jpg;*.png")}};
    request.mustExist = true;
    request.folder = m_lastFolder;
    const QString path = ui::runFileDialog(request).path;
    if (path.isEmpty())
        return;
    rememberFolderOf(path);
    QString why;
    if (!loadPattern(path, &why))
        setStatus(unreadable(path, why));
}

void MainWindow::chooseColor() {
    // Each time the dialog starts from black, with no colour of its own chosen.
    engine::image::COLORREF color = 0;
    if (!ui::runColorDialog(this, color))
        return;
    m_colorSwatch->setBackColor(color);
    m_settings.groundColor = static_cast<std::int32_t>(color);
}
