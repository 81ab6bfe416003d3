#include "PictureBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "TextDrawing.h"

namespace {

// Only lists of local files are taken, so the cursor refuses anything else.
QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

PictureBox::PictureBox(QWidget* parent, bool border)
    : QWidget(parent), m_image(1, 1, QImage::Format_RGB32), m_border(border) {
    m_dc = gdi::RegisterSurface(&m_image);
    m_image.fill(platform::toRgb32(m_backColor));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() {
    gdi::UnregisterSurface(m_dc);
}

void PictureBox::setOuterSize(int width, int height) {
    resize(width, height);
    const int w = std::max(0, width - 2 * borderWidth());
    const int h = std::max(0, height - 2 * borderWidth());
    if (w == m_image.width() && h == m_image.height())
        return;
    QImage resized(w, h, QImage::Format_RGB32);
    if (!resized.isNull()) {
        resized.fill(platform::toRgb32(m_backColor));
        QPainter p(&resized);
        p.drawImage(0, 0, m_image);
    }
    m_image = std::move(resized);
}

void PictureBox::Cls() {
    m_image.fill(platform::toRgb32(m_backColor));
    m_currentX = 0;
    m_currentY = 0;
    update();
}

void PictureBox::setBackColor(platform::COLORREF color) {
    m_backColor = color;
    m_image.fill(platform::toRgb32(color));
    update();
}

void PictureBox::Print(const QString& text) {
    if (m_image.isNull())
        return;
    m_currentY += textdrawing::drawText(m_image, m_currentX, m_currentY, text, font(),
                                        platform::toRgb32(m_foreColor));
    m_currentX = 0;
    update();
}

void PictureBox::setPicture(const QImage& picture) {
    setOuterSize(picture.width() + 2 * borderWidth(), picture.height() + 2 * borderWidth());
    m_image.fill(platform::toRgb32(m_backColor));
    if (!m_image.isNull()) {
        QPainter p(&m_image);
        p.drawImage(0, 0, picture);
    }
    update();
}

void PictureBox::Refresh() {
    repaint();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int b = borderWidth();
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.drawImage(b, b, m_image);
    if (b) {
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureBox::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PictureBox::dragMoveEvent(QDragMoveEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PictureBox::dropEvent(QDropEvent* event) {
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}
