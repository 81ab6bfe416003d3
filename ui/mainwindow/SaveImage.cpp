#include "ui/mainwindow/MainWindow.h"

#include <QFileInfo>
#include <QLabel>

#include "engine/cut/Drawing.h"
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

bool MainWindow::encodeResult(const engine::codecs::OutputFormat& format, QByteArray& data,
                              QString* why) const {
    // A transparent ground, where it is chosen, goes into the formats that hold one.
    const bool transparent = engine::codecs::holdsTransparency(format) && m_settings.transparent;
    if (const auto* vector = std::get_if<engine::codecs::VectorFormat>(&format)) {
        // The letters "開始" drew, as shapes.
        engine::cut::Drawing drawing;
        if (!m_drawn) {
            *why = QStringLiteral("切り文字がまだ描かれていません");
            return false;
        }
        engine::cut::Request request = *m_drawn;
        request.transparent = transparent;
        if (!engine::cut::draw(request, drawing)) {
            *why = QStringLiteral("画像を作るメモリーが足りません");
            return false;
        }
        return engine::codecs::encodeVector(drawing, *vector, m_settings.pngLevel, data, why);
    }
    if (transparent && m_drawn)
        return !(data = resultPng(true, why)).isEmpty();
    return engine::codecs::encode(*m_result, std::get<engine::codecs::ImageFormat>(format),
                                  {m_settings.jpegRate, m_settings.jpegProgressive,
                                   m_settings.pngLevel},
                                  data, why);
}

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
    if (!encodeResult(target.format, data, &why) || !engine::files::writeFileAtomically(target.fileName, data, &why)) {
        m_status.failed(target.fileName, why);
        showStatus();
        ui::messageBox(this, target.fileName + "\r\n" + why, QStringLiteral("保存エラー"),
                       ui::MsgIcon::Stop);
        return;
    }
    m_status.saved(target.fileName);
    showStatus();
}
