#pragma once

#include <optional>

#include <QImage>
#include <QStringList>
#include <QWidget>

#include "ui/widgets/Colors.h"

// A picture box with a persistent image (AutoRedraw): an off-screen image of
// the inner area, which survives repaints and hiding. With a border the inner
// area is outer - 2.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    PictureBox(QWidget* parent, bool border);
    ~PictureBox() override;

    const QImage& image() const { return m_image; }
    int innerWidth() const { return m_image.width(); }
    int innerHeight() const { return m_image.height(); }
    int borderWidth() const { return m_border ? 1 : 0; }

    // Resizes the box; the image keeps its content, new area in the back colour.
    void setOuterSize(int width, int height);
    engine::image::COLORREF backColor() const { return m_backColor; }
    // A new back colour fills the whole image at once.
    void setBackColor(engine::image::COLORREF color);
    // Shows the image as it is; the box takes its size.
    void setImage(QImage image);

  signals:
    // A left click, or Space or Enter while the box has the focus.
    void clicked();
    // The mouse moved far enough with the left button down to drag the picture.
    void dragStarted();
    void filesDropped(const QStringList& paths);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QImage m_image;
    bool m_border;
    std::optional<QPoint> m_pressedAt; // where the left button went down, until it is up or drags
    engine::image::COLORREF m_backColor = 0x80000005u;
};
