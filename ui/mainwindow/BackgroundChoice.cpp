#include "ui/mainwindow/MainWindow.h"

#include <utility>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QThreadPool>

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
    showPattern(std::make_shared<const engine::image::Image>(
        engine::cut::holderPattern(std::move(picture))));
}

void MainWindow::showPattern(std::shared_ptr<const engine::image::Image> pattern) {
    // The view shows the pattern's own pixels, no copy of them; the previous
    // pattern stays until the view has let it go.
    const auto previous = std::exchange(m_pattern, std::move(pattern));
    m_patternView->setImage(ui::viewOf(*m_pattern));
    m_patternView->repaint();
}

void MainWindow::dropPatternFiles(const QStringList& paths) {
    QStringList accepted;
    for (const QString& path : paths)
        if (droppable(path, m_settings.acceptGif))
            accepted.append(path);
    loadPatternAside(accepted);
}

void MainWindow::loadPatternAside(const QStringList& paths) {
    if (paths.isEmpty()) {
        emit patternSettled();
        return;
    }
    const quint64 load = ++m_patternLoads;
    if (load == 1 || !m_statusLabel->text().startsWith(QStringLiteral("読み込み中")))
        m_statusBeforeLoading =
            m_statusLabel->toolTip().isEmpty() ? m_statusLabel->text() : m_statusLabel->toolTip();
    setStatus(QStringLiteral("読み込み中 ") + QFileInfo(paths.first()).fileName());
    QThreadPool::globalInstance()->start([window = QPointer<MainWindow>(this), load, paths] {
        std::shared_ptr<const engine::image::Image> pattern;
        QString failed, why;
        for (const QString& path : paths) {
            engine::image::Image picture;
            if (engine::codecs::loadPattern(path, picture, &why)) {
                pattern = std::make_shared<const engine::image::Image>(
                    engine::cut::holderPattern(std::move(picture)));
                break;
            }
            failed = path;
        }
        QMetaObject::invokeMethod(
            qApp,
            [window, load, pattern = std::move(pattern), failed, why] {
                if (window)
                    window->patternLoaded(load, pattern, failed, why);
            },
            Qt::QueuedConnection);
    });
}

void MainWindow::patternLoaded(quint64 load, std::shared_ptr<const engine::image::Image> pattern,
                               const QString& failed, const QString& why) {
    if (load != m_patternLoads) // a later choice or drop decides
        return;
    if (pattern) {
        showPattern(std::move(pattern));
        setStatus(m_statusBeforeLoading);
    } else {
        setStatus(unreadable(failed, why));
    }
    emit patternSettled();
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
    if (!path.isEmpty())
        rememberFolderOf(path);
    loadPatternAside(path.isEmpty() ? QStringList() : QStringList{path});
}

void MainWindow::chooseColor() {
    // Each time the dialog starts from black, with no colour of its own chosen.
    engine::image::COLORREF color = 0;
    if (!ui::runColorDialog(this, color))
        return;
    m_colorSwatch->setBackColor(color);
    m_settings.groundColor = static_cast<std::int32_t>(color);
}
