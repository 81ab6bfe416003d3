#include "ui/mainwindow/MainWindow.h"

#include <QFileInfo>
#include <QLabel>

#include "engine/files/AtomicFile.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/MessageBox.h"
#include "ui/mainwindow/SaveTarget.h"

namespace {

QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

} // namespace

void MainWindow::saveImage() {
    ui::FileDialogRequest request;
    request.owner = this;
    request.kind = ui::FileDialogRequest::Kind::Save;
    request.title = QStringLiteral("ファイルの保存");
    request.filters = saveFilters();
    request.askBeforeCreating = true;
    request.folder = m_lastFolder;
    const ui::FileDialogResult chosen = ui::runFileDialog(request);
    const QString name = trimSpaces(chosen.path);
    if (name.isEmpty())
        return;
    const SaveTarget target = decideSaveTarget(name, chosen.filterIndex);
    const TargetStatus status = checkSaveTarget(this, target.fileName);
    if (status == TargetStatus::Failed)
        return;
    rememberFolderOf(name);
    if (status == TargetStatus::Exists &&
        ui::messageBox(this, QStringLiteral("上書きしますか？\r\n") + target.fileName,
                       QStringLiteral("上書き確認"), ui::MsgIcon::Question, ui::MsgButtons::YesNo,
                       true) != ui::MsgResult::Yes)
        return;
    m_status.saving();
    showStatus();
    QByteArray data;
    QString why;
    const engine::codecs::EncodeOptions options{
        m_settings.jpegRate, m_settings.jpegProgressive, m_settings.pngLevel};
    // A transparent ground, where it is chosen, goes into a PNG of the letters drawn.
    const bool transparent =
        target.format == engine::codecs::ImageFormat::Png && m_settings.transparent && m_drawn;
    const bool encoded =
        transparent ? !(data = resultPng(true, &why)).isEmpty()
                    : engine::codecs::encode(*m_result, target.format,
                                             options, data, &why);
    if (!encoded || !engine::files::writeFileAtomically(target.fileName, data, &why)) {
        m_status.failed(target.fileName, why);
        showStatus();
        ui::messageBox(this, target.fileName + "\r\n" + why, QStringLiteral("保存エラー"),
                       ui::MsgIcon::Stop);
        return;
    }
    m_status.saved(target.fileName);
    showStatus();
}
