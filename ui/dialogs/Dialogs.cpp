#include "Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTranslator>
#include <QTreeView>

#include "ui/dialogs/MessageBox.h"

namespace ui {
namespace {

QString qtFilter(const FileFilter& filter) {
    QString patterns = filter.patterns;
    patterns.replace(QChar(';'), QChar(' '));
    return filter.description + " (" + patterns + ")";
}

// A file dialog that, like the Windows one, can ask before naming a new file and
// leaves the typed name alone when another file type is picked.
class FileDialog : public QFileDialog {
  public:
    FileDialog(QWidget* owner, bool askBeforeCreating)
        : QFileDialog(owner), m_askBeforeCreating(askBeforeCreating) {
        setOption(QFileDialog::DontUseNativeDialog);
        keepNameOnFilterPick();
        showReadableColumns();
    }

    void accept() override {
        const QStringList files = selectedFiles();
        if (m_askBeforeCreating && !files.isEmpty() && !QFileInfo::exists(files.first())) {
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

    // Name, size and date wide enough to read; the kind, which Qt names in
    // English only, shows in the icon.
    void showReadableColumns() {
        auto* view = findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!view)
            return;
        view->setColumnHidden(2, true);
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column : {1, 3})
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }

    bool m_askBeforeCreating;
};

} // namespace

FileDialogResult runFileDialog(const FileDialogRequest& request) {
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    FileDialog dialog(request.owner, request.askBeforeCreating);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(640, 400)));
    dialog.setWindowTitle(request.title.isEmpty() ? (save ? QStringLiteral("名前を付けて保存")
                                                          : QStringLiteral("ファイルを開く"))
                                                  : request.title);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                      QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && request.mustExist ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& f : request.filters)
        filters.append(qtFilter(f));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("場所:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("ファイルの種類:"));
    dialog.setLabelText(QFileDialog::Accept,
                        save ? QStringLiteral("保存(&S)") : QStringLiteral("開く(&O)"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (request.owner)
        request.owner->activateWindow();
    if (!accepted)
        return {};
    // With the details hidden the dialog may report the description alone.
    const QString chosen = dialog.selectedNameFilter();
    int index = 0;
    for (size_t i = 0; i < request.filters.size() && index == 0; ++i) {
        if (chosen == filters[static_cast<qsizetype>(i)] ||
            chosen == request.filters[i].description)
            index = static_cast<int>(i + 1);
    }
    return {dialog.selectedFiles().first(), index};
}

bool runColorDialog(QWidget* owner, COLORREF& color) {
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::white);
    QColorDialog dialog(toQColor(color & 0x00FFFFFFu), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("色の設定"));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (owner)
        owner->activateWindow();
    if (!accepted)
        return false;
    color = toColorRef(dialog.selectedColor());
    return true;
}

void installJapaneseTranslations() {
    // Qt's own dialogs, and the engine's messages (written in English).
    // Qt's own come from Qt's folder, or (on Windows) from inside the program.
    for (const auto& [name, folder] :
         {std::pair{QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)},
          std::pair{QStringLiteral("qtbase"), QStringLiteral(":/i18n")},
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
