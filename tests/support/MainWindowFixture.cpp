#include "MainWindowFixture.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

#include "engine/text/TextDrawing.h"

void MainWindowFixture::start() {
    const QString file = engine::settings::settingsFileFor(dir.path());
    form = std::make_unique<MainWindow>(engine::settings::startUp(file), file);
    form->show();
    // The font list is filled once the window has been painted.
    auto* faces = child<QListWidget>("faceList");
    ASSERT_TRUE(QTest::qWaitFor([faces] { return faces->count() > 0; }, 60000));
}

void MainWindowFixture::TearDown() {
    form.reset();
}

void MainWindowFixture::settle(const std::function<void()>& action) {
    QSignalSpy settled(form.get(), &MainWindow::patternSettled);
    action();
    if (settled.isEmpty()) {
        ASSERT_TRUE(settled.wait(60000)) << "no pattern settled";
    }
    ASSERT_EQ(settled.size(), 1);
}

void MainWindowFixture::clickListEntry(const char* name, const QString& text) {
    auto* list = child<QListWidget>(name);
    auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty()) << text.toStdString();
    list->setCurrentItem(items.first());
}

void MainWindowFixture::chooseFont(const QString& face, double size, bool italic, bool bold) {
    settings().italic = italic;
    settings().bold = bold;
    form->chooseFont(face, static_cast<float>(size));
}

QImage maskOf(const QString& text, const engine::text::FontSpec& font) {
    const engine::image::Image cover = engine::text::coverage(text, font, false);
    QImage mask(cover.width(), cover.height(), QImage::Format_RGB32);
    for (int y = 0; y < cover.height(); ++y)
        for (int x = 0; x < cover.width(); ++x)
            mask.setPixel(x, y, cover.constScanLine(y)[x] ? 0xFFFFFFFFu : 0xFF000000u);
    return mask;
}
