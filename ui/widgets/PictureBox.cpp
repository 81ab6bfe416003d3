#include "PictureBox.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
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

// A screen reader hears a picture box as a picture, not as an empty filler.
class PictureAccessible : public QAccessibleWidget {
  public:
    explicit PictureAccessible(QWidget* box) : QAccessibleWidget(box, QAccessible::Graphic) {}
};

QAccessibleInterface* pictureAccessible(const QString& className, QObject* object) {
    return className == QLatin1String("PictureBox") && object && object->isWidgetType()
               ? new PictureAccessible(static_cast<QWidget*>(object))
               : nullptr;
}

} // namespace

PictureBox::PictureBox(QWidget* parent, bool border)
    : QWidget(parent), m_image(1, 1, QImage::Format_RGB32), m_border(border) {
    static const bool described = (QAccessible::installFactory(pictureAccessible), true);
    Q_UNUSED(described);
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
        // The focus shows as the highlight colour on the border.
        p.setPen(palette().color(hasFocus() ? QPalette::Highlight : QPalette::Dark));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pressedAt = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressedAt && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - *m_pressedAt).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_pressedAt.reset(); // a drag, not a click
        emit dragStarted();
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool pressed = m_pressedAt.has_value();
    if (event->button() == Qt::LeftButton)
        m_pressedAt.reset();
    if (pressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PictureBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
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
