#include "MainWindowFixture.h"

#include <QListWidget>

#include "engine/settings/Settings.h"
#include "engine/text/TextDrawing.h"
#include "ui/widgets/DrawingFont.h"

void MainWindowFixture::start() {
    LoadSettings(dir.path());
    SaveSettings();
    form = std::make_unique<frmMain>();
    form->Form_Load();
    form->show();
}

void MainWindowFixture::TearDown() {
    form.reset();
}

void MainWindowFixture::clickListEntry(std::int16_t index, const QString& text) {
    QListWidget* list = form->LST[static_cast<size_t>(index)];
    auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty()) << text.toStdString();
    list->setCurrentItem(items.first());
}

QImage maskOf(const QString& text, const QFont& font) {
    const engine::text::FontSpec spec = ui::specOf(font);
    const engine::image::Image cover = engine::text::coverage(text, spec, false);
    QImage mask(cover.width(), cover.height(), QImage::Format_RGB32);
    for (int y = 0; y < cover.height(); ++y)
        for (int x = 0; x < cover.width(); ++x)
            mask.setPixel(x, y, cover.constScanLine(y)[x] ? 0xFFFFFFFFu : 0xFF000000u);
    return mask;
}
