#pragma once

#include <QScrollArea>

// A frameless view that scrolls one child widget kept at its own size: scroll
// bars show only while the child is larger, and Shift turns the wheel sideways.
class ScrollView : public QScrollArea {
    Q_OBJECT
  public:
    explicit ScrollView(QWidget* parent);

  protected:
    void wheelEvent(QWheelEvent* event) override;
};
