#pragma once

#include <QDialog>

#include "engine/settings/Settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;

// The save options: JPEG compression rate and progressive flag, PNG level;
// and the looks of the letters: smooth edges, a transparent ground.
// Changes reach the settings, and the settings file, only through "保存".
class SaveOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    // Opens at the options `settings` hold; "保存" stores them there and
    // writes them to `settingsFile`.
    SaveOptionsDialog(engine::settings::Settings& settings, QString settingsFile, QWidget* owner);

  public slots:
    void save();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void createControls();

    engine::settings::Settings& m_settings;
    QString m_settingsFile;
    QGroupBox* m_jpegGroup = nullptr;
    QLabel* m_jpegRateCaption = nullptr;
    QLabel* m_jpegRateLabel = nullptr;
    QScrollBar* m_jpegRateBar = nullptr;
    QLabel* m_progressiveCaption = nullptr;
    QCheckBox* m_progressiveBox = nullptr;
    QGroupBox* m_pngGroup = nullptr;
    QLabel* m_pngLevelCaption = nullptr;
    QLabel* m_pngLevelLabel = nullptr;
    QScrollBar* m_pngLevelBar = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QGroupBox* m_looksGroup = nullptr;
    QCheckBox* m_smoothBox = nullptr;
    QCheckBox* m_transparentBox = nullptr;
};

// The PNG scroll bar's position and the stored level swap 0 and 1: the
// positions run fastest, balanced, smallest.
int pngLevelFromPosition(int position, int current);
int pngPositionFromLevel(int level);
