#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QValidator>

#include "engine/codecs/Codecs.h"

#include "engine/cut/Render.h"
#include "engine/cut/Tartan.h"
#include "engine/text/FontList.h"
#include "ui/dialogs/MessageBox.h"
#include "ui/options/SaveOptionsDialog.h"
#include "ui/widgets/ClassicFont.h"
#include "ui/widgets/ClassicLayout.h"
#include "ui/widgets/ImageBridge.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/PushButton.h"
#include "ui/widgets/ScrollView.h"

using ui::named;

namespace {

QLabel* makeDisplay(QWidget* parent, const char* name) {
    auto* label = named(new QLabel(parent), name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setIndent(2);
    return label;
}

QListWidget* makeList(QWidget* parent, const char* name) {
    auto* list = named(new QListWidget(parent), name);
    list->setSortingEnabled(false);
    list->setUniformItemSizes(true);
    // A long name is cut short with "…" rather than scrolled to: a sideways bar
    // would squeeze the list under styles with wide scroll bars.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

// Where a run's first file dialog opens: the user's pictures, else home.
QString firstFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QDir(pictures).exists() ? pictures : QDir::homePath();
}

qsizetype lineBreakIn(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' || text[i] == u'\n')
            return i;
    return -1;
}

// Cuts what an edit brought into a one-line text at its first line break, as a
// single-line Windows edit control does; what the text held before stays. The
// edit's text ends at the cursor (paste, drop, input method, setText).
void keepFirstLine(QString& text, int& cursor) {
    const qsizetype cut = lineBreakIn(text);
    if (cut < 0)
        return;
    text.remove(cut, (cursor > cut ? cursor : text.size()) - cut);
    cursor = static_cast<int>(cut);
    if (const qsizetype more = lineBreakIn(text); more >= 0)
        text.truncate(more);
}

// Every change of the text box passes here, whichever way the text arrives.
class OneLineValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        keepFirstLine(input, pos);
        return Acceptable;
    }
};

// The entry a list shows for a name, if it has one.
QListWidgetItem* entryFor(const QListWidget& list, const QString& name) {
    const QList<QListWidgetItem*> found = list.findItems(name, Qt::MatchFixedString);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

MainWindow::MainWindow(const engine::settings::Settings& settings, QString settingsFile)
    : m_settings(settings), m_settingsFile(std::move(settingsFile)), m_lastFolder(firstFolder()) {
    setWindowTitle(ProgramName);
    setWindowIcon(ui::programIcon(32));
    setFont(ui::classicFont());
    createControls();
    placeControls();
    connectActions();
    nameControls();
    fillControls();
}

MainWindow::~MainWindow() = default;

// The classic window: controls placed in twips, in their tab order. The
// window may grow but not shrink; no control moves with it.
void MainWindow::placeControls() {
    const QSize client = ui::fromTwips(QSize(5445, 5070));
    setMinimumSize(client);
    resize(client);
    // clang-format off
    ui::placeControls({
        {m_textCaption, {120, 180, 855, 255}},      {m_textEdit, {960, 120, 4335, 270}},
        {m_fontCaption, {120, 540, 855, 255}},      {m_faceLabel, {960, 480, 3495, 255}},
        {m_sizeLabel, {4560, 480, 735, 255}},       {m_faceList, {960, 840, 3495, 1140}},
        {m_sizeList, {4560, 840, 735, 1140}},       {m_patternCaption, {120, 2160, 855, 255}},
        {m_patternFrame, {960, 2160, 780, 780}},    {m_patternView, {}},
        {m_choosePatternButton, {600, 2400, 255, 255}}, {m_italicBox, {1800, 2160, 735, 255}},
        {m_boldBox, {1800, 2520, 735, 255}},        {m_colorCaption, {2760, 2160, 855, 255}},
        {m_colorSwatch, {3600, 2160, 780, 780}},    {m_chooseColorButton, {3240, 2400, 255, 255}},
        {m_renderButton, {120, 3000, 735, 375}},    {m_saveButton, {960, 3000, 735, 375}},
        {m_optionsButton, {1800, 3000, 735, 375}},  {m_closeButton, {4560, 3000, 735, 375}},
        {m_statusLabel, {2640, 3120, 1455, 255}},
        // The result sits at the top left of the view that scrolls it.
        {m_resultScroll, {120, 3480, 5175, 1500}},  {m_resultView, {0, 0, 5175, 1500}},
    });
    // clang-format on
    engine::image::Image blank(m_resultView->innerWidth(), m_resultView->innerHeight(),
                               engine::image::Format::Rgb32);
    blank.fill(ui::toRgb32(m_resultView->backColor()));
    m_result = std::make_shared<const engine::image::Image>(std::move(blank));
    m_resultView->setImage(ui::viewOf(m_result));
}

// The view around the result reaches the window's right and bottom edges, so
// a larger result can be scrolled.
void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QPoint at = m_resultScroll->pos();
    m_resultScroll->resize(width() - at.x(), height() - at.y());
}

void MainWindow::createControls() {
    m_textCaption = named(new QLabel(QStringLiteral("文字"), this), "textCaption");
    m_textEdit = named(new QLineEdit(this), "textEdit");
    m_textEdit->setValidator(new OneLineValidator(m_textEdit));
    m_fontCaption = named(new QLabel(QStringLiteral("フォント"), this), "fontCaption");
    m_faceLabel = makeDisplay(this, "faceLabel");
    m_sizeLabel = makeDisplay(this, "sizeLabel");
    m_faceList = makeList(this, "faceList");
    m_sizeList = makeList(this, "sizeList");
    m_patternCaption = named(new QLabel(QStringLiteral("背景の絵"), this), "patternCaption");
    m_patternFrame = named(new PictureBox(this, true), "patternFrame");
    m_patternView = named(new PictureBox(m_patternFrame, true), "patternView");
    m_choosePatternButton =
        named(new PushButton(QStringLiteral("..."), this), "choosePatternButton");
    m_italicBox = named(new QCheckBox(QStringLiteral("斜体"), this), "italicBox");
    m_boldBox = named(new QCheckBox(QStringLiteral("太字"), this), "boldBox");
    m_colorCaption = named(new QLabel(QStringLiteral("背景の色"), this), "colorCaption");
    m_colorSwatch = named(new PictureBox(this, true), "colorSwatch");
    m_chooseColorButton = named(new PushButton(QStringLiteral("..."), this), "chooseColorButton");
    m_renderButton = named(new PushButton(QStringLiteral("開始"), this), "renderButton");
    m_saveButton = named(new PushButton(QStringLiteral("保存"), this), "saveButton");
    m_optionsButton = named(new PushButton(QStringLiteral("ｵﾌﾟｼｮﾝ"), this), "optionsButton");
    m_closeButton = named(new PushButton(QStringLiteral("閉じる"), this), "closeButton");
    m_statusLabel = named(new QLabel(this), "statusLabel");
    m_resultScroll = named(new ScrollView(this), "resultScroll");
    m_resultScroll->setFocusPolicy(Qt::NoFocus);
    m_resultView = named(new PictureBox(m_resultScroll, true), "resultView");
    m_resultScroll->setWidget(m_resultView);
    m_resultView->setToolTip(
        QStringLiteral("画像をクリックすると、クリップボードへコピーします。"));
    for (PictureBox* box : {m_patternFrame, m_patternView, m_colorSwatch})
        box->setFocusPolicy(Qt::NoFocus);
    // The result takes the focus after the buttons: Ctrl+C, Space or Enter copy it.
    m_resultView->setFocusPolicy(Qt::StrongFocus);
    m_copyAction = new QAction(QStringLiteral("コピー(&C)"), this);
    m_copyAction->setShortcut(QKeySequence::Copy);
    m_copyAction->setShortcutContext(Qt::WindowShortcut);
    m_saveAction = new QAction(QStringLiteral("保存(&S)..."), this);
    // The shortcut holds in the whole window wherever the focused control does
    // not copy by itself (the text box copies its text).
    m_resultView->addActions({m_copyAction, m_saveAction});
    m_resultView->setContextMenuPolicy(Qt::ActionsContextMenu);
    setPattern(engine::cut::tartan());
}

void MainWindow::connectActions() {
    // A click on an entry, not the current entry moving by itself, chooses it.
    const auto onPick = [this](QListWidget* list, void (MainWindow::*chosen)()) {
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list, chosen] {
            if (list->currentItem() && list->currentItem()->isSelected())
                (this->*chosen)();
        });
    };
    onPick(m_faceList, &MainWindow::onFaceChosen);
    onPick(m_sizeList, &MainWindow::onSizeChosen);
    connect(m_italicBox, &QCheckBox::clicked, this, &MainWindow::onItalicToggled);
    connect(m_boldBox, &QCheckBox::clicked, this, &MainWindow::onBoldToggled);
    connect(m_renderButton, &QPushButton::clicked, this, &MainWindow::renderLetters);
    connect(m_saveButton, &QPushButton::clicked, this, &MainWindow::saveImage);
    connect(m_optionsButton, &QPushButton::clicked, this, &MainWindow::showSaveOptions);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_choosePatternButton, &QPushButton::clicked, this, &MainWindow::choosePattern);
    connect(m_chooseColorButton, &QPushButton::clicked, this, &MainWindow::chooseColor);
    for (PictureBox* target : {m_patternFrame, m_patternView}) {
        target->setAcceptDrops(true);
        connect(target, &PictureBox::filesDropped, this, &MainWindow::dropPatternFiles);
    }
    // The swatch takes files as the classic window did, and holds no pattern.
    m_colorSwatch->setAcceptDrops(true);
    connect(&m_patternLoader, &PatternLoader::loaded, this, &MainWindow::adoptPattern);
    connect(m_resultView, &PictureBox::clicked, this, &MainWindow::copyResult);
    connect(m_resultView, &PictureBox::dragStarted, this, &MainWindow::dragResult);
    connect(m_copyAction, &QAction::triggered, this, &MainWindow::copyResult);
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::saveImage);
}

// What a screen reader says of each control whose caption does not say it.
void MainWindow::nameControls() {
    const struct {
        QWidget* control;
        const char16_t* name;
        const char16_t* description;
    } names[] = {
        {m_textEdit, u"文字", u"切り文字にする文字"},
        {m_faceLabel, u"選んだフォント", nullptr},
        {m_sizeLabel, u"選んだサイズ", nullptr},
        {m_faceList, u"フォント", u"文字のフォントを選びます"},
        {m_sizeList, u"サイズ", u"文字の大きさ (ポイント) を選びます"},
        {m_choosePatternButton, u"背景の絵を選ぶ", u"文字の中に敷き詰める絵のファイルを選びます"},
        {m_chooseColorButton, u"背景の色を選ぶ", u"文字の外側の色を選びます"},
        {m_patternView, u"背景の絵", nullptr},
        {m_colorSwatch, u"背景の色", nullptr},
        {m_renderButton, nullptr, u"切り文字を描きます"},
        {m_saveButton, nullptr, u"切り文字をファイルに保存します"},
        {m_optionsButton, u"オプション", u"保存の形式ごとの設定を開きます"},
        {m_closeButton, nullptr, u"ベルモラを終了します"},
        {m_statusLabel, u"状態", nullptr},
        {m_resultView, u"切り文字の画像 (クリックでコピー)",
         u"Ctrl+C でもコピーできます。右クリックで保存もできます"},
    };
    for (const auto& n : names) {
        if (n.name)
            n.control->setAccessibleName(QString::fromUtf16(n.name));
        if (n.description)
            n.control->setAccessibleDescription(QString::fromUtf16(n.description));
    }
}

// The controls from the settings; the window takes no input meanwhile. Neither
// list gets a selection: the choice shows above them.
void MainWindow::fillControls() {
    setEnabled(false);
    for (int size = 8; size <= 120; ++size)
        m_sizeList->addItem(QString::number(size));
    m_italicBox->setChecked(m_settings.italic);
    m_boldBox->setChecked(m_settings.bold);
    m_textEdit->setText(m_settings.text);
    showColor();
    chooseFont(m_settings.fontFamily, m_settings.pointSize);
    setEnabled(true);
    showStatus();
}

// The families are listed once the window has been painted: with many fonts
// installed that takes a while, and the window is on the screen meanwhile.
// A turn of the event loop before would keep the window from being mapped.
void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!m_fontListAsked) {
        m_fontListAsked = true;
        QTimer::singleShot(0, this, [this] { fillFontList(); });
    }
}

void MainWindow::fillFontList() {
    m_faceList->clear();
    m_faceList->addItems(engine::text::listedFaces(engine::text::enumFontFamilies()));
    // Opened at the current font, or at the face that draws for it, unselected.
    QListWidgetItem* current = entryFor(*m_faceList, m_face);
    if (!current)
        current = entryFor(*m_faceList, engine::text::faceName(drawingFont()));
    if (current)
        m_faceList->scrollToItem(current, QAbstractItemView::PositionAtTop);
    if (QListWidgetItem* size = entryFor(*m_sizeList, engine::settings::formatFontSize(m_pointSize)))
        m_sizeList->scrollToItem(size, QAbstractItemView::PositionAtTop);
}

engine::text::FontSpec MainWindow::drawingFont() const {
    return engine::text::fontRequest(m_face, m_pointSize, m_settings.bold, m_settings.italic);
}

void MainWindow::chooseFont(const QString& face, float pointSize) {
    m_face = face;
    if (pointSize > 0)
        m_pointSize = pointSize;
    showFont();
}

void MainWindow::showFont() {
    m_faceLabel->setText(m_face);
    m_sizeLabel->setText(engine::settings::formatFontSize(m_pointSize));
}

void MainWindow::onFaceChosen() {
    chooseFont(m_faceList->currentItem()->text(), m_pointSize);
}

void MainWindow::onSizeChosen() {
    chooseFont(m_face, m_sizeList->currentItem()->text().toFloat());
}

// The flags reach the file only with the next save point. Only a ticked box is on.
void MainWindow::onItalicToggled() {
    m_settings.italic = m_italicBox->checkState() == Qt::Checked;
}

void MainWindow::onBoldToggled() {
    m_settings.bold = m_boldBox->checkState() == Qt::Checked;
}

void MainWindow::renderLetters() {
    // An empty text is still stored: the next start shows the box as it was left.
    if (!drawLetters() && !m_textEdit->text().isEmpty())
        return;
    m_settings.text = m_textEdit->text();
    // The face the letters were drawn with; an "@" face keeps its "@".
    m_settings.fontFamily = engine::text::faceName(drawingFont());
    m_settings.pointSize = m_pointSize;
    engine::settings::saveSettings(m_settings, m_settingsFile);
}

// The same request velmora-cut makes: the engine's image is what the result
// view shows, copies and saves. False when there is no text or the image would
// be too large.
bool MainWindow::drawLetters() {
    // What the status line said of the letters shown before (a copy, a save, an
    // error) goes; a pattern that fails to load now says so.
    m_status.drawing();
    showStatus();
    // A pattern chosen or dropped before is the one drawn with, read or not yet.
    settlePattern();
    if (m_textEdit->text().isEmpty()) {
        m_status.emptyText();
        showStatus();
        return false;
    }
    engine::cut::Request request;
    request.text = m_textEdit->text();
    request.font = drawingFont();
    request.pattern = m_pattern; // shared, not copied
    request.ground = m_settings.groundColor;
    request.smooth = m_settings.smooth;
    engine::image::Image result;
    QSize size;
    if (!engine::cut::render(request, result, size)) {
        ui::messageBox(this,
                       QStringLiteral("文字の画像が大きすぎます（%1 × %2 ピクセル）。\r\n"
                                      "文字を短くするか、サイズを小さくしてください。")
                           .arg(size.width())
                           .arg(size.height()),
                       ProgramName, ui::MsgIcon::Exclamation);
        return false;
    }
    // Indexed letters become 32-bit for the view; 32-bit ones are shown as they are.
    if (result.format() != engine::image::Format::Rgb32)
        result = result.convertedTo(engine::image::Format::Rgb32);
    m_result = std::make_shared<const engine::image::Image>(std::move(result));
    m_resultView->setImage(ui::viewOf(m_result));
    m_resultView->repaint();
    m_drawn = std::move(request);
    return true;
}

void MainWindow::showSaveOptions() {
    SaveOptionsDialog options(m_settings, m_settingsFile, this);
    options.exec();
}

engine::image::Image MainWindow::drawnLetters(bool transparent, QString* why) const {
    engine::image::Image letters;
    QSize size;
    if (!m_drawn)
        return letters;
    engine::cut::Request request = *m_drawn;
    request.transparent = transparent;
    // The letters were drawn at this size once: only memory can fail them now.
    if (!engine::cut::render(request, letters, size) || letters.isNull())
        if (why)
            *why = QStringLiteral("画像を作るメモリーが足りません");
    return letters;
}

QByteArray MainWindow::resultPng(bool transparent, QString* why) const {
    QByteArray png;
    const engine::image::Image letters = drawnLetters(transparent, why);
    if (!letters.isNull())
        engine::codecs::encodePng(letters, m_settings.pngLevel, png, why);
    return png;
}

std::unique_ptr<QMimeData> MainWindow::resultData(bool withFile) {
    auto data = std::make_unique<QMimeData>();
    const bool transparent = m_settings.transparent && m_drawn;
    if (!transparent) {
        data->setImageData(ui::viewOf(m_result));
    } else {
        // The ground's colour stays under its transparency: a program that reads
        // no alpha (a bitmap on Windows) still shows the letters on their ground.
        QImage image = ui::toQImage(drawnLetters(true)).convertToFormat(QImage::Format_ARGB32);
        const QRgb ground = ui::toRgb32(m_drawn->ground) & 0x00FFFFFFu;
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(row[x]) == 0)
                    row[x] = ground;
        }
        data->setImageData(image);
    }
    if (transparent || withFile) {
        const QByteArray png = resultPng(transparent);
        if (!png.isEmpty() && transparent)
            data->setData(QStringLiteral("image/png"), png);
        if (!png.isEmpty() && withFile) {
            if (!m_dragFolder)
                m_dragFolder = std::make_unique<QTemporaryDir>();
            QSaveFile file(m_dragFolder->filePath(QStringLiteral("切り文字.png")));
            if (file.open(QIODevice::WriteOnly) && file.write(png) == png.size() && file.commit())
                data->setUrls({QUrl::fromLocalFile(file.fileName())});
        }
    }
    return data;
}

void MainWindow::copyResult() {
    // The clipboard's whole content is replaced with the result alone.
    QApplication::clipboard()->setMimeData(resultData(false).release());
    m_status.copied();
    showStatus();
}

void MainWindow::dragResult() {
    auto* drag = new QDrag(m_resultView);
    drag->setMimeData(resultData(m_drawn.has_value()).release());
    drag->exec(Qt::CopyAction);
}

void MainWindow::showColor() {
    const engine::image::COLORREF color = m_settings.groundColor;
    m_colorSwatch->setBackColor(color);
    const QColor shown = ui::toQColor(color & 0x00FFFFFFu);
    m_colorSwatch->setAccessibleDescription(QStringLiteral("赤 %1、緑 %2、青 %3")
                                                .arg(shown.red())
                                                .arg(shown.green())
                                                .arg(shown.blue()));
}

void MainWindow::showStatus() {
    const QString& text = m_status.text();
    const int room = m_statusLabel->contentsRect().width();
    const QString shown = m_statusLabel->fontMetrics().elidedText(text, Qt::ElideRight, room);
    m_statusLabel->setText(shown);
    m_statusLabel->setToolTip(shown == text ? QString() : text);
}

void MainWindow::rememberFolderOf(const QString& path) {
    m_lastFolder = QFileInfo(path).absolutePath();
}
