#include "CutCommand.h"

#include <QFile>
#include <QFileInfo>

#include "cli/CutOptions.h"
#include "engine/codecs/Codecs.h"
#include "engine/cut/Render.h"
#include "engine/cut/Tartan.h"
#include "engine/files/AtomicFile.h"
#include "engine/settings/Settings.h"
#include "engine/text/GlyphEngine.h"

namespace cli {
namespace {

class Messages {
  public:
    explicit Messages(const CutStreams& io) : m_err(io.err), m_terminal(io.errIsTerminal) {}
    // A bar shows on a terminal when there is more than one image to make.
    void expect(qsizetype lines) {
        m_bar = m_terminal && lines > 1;
        m_total = lines;
    }
    void say(const QString& message) {
        clearBar();
        m_err->write(QStringLiteral("velmora-cut: %1\n").arg(message).toUtf8());
    }
    void progress(qsizetype done) {
        if (!m_bar)
            return;
        constexpr int Width = 30;
        const int filled = static_cast<int>(done * Width / m_total);
        m_err->write(QStringLiteral("\r[%1%2] %3/%4")
                         .arg(QString(filled, QLatin1Char('#')))
                         .arg(QString(Width - filled, QLatin1Char(' ')))
                         .arg(done)
                         .arg(m_total)
                         .toUtf8());
        m_shown = true;
    }
    void finish() {
        if (m_shown)
            m_err->write("\n");
        m_shown = false;
    }

  private:
    void clearBar() {
        if (m_shown)
            m_err->write("\r\033[K");
    }
    QIODevice* m_err;
    bool m_terminal;
    bool m_bar = false;
    qsizetype m_total = 0;
    bool m_shown = false;
};

struct Line {
    int number; // in the batch file, 1-based; 0 for the one text
    QString text;
};

// One text per line, CR LF or LF; empty lines are skipped but keep their number.
bool readBatch(const QString& name, QIODevice* standardInput, QList<Line>& lines) {
    QByteArray data;
    if (name == QLatin1String("-")) {
        data = standardInput->readAll();
    } else {
        QFile file(name);
        if (!QFileInfo(name).isFile() || !file.open(QIODevice::ReadOnly))
            return false;
        data = file.readAll();
    }
    const QStringList texts = QString::fromUtf8(data).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        // A text is one line, as in the window's text box.
        const QString text = texts[i].section(QLatin1Char('\r'), 0, 0);
        if (!text.isEmpty())
            lines.append({static_cast<int>(i + 1), text});
    }
    return true;
}

// What every line shares: the request (its text set line by line) and the
// writers' options.
struct Job {
    engine::cut::Request request;
    int jpegRate;
    bool progressive;
    int pngLevel;
};

// The encoded file, or false with the reason.
bool encode(const engine::image::Image& picture, Format format, const Job& job, QByteArray& data,
            QString& why) {
    switch (format) {
    case Format::Bmp:
        return engine::codecs::encodeBmp(picture, data, &why);
    case Format::Jpeg:
        return engine::codecs::encodeJpeg(picture, job.jpegRate, job.progressive, data, &why);
    case Format::Png:
        break;
    }
    return engine::codecs::encodePng(picture, job.pngLevel, data, &why);
}

// Renders and writes one text; false with the reason.
bool cutOne(const CutOptions& o, Job& job, const Line& line, const CutStreams& io, QString& target,
            QString& why) {
    target = line.number ? OutputName(o.output, line.number) : o.output;
    job.request.text = line.text;
    engine::image::Image picture;
    QSize size;
    if (!engine::cut::render(job.request, picture, size)) {
        why = Cut::tr("the image would be %1 x %2 pixels, over 32,767 a side or 256 MiB")
                  .arg(size.width())
                  .arg(size.height());
        return false;
    }
    if (picture.isNull()) {
        why = Cut::tr("the text gives an empty image");
        return false;
    }
    QByteArray data;
    if (!encode(picture, o.format, job, data, why))
        return false;
    if (target == QLatin1String("-")) {
        if (io.out->write(data) == data.size())
            return true;
        why = Cut::tr("standard output could not be written");
        return false;
    }
    return engine::files::writeFileAtomically(target, data, &why);
}

} // namespace

int RunCut(const QStringList& arguments, const CutStreams& io) {
    Messages messages(io);
    CutOptions o;
    QString error;
    if (!ParseOptions(arguments, o, error)) {
        messages.say(error);
        messages.say(Cut::tr("see velmora-cut --help"));
        return UsageError;
    }
    if (o.help || o.version) {
        io.out->write(
            (o.help
                 ? HelpText()
                 : QStringLiteral("velmora-cut %1\n").arg(QCoreApplication::applicationVersion()))
                .toUtf8());
        return AllWritten;
    }
    if (!o.settings.isEmpty() && !QFile(o.settings).open(QIODevice::ReadOnly)) {
        messages.say(Cut::tr("%1: the settings file cannot be read").arg(o.settings));
        return InputUnreadable;
    }
    ReadSettings(o.settings);

    const QString face = o.font.isEmpty() ? gFontName : o.font;
    if (QFileInfo(face).isFile() && !engine::text::isFontFile(face)) {
        messages.say(Cut::tr("%1: the font file cannot be read").arg(face));
        return InputUnreadable;
    }
    Job job{
        {QString(),
         {face, o.size.value_or(gFontSize), o.bold || gFontTick != 0, o.italic || gFontItalic != 0},
         engine::cut::tartan(),
         o.color.value_or(static_cast<engine::image::COLORREF>(gBackColor)),
         o.smooth,
         o.transparent},
        o.jpegRate.value_or(gJpegRate),
        o.progressive || gJpegPrgrs != 0,
        o.pngLevel.value_or(gPngRate)};
    if (!o.pattern.isEmpty() && engine::codecs::loadPattern(o.pattern, job.request.pattern) !=
                                    engine::codecs::PatternLoad::Loaded) {
        messages.say(Cut::tr("%1: the pattern picture cannot be read").arg(o.pattern));
        return InputUnreadable;
    }

    QList<Line> lines;
    if (o.batch.isEmpty())
        lines.append({0, o.text});
    else if (!readBatch(o.batch, io.in, lines)) {
        messages.say(Cut::tr("%1: the batch file cannot be read").arg(o.batch));
        return InputUnreadable;
    }
    messages.expect(lines.size());
    int failed = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString target, why;
        if (!cutOne(o, job, lines[i], io, target, why)) {
            ++failed;
            messages.say(lines[i].number
                             ? Cut::tr("line %1: %2: %3").arg(lines[i].number).arg(target, why)
                             : Cut::tr("%1: %2").arg(target, why));
        }
        messages.progress(i + 1);
    }
    messages.finish();
    if (failed && lines.size() > 1)
        messages.say(Cut::tr("%1 of %2 images were not written").arg(failed).arg(lines.size()));
    return failed ? OutputFailed : AllWritten;
}

} // namespace cli
