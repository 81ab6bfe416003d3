#include "clsDialog.h"

#include <QStringList>

#include "engine/settings/basFunc.h"
#include "ui/dialogs/CommonDialogs.h"

namespace {

ui::FileDialogRequest request(const clsDialog& d, QWidget* hwnd, bool save) {
    ui::FileDialogRequest r;
    r.owner = hwnd;
    r.title = d.SelectTitle;
    r.flags = static_cast<std::int32_t>(d.SelectFlags.trimmed().toLong());
    r.initialFolder = d.DefaultFolder;
    r.save = save;
    const QStringList items = d.FilterPattern.split(QChar(0));
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        if (items[i].isEmpty() && items[i + 1].isEmpty())
            break;
        r.filters.emplace_back(items[i], items[i + 1]);
    }
    return r;
}

} // namespace

QString clsDialog::OpenFile(QWidget* hwnd) {
    return CutAtNull(ui::runFileDialog(request(*this, hwnd, false)).path);
}

QString clsDialog::SaveFile(QWidget* hwnd) {
    const ui::FileDialogResult result = ui::runFileDialog(request(*this, hwnd, true));
    FilterIndex = result.path.isEmpty() ? 0 : result.filterIndex;
    return CutAtNull(result.path);
}

std::int32_t clsDialog::ColorCode(QWidget* hwnd) {
    engine::image::COLORREF color = static_cast<engine::image::COLORREF>(SelectColor);
    if (!ui::runColorDialog(hwnd, color))
        return 0;
    SelectColor = static_cast<std::int32_t>(color);
    return -1;
}
