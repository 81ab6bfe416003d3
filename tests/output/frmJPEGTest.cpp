#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include "app/Settings.h"
#include "output/frmJPEG.h"
#include "support/TestSupport.h"

namespace {

class Options : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    void SetUp() override {
        LoadSettings(dir.path());
        SaveSettings();
    }
    std::unique_ptr<frmJPEG> open() {
        auto form = std::make_unique<frmJPEG>(nullptr);
        form->Form_Load();
        form->show();
        return form;
    }
};

} // namespace

TEST_F(Options, OpensFromTheSettings) {
    auto f = open();
    EXPECT_EQ(f->windowTitle(), "保存オプション");
    EXPECT_EQ(f->size(), QSize(312, 175));
    EXPECT_EQ(f->ASCR[0]->value(), 50);
    EXPECT_EQ(f->DSP[0]->text(), "50");
    EXPECT_FALSE(f->CHK->isChecked());
    EXPECT_EQ(f->ASCR[1]->value(), 0);
    EXPECT_EQ(f->DSP[1]->text(), "0");
    EXPECT_EQ(f->BTN[0]->geometry(), QRect(8, 144, 89, 25));
    EXPECT_EQ(f->ASCR[0]->geometry(), QRect(152, 16, 137, 17));
    EXPECT_EQ(f->ASCR[0]->parentWidget(), static_cast<QWidget*>(f->BoxLine[0]));
    EXPECT_FALSE(f->BTN[0]->isDefault());
    EXPECT_EQ(f->focusWidget(), f->BTN[0]);

    gJpegRate = 1;
    gPngRate = 0;
    gJpegPrgrs = 1;
    f = open();
    EXPECT_EQ(f->DSP[0]->text(), "1");
    EXPECT_EQ(f->DSP[1]->text(), "1");
    EXPECT_EQ(f->ASCR[1]->value(), 1);
    EXPECT_TRUE(f->CHK->isChecked());

    gJpegRate = 300;
    gPngRate = 9;
    f = open();
    EXPECT_EQ(f->ASCR[0]->value(), 100);
    EXPECT_EQ(f->DSP[0]->text(), "100");
    EXPECT_EQ(f->ASCR[1]->value(), 1);
}

TEST_F(Options, SaveStoresAndWritesCloseDiscards) {
    auto f = open();
    f->ASCR[0]->setValue(100);
    EXPECT_EQ(f->DSP[0]->text(), "100");
    f->ASCR[0]->setValue(1);
    EXPECT_EQ(f->DSP[0]->text(), "1");
    f->ASCR[1]->setValue(2);
    f->CHK->setChecked(true);
    const QByteArray before = testsupport::readAll(gIniFile);
    f->BTN[1]->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(gJpegRate, 50);
    EXPECT_EQ(testsupport::readAll(gIniFile), before);

    f = open();
    EXPECT_EQ(f->ASCR[1]->value(), 0);
    f->ASCR[0]->setValue(75);
    f->ASCR[1]->setValue(2);
    f->CHK->setChecked(true);
    f->BTN[0]->click();
    EXPECT_EQ(gJpegRate, 75);
    EXPECT_EQ(gJpegPrgrs, -1);
    EXPECT_EQ(gPngRate, 2);
    EXPECT_TRUE(testsupport::readAll(gIniFile).contains(
        "[JPEG]\r\nRate=75\r\nPrgrs=-1\r\n[PNG]\r\nRate=2\r\n"));
    EXPECT_EQ(open()->ASCR[1]->value(), 2);
}

TEST(OptionsTable, PngPositionsSwapZeroAndOne) {
    EXPECT_EQ(PngRateFromPosition(0, 5), 1);
    EXPECT_EQ(PngRateFromPosition(1, 5), 0);
    EXPECT_EQ(PngRateFromPosition(2, 5), 2);
    EXPECT_EQ(PngRateFromPosition(3, 5), 5);
    EXPECT_EQ(PngPositionFromRate(1), 0);
    EXPECT_EQ(PngPositionFromRate(0), 1);
    EXPECT_EQ(PngPositionFromRate(2), 2);
    EXPECT_EQ(PngPositionFromRate(-3), 1);
}
