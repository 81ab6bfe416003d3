#include "ui/mainwindow/MainWindow.h"


#include <QFileInfo>
#include <QLabel>

#include "engine/codecs/Codecs.h"
#include "engine/cut/Render.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/widgets/ImageBridge.h"
#include "ui/widgets/PictureBox.h"

namespace {

// The kinds a drop takes, by the name's last four characters; GIF only where
// the settings let dropped ones in, though the chooser offers GIF unless
// the settings refuse them.
bool droppable(const QString& path, engine::settings::GifUse gif) {
    const QString ext = path.right(4).toUpper();
    return ext == ".JPG" || ext == ".BMP" || ext == ".ICO" || ext == ".PNG" ||
           (ext == ".GIF" && gif == engine::settings::GifUse::DroppedAndChosen);
}

} // namespace

bool MainWindow::loadPattern(const QString& path, QString* why) {
    engine::image::Image picture;
    if (!engine::codecs::loadPattern(path, picture, why))
        return false;
    setPattern(std::move(picture), path);
    return true;
}

void MainWindow::setPattern(engine::image::Image picture, const QString& file) {
    m_patternLoader.cancel(); // a pattern still being read is not wanted any more
    m_status.loaded();
    showStatus();
    showPattern(std::make_shared<const engine::image::Image>(
                    engine::cut::holderPattern(std::move(picture))),
                file);
}

void MainWindow::showPattern(std::shared_ptr<const engine::image::Image> pattern,
                             const QString& file) {
    // The view shows the pattern's own pixels, no copy of them, and keeps them
    // alive for as long as it or any copy of its image needs them.
    m_pattern = std::move(pattern);
    m_patternView->setAccessibleDescription(
        file.isEmpty() ? QStringLiteral("格子柄 (組み込みの絵)") : QFileInfo(file).fileName());
    m_patternView->setImage(ui::viewOf(m_pattern));
    m_patternView->repaint();
}

void MainWindow::dropPatternFiles(const QStringList& paths) {
    QStringList accepted;
    for (const QString& path : paths)
        if (droppable(path, m_settings.gif))
            accepted.append(path);
    loadPatternAside(accepted);
}

void MainWindow::loadPatternAside(const QStringList& paths) {
    if (paths.isEmpty()) {
        emit patternSettled();
        return;
    }
    m_status.loading(paths.first());
    showStatus();
    m_patternLoader.load(paths);
}

void MainWindow::adoptPattern(const PatternLoader::Outcome& outcome) {
    if (outcome.pattern) {
        showPattern(outcome.pattern, outcome.file);
        m_status.loaded();
    } else if (!outcome.failed.isEmpty()) {
        m_status.loadFailed(outcome.failed, outcome.why);
    }
    showStatus();
    emit patternSettled();
}

void MainWindow::settlePattern() {
    if (const std::optional<PatternLoader::Outcome> outcome = m_patternLoader.wait())
        adoptPattern(*outcome);
}

void MainWindow::choosePattern() {
    ui::FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("背景の画像");
    request.filters = {{QStringLiteral("画像ファイル"),
                        m_settings.gif != engine::settings::GifUse::None
                            ? QStringLiteral("*.bmp;*.gif;*.ico;*.jpg;*.jpeg;*.png")
                            : QStringLiteral("*.bmp;*.ico;*.jpg;*.jpeg;*.png")},
                       {QStringLiteral("すべてのファイル (*.*)"), QStringLiteral("*")}};
    request.mustExist = true;
    request.folder = m_lastFolder;
    const QString path = ui::runFileDialog(request).path;
    if (!path.isEmpty())
        rememberFolderOf(path);
    loadPatternAside(path.isEmpty() ? QStringList() : QStringList{path});
}

void MainWindow::chooseColor() {
    // Each time the dialog starts from black, with no colour of its own chosen.
    engine::image::COLORREF color = 0;
    if (!ui::runColorDialog(this, color))
        return;
    m_settings.groundColor = color;
    showColor();
}
