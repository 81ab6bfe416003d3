#include "CommonDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTranslator>

#include "ui/dialogs/MessageBox.h"

namespace ui {
namespace {

QString qtFilter(const std::pair<QString, QString>& filter) {
    QString patterns = filter.second;
    patterns.replace(QChar(';'), QChar(' '));
    return filter.first + " (" + patterns + ")";
}

// A file dialog that, like the Windows one, can ask before naming a new file and
// leaves the typed name alone when another file type is picked.
class FileDialog : public QFileDialog {
  public:
    FileDialog(QWidget* owner, std::int32_t flags) : QFileDialog(owner), m_flags(flags) {
        setOption(QFileDialog::DontUseNativeDialog);
        keepNameOnFilterPick();
    }

    void accept() override {
        const QStringList files = selectedFiles();
        if ((m_flags & OFN_CREATEPROMPT) && !files.isEmpty() && !QFileInfo::exists(files.first())) {
            const QString text = QFileInfo(files.first()).fileName() +
                                 QStringLiteral(" は存在しません。\r\nファイルを作成しますか?");
            if (messageBox(this, text, windowTitle(), MsgIcon::Exclamation, MsgButtons::YesNo,
                           true) != MsgResult::Yes)
                return;
        }
        QFileDialog::accept();
    }

  private:
    // Qt's save dialog swaps the name's extension for the picked filter's; the
    // caller decides from the name as typed and the filter together.
    void keepNameOnFilterPick() {
        auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!types || !name)
            return;
        disconnect(types, &QComboBox::activated, this, nullptr);
        connect(types, &QComboBox::activated, this, [this, name](int index) {
            const QString typed = name->text();
            selectNameFilter(nameFilters().value(index));
            if (name->text() != typed)
                name->setText(typed);
        });
    }

    std::int32_t m_flags;
};

} // namespace

FileDialogResult runFileDialog(const FileDialogRequest& request) {
    FileDialog dialog(request.owner, request.flags);
    dialog.setWindowTitle(
        request.title.isEmpty()
            ? (request.save ? QStringLiteral("名前を付けて保存") : QStringLiteral("ファイルを開く"))
            : request.title);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                      QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!request.save && (request.flags & OFN_FILEMUSTEXIST)
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& f : request.filters)
        filters.append(qtFilter(f));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("場所:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("ファイルの種類:"));
    dialog.setLabelText(QFileDialog::Accept,
                        request.save ? QStringLiteral("保存(&S)") : QStringLiteral("開く(&O)"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // With the details hidden the dialog may report the description alone.
    const QString chosen = dialog.selectedNameFilter();
    std::int32_t index = 0;
    for (size_t i = 0; i < request.filters.size() && index == 0; ++i) {
        if (chosen == filters[static_cast<qsizetype>(i)] || chosen == request.filters[i].first)
            index = static_cast<std::int32_t>(i + 1);
    }
    return {dialog.selectedFiles().first(), index};
}

bool runColorDialog(QWidget* owner, COLORREF& color) {
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::white);
    QColorDialog dialog(toQColor(color & 0x00FFFFFFu), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("色の設定"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    color = toColorRef(dialog.selectedColor());
    return true;
}

void installJapaneseTranslations() {
    // Qt's own dialogs, and the engine's messages (written in English).
    for (const auto& [name, folder] :
         {std::pair{QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)},
          std::pair{QStringLiteral("velmora-engine"), QStringLiteral(":/i18n")}}) {
        auto* translator = new QTranslator(qApp);
        if (translator->load(QLocale(QLocale::Japanese), name, QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

void keepDialogStateOffDisk() {
    // Where Qt's settings are files (Linux and the like): a folder below a device
    // file can never be made, so every write fails quietly and nothing old is read.
    const QString nowhere = QStringLiteral("/dev/null/velmora");
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, nowhere);
}

} // namespace ui
