#include "frmMain.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QValidator>

#include "engine/cut/Tartan.h"
#include "engine/settings/Settings.h"
#include "engine/text/GlyphEngine.h"
#include "ui/mainwindow/basFontListGet.h"
#include "ui/mainwindow/Layout.h"
#include "ui/options/frmJPEG.h"
#include "ui/widgets/AutoSizeLabel.h"
#include "ui/widgets/DrawingFont.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/PushButton.h"
#include "ui/widgets/ScrollView.h"

namespace {

const QString ProgramName = QStringLiteral("ベルモラ");

QLabel* makeLabel(QWidget* parent, const QString& caption, bool display = false) {
    auto* label = new QLabel(caption, parent);
    if (display) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(2);
    }
    return label;
}

QListWidget* makeList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setSortingEnabled(false);
    list->setUniformItemSizes(true);
    return list;
}

// The drawing font from the captions and flags. A size caption that is no
// positive number leaves the control's size as it was.
QFont fontFrom(QFont font, const QString& face, const QString& sizeCaption) {
    font.setFamily(face);
    float size = 0;
    if (ParseFontSize(sizeCaption, size) && size > 0)
        font.setPointSizeF(size);
    font.setItalic(gFontItalic != 0);
    font.setBold(gFontTick != 0);
    return font;
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

} // namespace

frmMain::frmMain() {
    setWindowTitle(ProgramName);
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmora32.xpm")));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    createControls();
    mainlayout::place(*this);
    connectHandlers();
}

frmMain::~frmMain() = default;

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    mainlayout::stretchBoardView(*this);
}

void frmMain::createControls() {
    LBL[0] = makeLabel(this, QStringLiteral("文字"));
    FLD[0] = new QLineEdit(QStringLiteral("Sample"), this);
    FLD[0]->setValidator(new OneLineValidator(FLD[0]));
    LBL[3] = makeLabel(this, QStringLiteral("フォント"));
    DSP[0] = makeLabel(this, QString(), true);
    DSP[1] = makeLabel(this, QString(), true);
    LST[0] = makeList(this);
    LST[1] = makeList(this);
    LBL[1] = makeLabel(this, QStringLiteral("背景の絵"));
    Area[0] = new PictureBox(this, true);
    Dot[0] = new PictureBox(Area[0], true);
    Dot[0]->setPicture(engine::cut::tartan());
    DBTN[0] = new PushButton(QStringLiteral("..."), this);
    CHK[0] = new QCheckBox(QStringLiteral("斜体"), this);
    CHK[1] = new QCheckBox(QStringLiteral("太字"), this);
    LBL[2] = makeLabel(this, QStringLiteral("背景の色"));
    Area[1] = new PictureBox(this, true);
    DBTN[1] = new PushButton(QStringLiteral("..."), this);
    BTN[0] = new PushButton(QStringLiteral("開始"), this);
    BTN[1] = new PushButton(QStringLiteral("保存"), this);
    BTN[2] = new PushButton(QStringLiteral("ｵﾌﾟｼｮﾝ"), this);
    BTN[3] = new PushButton(QStringLiteral("閉じる"), this);
    MSG = makeLabel(this, QString());
    BoardView = new ScrollView(this);
    BoardView->setFocusPolicy(Qt::NoFocus);
    Board = new PictureBox(BoardView, true);
    BoardView->setWidget(Board);
    Board->setToolTip(QStringLiteral("画像をクリックすると、クリップボードへコピーします。"));
    TempPic = new PictureBox(this, false);
    TempPic->hide();
    TempPic->setBackColor(0x000000);
    SizeMongon = new AutoSizeLabel(this);
    SizeMongon->hide();
    for (PictureBox* p : {Area[0], Area[1], Dot[0], Board, TempPic})
        p->setFocusPolicy(Qt::NoFocus);
}

void frmMain::connectHandlers() {
    for (std::int16_t i = 0; i < 2; ++i) {
        connect(LST[i], &QListWidget::itemSelectionChanged, this, [this, i] {
            if (LST[i]->currentItem() && LST[i]->currentItem()->isSelected())
                LST_Click(i);
        });
        connect(CHK[i], &QCheckBox::clicked, this, [this, i] { CHK_Click(i); });
    }
    for (std::int16_t i = 0; i < 4; ++i)
        connect(BTN[i], &QPushButton::clicked, this, [this, i] { BTN_Click(i); });
    for (std::int16_t i = 0; i < 2; ++i) {
        connect(DBTN[i], &QPushButton::clicked, this, [this, i] { DBTN_Click(i); });
        Area[i]->setAcceptDrops(true);
        connect(Area[i], &PictureBox::filesDropped, this,
                [this, i](const QStringList& paths) { Area_OLEDragDrop(i, paths); });
    }
    Dot[0]->setAcceptDrops(true);
    connect(Dot[0], &PictureBox::filesDropped, this,
            [this](const QStringList& paths) { Dot_OLEDragDrop(0, paths); });
    connect(Board, &PictureBox::clicked, this, &frmMain::Board_Click);
}

void frmMain::Form_Load() {
    InitControls();
}

void frmMain::InitControls() {
    setEnabled(false);
    QFont font = TempPic->font();
    font.setFamily(gFontName);
    if (gFontSize > 0)
        font.setPointSizeF(gFontSize);
    TempPic->setFont(font);
    SizeMongon->setLabelFont(font);
    show();
    LST[0]->clear();
    LST[1]->clear();
    DSP[0]->setText(gFontName);
    DSP[1]->setText(FormatFontSize(gFontSize));
    for (int size = 8; size <= 120; ++size)
        LST[1]->addItem(QString::number(size));
    CHK[0]->setChecked(gFontItalic != 0);
    CHK[1]->setChecked(gFontTick != 0);
    FLD[0]->setText(gMongon);
    Area[1]->setBackColor(static_cast<engine::image::COLORREF>(gBackColor));
    FillFontList(*LST[0]);
    ApplyFont();
    setEnabled(true);
    MSG->setText(ProgramName);
}

void frmMain::ApplyFont() {
    TempPic->setFont(fontFrom(TempPic->font(), DSP[0]->text(), DSP[1]->text()));
    SizeMongon->setLabelFont(fontFrom(SizeMongon->font(), DSP[0]->text(), DSP[1]->text()));
}

void frmMain::LST_Click(std::int16_t Index) {
    if (Index < 0 || Index > 1 || !LST[Index]->currentItem())
        return;
    DSP[Index]->setText(LST[Index]->currentItem()->text());
    ApplyFont();
}

void frmMain::CHK_Click(std::int16_t Index) {
    if (Index == 0)
        gFontItalic = CHK[0]->checkState() == Qt::Checked ? -1 : 0;
    else if (Index == 1)
        gFontTick = CHK[1]->checkState() == Qt::Checked ? -1 : 0;
    ApplyFont();
}

void frmMain::BTN_Click(std::int16_t Index) {
    switch (Index) {
    case 0: {
        if (!RenderLetters())
            break;
        gMongon = FLD[0]->text();
        // The face the letters were drawn with; an "@" face keeps its "@".
        const engine::text::FontSpec font = ui::specOf(TempPic->font());
        gFontName = engine::text::faceName(font);
        gFontSize = static_cast<float>(font.pointSize);
        SaveSettings();
        break;
    }
    case 1:
        SaveImage();
        break;
    case 2: {
        frmJPEG options(this);
        options.setModal(true);
        options.Form_Load();
        options.exec();
        break;
    }
    case 3:
        close();
        break;
    default:
        break;
    }
}
