#pragma once

#include <cstdint>

#include <QString>

class QWidget;

// One use of a common dialog: set the members, call one operation with the
// owner window, read the result, let the object go.
class clsDialog {
  public:
    QString SelectTitle;
    QString SelectFlags; // decimal flag word of the file dialogs
    QString DefaultFolder;
    std::int32_t FilterIndex = 0;
    QString FilterPattern;        // description NUL pattern NUL, pair after pair
    std::int32_t SelectColor = 0; // 0x00BBGGRR

    // The chosen path, or "" after a cancel.
    QString OpenFile(QWidget* hwnd);
    // The chosen path, or "" after a cancel; FilterIndex is the chosen pair, 0 after a cancel.
    QString SaveFile(QWidget* hwnd);
    // -1 when a colour was confirmed (it is then in SelectColor), else 0.
    std::int32_t ColorCode(QWidget* hwnd);
};
