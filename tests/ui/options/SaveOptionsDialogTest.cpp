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
#include "ui/options/SaveOptionsDialog.h"

using testsupport::captionOf;
using testsupport::nextTabStop;

namespace {

class Options : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("Velmora.Ini");
    engine::settings::Settings settings = engine::settings::startUp(ini);

    std::unique_ptr<SaveOptionsDialog> open() {
        auto form = std::make_unique<SaveOptionsDialog>(settings, ini, nullptr);
        form->show();
        return form;
    }
};

// The window's control of that object name; fails the test if it is missing.
template <typename W = QWidget>
W* in(const std::unique_ptr<SaveOptionsDialog>& f, const char* name) {
    W* found = f->findChild<W*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace

TEST_F(Options, OpensFromTheSettings) {
    auto f = open();
    EXPECT_EQ(f->windowTitle(), "保存オプション");
    EXPECT_EQ(f->size(), QSize(312, 241));
    // The frames hold their controls; nothing else overlaps, and every caption is whole.
    const struct {
        const char *name, *parent;
        QString caption;
    } table[] = {
        {"jpegGroup", "", "JPEG"},
        {"jpegRateCaption", "jpegGroup", "圧縮率"},
        {"jpegRateLabel", "jpegGroup", "50"},
        {"jpegRateBar", "jpegGroup", ""},
        {"progressiveCaption", "jpegGroup", "プログレッシブタイプ"},
        {"progressiveBox", "jpegGroup", "保存する"},
        {"pngGroup", "", "PNG"},
        {"pngLevelCaption", "pngGroup", "圧縮率"},
        {"pngLevelLabel", "pngGroup", "0"},
        {"pngLevelBar", "pngGroup", ""},
        {"saveButton", "", "保存"},
        {"closeButton", "", "閉じる"},
        {"looksGroup", "", "切り文字"},
        {"smoothBox", "looksGroup", "文字の輪郭をなめらかにする"},
        {"transparentBox", "looksGroup", "背景を透明にする (PNG・SVG・PDF)"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QWidget* control = in(f, row.name);
        EXPECT_EQ(captionOf(control), row.caption);
        EXPECT_EQ(control->parentWidget()->objectName(), row.parent);
        EXPECT_TRUE(control->isVisible());
    }
    EXPECT_EQ(testsupport::layoutFaults(f.get()).join("; ").toStdString(), "");
    EXPECT_EQ(testsupport::clippedCaptions(f.get()).join("; ").toStdString(), "");
    auto* rate = in<QScrollBar>(f, "jpegRateBar");
    auto* level = in<QScrollBar>(f, "pngLevelBar");
    auto* progressive = in<QCheckBox>(f, "progressiveBox");
    auto* save = in<QPushButton>(f, "saveButton");
    EXPECT_EQ(rate->value(), 50);
    EXPECT_FALSE(progressive->isChecked());
    EXPECT_EQ(level->value(), 0);
    EXPECT_FALSE(save->isDefault());
    EXPECT_EQ(f->focusWidget(), save);
    const char* order[] = {"saveButton",  "closeButton", "jpegRateBar",    "progressiveBox",
                           "pngLevelBar", "smoothBox",   "transparentBox", "saveButton"};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(nextTabStop(in(f, order[i])), in(f, order[i + 1])) << "after " << order[i];
    // What each PNG position does is told where the numbers are: position 0
    // stores the fastest level, 1 the balanced one, 2 the smallest files.
    const QStringList tips = level->toolTip().split('\n');
    ASSERT_EQ(tips.size(), 3);
    for (const auto& [position, says] : {std::pair{0, "速さ"}, {1, "標準"}, {2, "小さ"}}) {
        EXPECT_TRUE(tips[position].startsWith(QString::number(position) + ":")) << position;
        EXPECT_TRUE(tips[position].contains(QString::fromUtf8(says))) << position;
    }

    settings.jpegRate = 1;
    settings.pngLevel = 0;
    settings.jpegProgressive = true;
    f = open();
    EXPECT_EQ(in<QLabel>(f, "jpegRateLabel")->text(), "1");
    EXPECT_EQ(in<QLabel>(f, "pngLevelLabel")->text(), "1");
    EXPECT_EQ(in<QScrollBar>(f, "pngLevelBar")->value(), 1);
    EXPECT_TRUE(in<QCheckBox>(f, "progressiveBox")->isChecked());

    settings.jpegRate = 300;
    settings.pngLevel = 9;
    f = open();
    EXPECT_EQ(in<QScrollBar>(f, "jpegRateBar")->value(), 100);
    EXPECT_EQ(in<QLabel>(f, "jpegRateLabel")->text(), "100");
    EXPECT_EQ(in<QScrollBar>(f, "pngLevelBar")->value(), 1);
}

TEST_F(Options, SaveStoresAndWritesCloseDiscards) {
    auto f = open();
    in<QScrollBar>(f, "jpegRateBar")->setValue(100);
    EXPECT_EQ(in<QLabel>(f, "jpegRateLabel")->text(), "100");
    in<QScrollBar>(f, "jpegRateBar")->setValue(1);
    EXPECT_EQ(in<QLabel>(f, "jpegRateLabel")->text(), "1");
    in<QScrollBar>(f, "pngLevelBar")->setValue(2);
    in<QCheckBox>(f, "progressiveBox")->setChecked(true);
    const QByteArray before = testsupport::readAll(ini);
    in<QPushButton>(f, "closeButton")->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(settings.jpegRate, 50);
    EXPECT_EQ(testsupport::readAll(ini), before);

    f = open();
    EXPECT_EQ(in<QScrollBar>(f, "pngLevelBar")->value(), 0);
    in<QScrollBar>(f, "jpegRateBar")->setValue(75);
    in<QScrollBar>(f, "pngLevelBar")->setValue(2);
    in<QCheckBox>(f, "progressiveBox")->setChecked(true);
    in<QPushButton>(f, "saveButton")->click();
    EXPECT_EQ(settings.jpegRate, 75);
    EXPECT_TRUE(settings.jpegProgressive);
    EXPECT_EQ(settings.pngLevel, 2);
    EXPECT_TRUE(
        testsupport::readAll(ini).contains("[JPEG]\r\nRate=75\r\nPrgrs=-1\r\n[PNG]\r\nRate=2\r\n"));
    EXPECT_EQ(in<QScrollBar>(open(), "pngLevelBar")->value(), 2);
}

TEST(OptionsTable, PngPositionsSwapZeroAndOne) {
    EXPECT_EQ(pngLevelFromPosition(0, 5), 1);
    EXPECT_EQ(pngLevelFromPosition(1, 5), 0);
    EXPECT_EQ(pngLevelFromPosition(2, 5), 2);
    EXPECT_EQ(pngLevelFromPosition(3, 5), 5);
    EXPECT_EQ(pngPositionFromLevel(1), 0);
    EXPECT_EQ(pngPositionFromLevel(0), 1);
    EXPECT_EQ(pngPositionFromLevel(2), 2);
    EXPECT_EQ(pngPositionFromLevel(-3), 1);
}
