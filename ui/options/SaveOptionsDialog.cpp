#include "SaveOptionsDialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include "engine/settings/Ranges.h"
#include "ui/widgets/ClassicFont.h"
#include "ui/widgets/ClassicLayout.h"
#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/PushButton.h"

using engine::settings::JpegRate;
using engine::settings::PngLevel;
using ui::named;

namespace {

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

QLabel* makeDisplay(QWidget* parent, const char* name) {
    auto* label = named(new QLabel(QStringLiteral("1"), parent), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// A frame whose title sits on its top line, as on Windows, so that the
// controls placed just below the title lie inside the frame.
class Frame : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QFontMetrics metrics(font());
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, metrics.height() / 2, -1, -1));
        const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        p.fillRect(caption, palette().color(QPalette::Window));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(caption, Qt::AlignCenter, title());
    }
};

// The table is its own inverse: 0 and 1 change places, 2 stays.
int swapZeroAndOne(int v) {
    return v == 2 ? 2 : 1 - v;
}

} // namespace

int pngLevelFromPosition(int position, int current) {
    if (!PngLevel.contains(position))
        return current;
    return swapZeroAndOne(position);
}

int pngPositionFromLevel(int level) {
    return PngLevel.contains(level) ? swapZeroAndOne(level) : 1;
}

SaveOptionsDialog::SaveOptionsDialog(engine::settings::Settings& settings, QString settingsFile,
                                     QWidget* owner)
    : QDialog(owner), m_settings(settings), m_settingsFile(std::move(settingsFile)) {
    setWindowTitle(QStringLiteral("保存オプション"));
    setWindowIcon(ui::programIcon(16));
    setFont(ui::classicFont());
    setFixedSize(ui::fromTwips(QSize(4680, 3615)));
    setModal(true);
    createControls();
    connect(m_jpegRateBar, &QScrollBar::valueChanged, m_jpegRateLabel,
            qOverload<int>(&QLabel::setNum));
    connect(m_pngLevelBar, &QScrollBar::valueChanged, m_pngLevelLabel,
            qOverload<int>(&QLabel::setNum));
    connect(m_saveButton, &QPushButton::clicked, this, &SaveOptionsDialog::save);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
    // A hand-edited rate the scroll bar cannot show is shown at the nearest end.
    m_jpegRateBar->setValue(std::clamp<int>(m_settings.jpegRate, JpegRate.low, JpegRate.high));
    m_progressiveBox->setChecked(m_settings.jpegProgressive);
    m_smoothBox->setChecked(m_settings.smooth);
    m_transparentBox->setChecked(m_settings.transparent);
    if (PngLevel.contains(m_settings.pngLevel))
        m_pngLevelBar->setValue(pngPositionFromLevel(m_settings.pngLevel));
}

void SaveOptionsDialog::createControls() {
    m_jpegGroup = named(new Frame(QStringLiteral("JPEG"), this), "jpegGroup");
    m_jpegRateCaption = named(new QLabel(QStringLiteral("圧縮率"), m_jpegGroup), "jpegRateCaption");
    m_jpegRateLabel = makeDisplay(m_jpegGroup, "jpegRateLabel");
    m_jpegRateBar = named(makeScrollBar(m_jpegGroup, JpegRate.low, JpegRate.high), "jpegRateBar");
    m_progressiveCaption = named(new QLabel(QStringLiteral("プログレッシブタイプ"), m_jpegGroup),
                                 "progressiveCaption");
    m_progressiveBox = named(new QCheckBox(QStringLiteral("保存する"), m_jpegGroup), "progressiveBox");
    m_pngGroup = named(new Frame(QStringLiteral("PNG"), this), "pngGroup");
    m_pngLevelCaption = named(new QLabel(QStringLiteral("圧縮率"), m_pngGroup), "pngLevelCaption");
    m_pngLevelLabel = makeDisplay(m_pngGroup, "pngLevelLabel");
    m_pngLevelBar = named(makeScrollBar(m_pngGroup, PngLevel.low, PngLevel.high), "pngLevelBar");
    m_pngLevelBar->setToolTip(
        QStringLiteral("0: 速さ優先\n1: 標準\n2: ファイルが最も小さくなります"));
    m_saveButton = named(new PushButton(QStringLiteral("保存"), this), "saveButton");
    m_closeButton = named(new PushButton(QStringLiteral("閉じる"), this), "closeButton");
    m_looksGroup = named(new Frame(QStringLiteral("切り文字"), this), "looksGroup");
    m_smoothBox =
        named(new QCheckBox(QStringLiteral("文字の輪郭をなめらかにする"), m_looksGroup), "smoothBox");
    m_transparentBox =
        named(new QCheckBox(QStringLiteral("背景を透明にする (PNG・SVG・PDF)"), m_looksGroup), "transparentBox");
    m_transparentBox->setToolTip(
        QStringLiteral("PNG・SVG・PDF で保存するときとコピーするとき、背景の色を透明にします"));

    // The classic window, and below it the looks velmora-cut offers too; the
    // rows run in tab order.
    // clang-format off
    ui::placeControls({
        {m_saveButton, {120, 2160, 1335, 375}},          {m_closeButton, {3240, 2160, 1335, 375}},
        {m_jpegGroup, {120, 120, 4455, 1095}},
        {m_jpegRateCaption, {120, 280, 1575, 255}},      {m_jpegRateLabel, {1800, 240, 495, 255}},
        {m_jpegRateBar, {2280, 240, 2055, 255}},
        {m_progressiveCaption, {120, 640, 1575, 255}},   {m_progressiveBox, {1800, 600, 1695, 255}},
        {m_pngGroup, {120, 1320, 4455, 735}},
        {m_pngLevelCaption, {120, 280, 1575, 255}},      {m_pngLevelLabel, {1800, 240, 495, 255}},
        {m_pngLevelBar, {2280, 240, 2055, 255}},
        {m_looksGroup, {120, 2640, 4455, 855}},
        {m_smoothBox, {120, 240, 4215, 255}},            {m_transparentBox, {120, 520, 4215, 255}},
    });
    // clang-format on
    m_jpegRateBar->setAccessibleName(QStringLiteral("JPEG の圧縮率"));
    m_progressiveBox->setAccessibleName(QStringLiteral("プログレッシブタイプで保存する"));
    m_pngLevelBar->setAccessibleName(QStringLiteral("PNG の圧縮率"));
    m_saveButton->setAccessibleDescription(QStringLiteral("設定を保存して閉じます"));
    m_closeButton->setAccessibleDescription(QStringLiteral("設定を変えずに閉じます"));
    m_saveButton->setFocus();
}

void SaveOptionsDialog::save() {
    m_settings.jpegRate = m_jpegRateBar->value();
    m_settings.jpegProgressive = m_progressiveBox->isChecked();
    m_settings.pngLevel = pngLevelFromPosition(m_pngLevelBar->value(), m_settings.pngLevel);
    m_settings.smooth = m_smoothBox->isChecked();
    m_settings.transparent = m_transparentBox->isChecked();
    engine::settings::saveSettings(m_settings, m_settingsFile);
    close();
}

void SaveOptionsDialog::keyPressEvent(QKeyEvent* event) {
    // No button is the cancel button: Escape does not close the window.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
