#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>

#include "Colors.h"
#include "Gdi.h"

// A picture box with a persistent image (AutoRedraw): drawing goes into an
// off-screen image of the inner area, which survives repaints and hiding, and a
// GDI-like handle reaches it. With a border the inner area is outer - 2.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    PictureBox(QWidget* parent, bool border);
    ~PictureBox() override;

    gdi::HDC hDC() const { return m_dc; }
    const QImage& image() const { return m_image; }
    int innerWidth() const { return m_image.width(); }
    int innerHeight() const { return m_image.height(); }
    int borderWidth() const { return m_border ? 1 : 0; }

    // Resizes the box; the image keeps its content, new area in the back colour.
    void setOuterSize(int width, int height);
    // Fills the image with the back colour and puts the text position at (0, 0).
    void Cls();
    platform::COLORREF backColor() const { return m_backColor; }
    // A new back colour fills the whole image at once.
    void setBackColor(platform::COLORREF color);
    void setForeColor(platform::COLORREF color) { m_foreColor = color; }
    // Draws the text at the text position in the fore colour and the box's font,
    // without antialiasing and with a transparent background.
    void Print(const QString& text);
    // Assigns a picture: the box takes its size; transparency shows the back colour.
    void setPicture(const QImage& picture);
    // Repaints from the image at once.
    void Refresh();

  signals:
    void clicked();
    void filesDropped(const QStringList& paths);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QImage m_image;
    gdi::HDC m_dc = 0;
    bool m_border;
    platform::COLORREF m_backColor = 0x80000005u;
    platform::COLORREF m_foreColor = 0x80000008u;
    int m_currentX = 0;
    int m_currentY = 0;
};
