#include "frmJPEG.h"

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "engine/settings/Ranges.h"
#include "engine/settings/Settings.h"
#include "ui/widgets/PushButton.h"

namespace {

constexpr int TwipsPerPixel = 15;

// Places a control by its geometry in twips and hands it back.
template <typename W> W* placed(W* w, int left, int top, int width, int height) {
    w->setGeometry(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
                   height / TwipsPerPixel);
    return w;
}

QScrollBar* makeScrollBar(QWidget* parent, int minimum, int maximum) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(1);
    bar->setTracking(false); // the display follows on release, not while dragging
    // Qt's scroll bars take no focus by default; these are tab stops of the window.
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

} // namespace

namespace {

// The table is its own inverse: 0 and 1 change places, 2 stays.
int swapZeroAndOne(int v) {
    return v == 2 ? 2 : 1 - v;
}

} // namespace

using engine::settings::JpegRate;
using engine::settings::PngLevel;

std::int16_t PngRateFromPosition(int position, std::int16_t current) {
    if (!PngLevel.contains(position))
        return current;
    return static_cast<std::int16_t>(swapZeroAndOne(position));
}

int PngPositionFromRate(std::int16_t rate) {
    return PngLevel.contains(rate) ? swapZeroAndOne(rate) : 1;
}

frmJPEG::frmJPEG(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("保存オプション"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmora16.xpm")));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    setFixedSize(4680 / TwipsPerPixel, 2625 / TwipsPerPixel);
    createControls();
    for (std::int16_t i = 0; i < 2; ++i) {
        connect(ASCR[i], &QScrollBar::valueChanged, this, [this, i] { ASCR_Change(i); });
        connect(BTN[i], &QPushButton::clicked, this, [this, i] { BTN_Click(i); });
    }
}

void frmJPEG::createControls() {
    BoxLine[0] = placed(new QGroupBox(QStringLiteral("JPEG"), this), 120, 120, 4455, 1095);
    LBL[0] = placed(new QLabel(QStringLiteral("圧縮率"), BoxLine[0]), 120, 280, 1575, 255);
    DSP[0] = placed(new QLabel(QStringLiteral("1"), BoxLine[0]), 1800, 240, 495, 255);
    ASCR[0] = placed(makeScrollBar(BoxLine[0], JpegRate.low, JpegRate.high), 2280, 240, 2055, 255);
    LBL[1] =
        placed(new QLabel(QStringLiteral("プログレッシブタイプ"), BoxLine[0]), 120, 640, 1575, 255);
    CHK = placed(new QCheckBox(QStringLiteral("保存する"), BoxLine[0]), 1800, 600, 1695, 255);

    BoxLine[1] = placed(new QGroupBox(QStringLiteral("PNG"), this), 120, 1320, 4455, 735);
    LBL[2] = placed(new QLabel(QStringLiteral("圧縮率"), BoxLine[1]), 0, 280, 1575, 255);
    DSP[1] = placed(new QLabel(QStringLiteral("1"), BoxLine[1]), 1800, 240, 495, 255);
    ASCR[1] = placed(makeScrollBar(BoxLine[1], PngLevel.low, PngLevel.high), 2280, 240, 2055, 255);

    BTN[0] = placed(new PushButton(QStringLiteral("保存"), this), 120, 2160, 1335, 375);
    BTN[1] = placed(new PushButton(QStringLiteral("閉じる"), this), 3240, 2160, 1335, 375);
    for (QLabel* d : DSP)
        d->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTabOrder(BTN[0], BTN[1]);
    setTabOrder(BTN[1], ASCR[0]);
    setTabOrder(ASCR[0], CHK);
    setTabOrder(CHK, ASCR[1]);
    BTN[0]->setFocus();
}

void frmJPEG::Form_Load() {
    // A hand-edited rate the scroll bar cannot show is shown at the nearest end.
    ASCR[0]->setValue(std::clamp<int>(gJpegRate, JpegRate.low, JpegRate.high));
    CHK->setChecked(gJpegPrgrs != 0);
    if (PngLevel.contains(gPngRate))
        ASCR[1]->setValue(PngPositionFromRate(gPngRate));
}

void frmJPEG::ASCR_Change(std::int16_t Index) {
    if (Index == 0 || Index == 1)
        DSP[Index]->setText(QString::number(ASCR[Index]->value()));
}

void frmJPEG::BTN_Click(std::int16_t Index) {
    if (Index == 0) {
        gJpegRate = static_cast<std::int16_t>(ASCR[0]->value());
        gJpegPrgrs = CHK->isChecked() ? -1 : 0;
        gPngRate = PngRateFromPosition(ASCR[1]->value(), gPngRate);
        SaveSettings();
    }
    close();
}

void frmJPEG::keyPressEvent(QKeyEvent* event) {
    // No button is the cancel button: Escape does not close the window.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
