#pragma once

#include <QPushButton>

// A push button that Enter and keypad Enter press while it has the focus, as on
// Windows. It never becomes a default button, so Enter elsewhere stays where it is.
class PushButton : public QPushButton {
    Q_OBJECT
  public:
    PushButton(const QString& text, QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
