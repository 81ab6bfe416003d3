#include "PictureBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

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
    m_image.fill(ui::toRgb32(m_backColor));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() = default;

void PictureBox::setOuterSize(int width, int height) {
    resize(width, height);
    const int w = std::max(0, width - 2 * borderWidth());
    const int h = std::max(0, height - 2 * borderWidth());
    if (w == m_image.width() && h == m_image.height())
        return;
    QImage resized(w, h, QImage::Format_RGB32);
    if (!resized.isNull()) {
        resized.fill(ui::toRgb32(m_backColor));
        QPainter p(&resized);
        p.drawImage(0, 0, m_image);
    }
    m_image = std::move(resized);
}

void PictureBox::setBackColor(engine::image::COLORREF color) {
    m_backColor = color;
    m_image.fill(ui::toRgb32(color));
    update();
}

void PictureBox::setImage(QImage image) {
    // Taken first, so that the resize finds the size it asks for and copies nothing.
    const QSize size = image.size();
    m_image = std::move(image);
    setOuterSize(size.width() + 2 * borderWidth(), size.height() + 2 * borderWidth());
    update();
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
