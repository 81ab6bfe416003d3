#pragma once

#include <QString>
#include <QWidget>

// A borderless label that sizes itself to its caption: width the caption's
// advance width, height the font's line height, in 96-dpi pixels rounded
// half to even.
class AutoSizeLabel : public QWidget {
    Q_OBJECT
  public:
    explicit AutoSizeLabel(QWidget* parent);

    void setCaption(const QString& caption);
    // The same with the size already measured, as the renderer has it.
    void setCaption(const QString& caption, QSize measured);
    // Font changes resize the label too.
    void setLabelFont(const QFont& font);

  private:
    void fit();
    QString m_caption;
};
