#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "engine/codecs/Codecs.h"
#include "engine/cut/Render.h"
#include "engine/image/Image.h"
#include "engine/settings/Settings.h"
#include "engine/text/GlyphEngine.h"
#include "ui/mainwindow/PatternLoader.h"
#include "ui/mainwindow/StatusLine.h"

class QAction;
class QCheckBox;
class QMimeData;
class QTemporaryDir;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class PictureBox;
class ScrollView;

// The main window: text, font, pattern and colour in, cut letters out.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    static inline const QString ProgramName = StatusLine::Idle;

    // The window filled from the settings the start-up read from `settingsFile`,
    // which its save points write. Its font list is filled once it has been
    // painted.
    MainWindow(const engine::settings::Settings& settings, QString settingsFile);
    ~MainWindow() override;

    engine::settings::Settings& settings() { return m_settings; }
    // What the letters are drawn with: the chosen face and size, bold and italic.
    engine::text::FontSpec drawingFont() const;
    // The whole status, which the status line may show shortened.
    const QString& status() const { return m_status.text(); }

    // The steps the actions are made of, for the benchmarks and the tests too.
    // Makes the picture file the pattern; otherwise the pattern stays and
    // `why` says what was wrong.
    bool loadPattern(const QString& path, QString* why = nullptr);
    // The picture the letters are filled with from now on, read from `file`
    // (none: the built-in tartan); transparency shows the white ground of the
    // pattern view.
    void setPattern(engine::image::Image picture, const QString& file = {});
    // Renders the letters into the result view, as "開始" does before it stores
    // anything; false, with a message, when the image would be too large or
    // there is no text to draw.
    bool drawLetters();
    // The result as the clipboard and a drag hand it on: the image shown, and
    // with a transparent ground chosen, a PNG with alpha of the same letters.
    // A drag also gets the PNG as a file.
    std::unique_ptr<QMimeData> resultData(bool withFile);
    // The face and size the next letters are drawn with, as the lists choose
    // them; a size that is no positive number leaves the size as it was.
    void chooseFont(const QString& face, float pointSize);

  public slots:
    // "開始": renders the letters, then stores the text and font and writes the settings.
    void renderLetters();
    // "保存": asks for a name and writes the image shown as BMP, JPEG or PNG.
    void saveImage();
    void showSaveOptions();
    void choosePattern();
    void chooseColor();
    // The first file of an accepted kind that loads becomes the pattern.
    void dropPatternFiles(const QStringList& paths);
    void copyResult();
    // Drags the result to another program, as an image and as a PNG file.
    void dragResult();

  signals:
    // The latest chosen or dropped pattern has been loaded, or has not: a picture
    // is read off the window's thread, so that a large one leaves the window
    // answering. Sent at once where there is nothing to read; "開始" takes a
    // pattern still being read as soon as it is there.
    void patternSettled();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private slots:
    void onFaceChosen();
    void onSizeChosen();
    void onItalicToggled();
    void onBoldToggled();

  private:
    void createControls();
    void placeControls();
    void connectActions();
    void fillControls();
    void fillFontList();
    // The status line shows what m_status says; a status longer than the line
    // shows whole in its tool tip.
    void showStatus();
    // Shows the pattern read from `file`; none for the built-in tartan.
    void showPattern(std::shared_ptr<const engine::image::Image> pattern, const QString& file);
    // Reads the first of the files that loads off the window's thread.
    void loadPatternAside(const QStringList& paths);
    // Shows what a pattern load gave: the pattern, or why none.
    void adoptPattern(const PatternLoader::Outcome& outcome);
    // Waits for a pattern still being read and shows it.
    void settlePattern();
    // The folder the next file dialog opens in: the one used last.
    void rememberFolderOf(const QString& path);
    void nameControls();
    // The letters last drawn, on their ground or a transparent one, as an image
    // and as the PNG a save, copy or drag gives; none before anything is drawn.
    engine::image::Image drawnLetters(bool transparent, QString* why = nullptr) const;
    QByteArray resultPng(bool transparent, QString* why = nullptr) const;
    // What a save writes in that format: the image shown, or with a transparent
    // ground chosen where the format holds one, the letters drawn on it; or the
    // letters drawn as shapes. False with the reason.
    bool encodeResult(const engine::codecs::OutputFormat& format, QByteArray& data,
                      QString* why) const;
    void showColor();
    void showFont();

    engine::settings::Settings m_settings;
    QString m_settingsFile;
    // The face and size shown above the lists: what the next letters are drawn
    // with, stored only by "開始".
    QString m_face;
    float m_pointSize = 0;
    // As the pattern view shows it, opaque; the view and each rendering share it.
    std::shared_ptr<const engine::image::Image> m_pattern;
    // The user's pictures folder, else home, until a file dialog has been used.
    QString m_lastFolder;
    // The request the result view shows the letters of, once any are drawn,
    // and the image drawn (the view shows it, a save writes it).
    std::optional<engine::cut::Request> m_drawn;
    std::shared_ptr<const engine::image::Image> m_result;
    std::unique_ptr<QTemporaryDir> m_dragFolder; // a drag's PNG file, kept until the window goes
    bool m_fontListAsked = false;
    StatusLine m_status;
    PatternLoader m_patternLoader;

    QLabel* m_textCaption = nullptr;
    QLineEdit* m_textEdit = nullptr;
    QLabel* m_fontCaption = nullptr;
    QLabel* m_faceLabel = nullptr;
    QLabel* m_sizeLabel = nullptr;
    QListWidget* m_faceList = nullptr;
    QListWidget* m_sizeList = nullptr;
    QLabel* m_patternCaption = nullptr;
    PictureBox* m_patternFrame = nullptr;
    PictureBox* m_patternView = nullptr;
    QPushButton* m_choosePatternButton = nullptr;
    QCheckBox* m_italicBox = nullptr;
    QCheckBox* m_boldBox = nullptr;
    QLabel* m_colorCaption = nullptr;
    PictureBox* m_colorSwatch = nullptr;
    QPushButton* m_chooseColorButton = nullptr;
    QPushButton* m_renderButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_optionsButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_statusLabel = nullptr;
    ScrollView* m_resultScroll = nullptr; // scrolls the result when it outgrows the window
    PictureBox* m_resultView = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_saveAction = nullptr;
};
