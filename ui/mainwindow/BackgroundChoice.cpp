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
// the settings say 1, though the chooser offers GIF for any value but 0.
bool droppable(const QString& path, std::int16_t acceptGif) {
    const QString ext = path.right(4).toUpper();
    return ext == ".JPG" || ext == ".BMP" || ext == ".ICO" || ext == ".PNG" ||
           (ext == ".GIF" && acceptGif == 1);
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
    ++*m_latestLoad; // a pattern still being read is not wanted any more
    m_pendingPattern = {};
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
        if (droppable(path, m_settings.acceptGif))
            accepted.append(path);
    loadPatternAside(accepted);
}

void MainWindow::loadPatternAside(const QStringList& paths) {
    if (paths.isEmpty()) {
        emit patternSettled();
        return;
    }
    const quint64 load = ++*m_latestLoad;
    if (!m_pendingPattern.valid())
        m_statusBeforeLoading = status();
    m_loadingStatus = QStringLiteral("読み込み中 ") + QFileInfo(paths.first()).fileName();
    setStatus(m_loadingStatus);
    auto task = std::make_shared<std::packaged_task<PatternOutcome()>>(
        [paths, load, latest = m_latestLoad] {
            PatternOutcome outcome;
            for (const QString& path : paths) {
                if (load != *latest) // a later choice or drop decides: no need to read on
                    break;
                engine::image::Image picture;
                if (engine::codecs::loadPattern(path, picture, &outcome.why)) {
                    outcome.pattern = std::make_shared<const engine::image::Image>(
                        engine::cut::holderPattern(std::move(picture)));
                    outcome.file = path;
                    return outcome;
                }
                outcome.failed = path;
            }
            return outcome;
        });
    m_pendingPattern = task->get_future().share();
    // The window's own pool: it finishes its work before the window is gone.
    m_patternReader.start([this, task, load] {
        (*task)();
        QMetaObject::invokeMethod(this, [this, load] { adoptPattern(load); }, Qt::QueuedConnection);
    });
}

void MainWindow::adoptPattern(quint64 load) {
    if (load != *m_latestLoad || !m_pendingPattern.valid())
        return; // a later choice or drop decides, or this one was taken already
    const PatternOutcome outcome = m_pendingPattern.get();
    m_pendingPattern = {};
    // Only the status this load set is replaced; a save's or an error's stays.
    if (outcome.pattern) {
        showPattern(outcome.pattern, outcome.file);
        if (status() == m_loadingStatus)
            setStatus(m_statusBeforeLoading.startsWith(u'×') ? ProgramName : m_statusBeforeLoading);
    } else if (!outcome.failed.isEmpty()) {
        setFailure(outcome.failed, outcome.why);
    }
    emit patternSettled();
}

void MainWindow::settlePattern() {
    if (!m_pendingPattern.valid())
        return;
    m_pendingPattern.wait();
    adoptPattern(*m_latestLoad);
}

void MainWindow::choosePattern() {
    ui::FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("背景の画像");
    request.filters = {{QStringLiteral("画像ファイル"),
                        m_settings.acceptGif != 0
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
    showColor(color);
    m_settings.groundColor = static_cast<std::int32_t>(color);
}
