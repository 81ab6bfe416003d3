#include "MainWindowFixture.h"

#include <QListWidget>

#include "app/Settings.h"
#include "platform/FontEnum.h"

void MainWindowFixture::start() {
    LoadSettings(dir.path());
    SaveSettings();
    fontenum::InstallClassicFaceSubstitutes();
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
