#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include "engine/settings/Settings.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"
#include "ui/options/frmJPEG.h"

using testsupport::captionOf;
using testsupport::nextTabStop;
using testsupport::pixels;

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
    QWidget *jpeg = f->BoxLine[0], *png = f->BoxLine[1], *window = f.get();
    const struct {
        QWidget *control, *parent;
        QString caption;
        QRect twips; // within the parent
    } table[] = {
        {f->BoxLine[0], window, "JPEG", {120, 120, 4455, 1095}},
        {f->LBL[0], jpeg, "圧縮率", {120, 280, 1575, 255}},
        {f->DSP[0], jpeg, "50", {1800, 240, 495, 255}},
        {f->ASCR[0], jpeg, "", {2280, 240, 2055, 255}},
        {f->LBL[1], jpeg, "プログレッシブタイプ", {120, 640, 1575, 255}},
        {f->CHK, jpeg, "保存する", {1800, 600, 1695, 255}},
        {f->BoxLine[1], window, "PNG", {120, 1320, 4455, 735}},
        {f->LBL[2], png, "圧縮率", {0, 280, 1575, 255}},
        {f->DSP[1], png, "0", {1800, 240, 495, 255}},
        {f->ASCR[1], png, "", {2280, 240, 2055, 255}},
        {f->BTN[0], window, "保存", {120, 2160, 1335, 375}},
        {f->BTN[1], window, "閉じる", {3240, 2160, 1335, 375}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.caption.toStdString() + " at " + std::to_string(row.twips.x()) + "," +
                     std::to_string(row.twips.y()));
        EXPECT_EQ(captionOf(row.control), row.caption);
        EXPECT_EQ(row.control->parentWidget(), row.parent);
        EXPECT_EQ(row.control->geometry(), pixels(row.twips));
    }
    EXPECT_EQ(f->ASCR[0]->value(), 50);
    EXPECT_FALSE(f->CHK->isChecked());
    EXPECT_EQ(f->ASCR[1]->value(), 0);
    EXPECT_FALSE(f->BTN[0]->isDefault());
    EXPECT_EQ(f->focusWidget(), f->BTN[0]);
    const QWidget* order[] = {f->BTN[0], f->BTN[1], f->ASCR[0], f->CHK, f->ASCR[1], f->BTN[0]};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << "after tab stop " << i;

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
