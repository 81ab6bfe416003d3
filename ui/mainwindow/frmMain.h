#pragma once

#include <array>
#include <cstdint>

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class AutoSizeLabel;
class PictureBox;
class ScrollView;

// The main window: text, font, pattern and colour in, cut letters out.
class frmMain : public QWidget {
    Q_OBJECT
  public:
    frmMain();
    ~frmMain() override;

    void Form_Load();
    void InitControls();
    void ApplyFont();
    void LST_Click(std::int16_t Index);
    void CHK_Click(std::int16_t Index);
    void BTN_Click(std::int16_t Index);
    void Board_Click();
    void DBTN_Click(std::int16_t Index);
    void Area_OLEDragDrop(std::int16_t Index, const QStringList& Data);
    void Dot_OLEDragDrop(std::int16_t Index, const QStringList& Data);

    // False when the text's image would be too large; Board then keeps its image.
    bool RenderLetters();
    void SaveImage();
    // 0 when the picture was loaded into Dot(Index), 1 when not.
    std::int16_t LoadDotPicture(const QString& FileName, std::int16_t Index);
    bool LoadPngPicture(PictureBox* Pic, const QString& FileName);

    std::array<QLabel*, 4> LBL{};
    std::array<QLineEdit*, 1> FLD{};
    std::array<QLabel*, 2> DSP{};
    std::array<QListWidget*, 2> LST{};
    std::array<PictureBox*, 2> Area{};
    std::array<PictureBox*, 1> Dot{};
    std::array<QPushButton*, 2> DBTN{};
    std::array<QCheckBox*, 2> CHK{};
    std::array<QPushButton*, 4> BTN{};
    QLabel* MSG = nullptr;
    PictureBox* Board = nullptr;
    ScrollView* BoardView = nullptr; // scrolls Board when the result outgrows the window
    PictureBox* TempPic = nullptr;
    AutoSizeLabel* SizeMongon = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void createControls();
    void connectHandlers();
};
