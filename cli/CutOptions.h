#pragma once

#include <optional>

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "engine/codecs/Codecs.h"
#include "engine/image/Colors.h"

// The options of velmora-cut. Values not given on the command line come from
// the settings file (or the window's first-start values).
namespace cli {

// The command's texts, translated through velmora-cut_*.qm.
class Cut {
    Q_DECLARE_TR_FUNCTIONS(Cut)
};

using Format = engine::codecs::OutputFormat;

struct CutOptions {
    QString output; // file, template (with --batch) or "-" for standard output
    QString text;   // without --batch
    bool textFromSettings = false; // no text and no --batch: the settings file's
    QString batch;  // file of texts, "-" for standard input
    QString settings;
    QString font; // family name or font file
    std::optional<float> size;
    bool bold = false;   // given: on; not given: as the settings say
    bool italic = false; // likewise
    QString pattern;
    std::optional<engine::image::COLORREF> color;
    std::optional<int> jpegRate;
    bool progressive = false; // likewise
    std::optional<int> pngLevel;
    bool transparent = false;
    bool smooth = false;
    int jobs = 1; // lines rendered at once; the number of cores unless given
    Format format = engine::codecs::ImageFormat::Png;
    bool help = false;
    bool version = false;
};

// Parses the arguments (the program's name not included). A usage error
// returns false with its message.
bool parseOptions(const QStringList& arguments, CutOptions& options, QString& error);

// #RRGGBB, or the settings file's decimal 0x00BBGGRR.
std::optional<engine::image::COLORREF> parseColor(const QString& text);

// The format an output name asks for by its extension (any case).
std::optional<Format> formatOfName(const QString& name);

// A batch output name: each %d or %0Nd becomes the line number, %% a percent sign.
QString outputName(const QString& pattern, int line);
bool hasLineNumber(const QString& pattern);

// --help: the usage, the exit statuses and a line for each option.
QString helpText();

} // namespace cli
