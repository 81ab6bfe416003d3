#pragma once

#include <array>
#include <cstdint>

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;

// The save options: JPEG compression rate and progressive flag, PNG level.
// Changes reach the settings only through "保存".
class frmJPEG : public QDialog {
    Q_OBJECT
  public:
    explicit frmJPEG(QWidget* owner);

    void Form_Load();
    void ASCR_Change(std::int16_t Index);
    void BTN_Click(std::int16_t Index);

    std::array<QGroupBox*, 2> BoxLine{};
    std::array<QLabel*, 3> LBL{};
    std::array<QLabel*, 2> DSP{};
    std::array<QScrollBar*, 2> ASCR{};
    QCheckBox* CHK = nullptr;
    std::array<QPushButton*, 2> BTN{};

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void createControls();
};

// The PNG scroll bar's position and the stored level swap 0 and 1.
std::int16_t PngRateFromPosition(int position, std::int16_t current);
int PngPositionFromRate(std::int16_t rate);
