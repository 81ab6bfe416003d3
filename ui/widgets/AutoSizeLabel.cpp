#include "AutoSizeLabel.h"

#include "engine/text/TextDrawing.h"
#include "ui/widgets/DrawingFont.h"

AutoSizeLabel::AutoSizeLabel(QWidget* parent) : QWidget(parent) {}

void AutoSizeLabel::setCaption(const QString& caption) {
    m_caption = caption;
    fit();
}

void AutoSizeLabel::setCaption(const QString& caption, QSize measured) {
    m_caption = caption;
    resize(measured);
}

void AutoSizeLabel::setLabelFont(const QFont& font) {
    setFont(font);
    fit();
}

void AutoSizeLabel::fit() {
    const QSize size = engine::text::measureText(m_caption, ui::specOf(font()));
    resize(size);
}
