#include "CutCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <QFileDevice>
#include <QFileInfo>
#include <QStringDecoder>

#include "cli/CutOptions.h"
#include "engine/codecs/Codecs.h"
#include "engine/cut/Drawing.h"
#include "engine/cut/Render.h"
#include "engine/cut/Tartan.h"
#include "engine/files/AtomicFile.h"
#include "engine/files/NativeName.h"
#include "engine/files/ReadFile.h"
#include "engine/settings/Settings.h"
#include "engine/text/GlyphEngine.h"
#include "engine/text/TextDrawing.h"

namespace cli {
namespace {

// No batch or settings file of the program's own comes near these.
constexpr qint64 MaxBatchBytes = 64LL * 1024 * 1024;
// A pattern of a megapixel or more, whose decoding costs far more than
// measuring the letters first.
constexpr qint64 BigPattern = 1 << 20;
constexpr qint64 MaxSettingsBytes = 16LL * 1024 * 1024;

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
        // File names in the message go out as the bytes they were given as.
        m_err->write(
            engine::files::encodeNativeName(QStringLiteral("velmora-cut: %1\n").arg(message)));
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

// One text per line; CR LF, LF and CR each end a line, as in the settings
// file, and a UTF-8 byte order mark is skipped. Empty lines are skipped but keep
// their number, said so that the gap in the names is no surprise; a line that
// is not UTF-8 is reported by its number and left out.
void splitBatch(const QByteArray& data, QList<Line>& lines, Messages& messages, int& bad) {
    QByteArrayView rest(data);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    for (int number = 1; !rest.isEmpty(); ++number) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != '\r' && rest[end] != '\n')
            ++end;
        const QByteArrayView line = rest.first(end);
        if (end < rest.size())
            end += rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n' ? 2 : 1;
        rest = rest.sliced(end);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(line);
        if (utf8.hasError()) {
            ++bad;
            messages.say(Cut::tr("line %1: not UTF-8 text, left out").arg(number));
        } else if (text.isEmpty()) {
            messages.say(Cut::tr("line %1 is empty: no image").arg(number));
        } else {
            lines.append({number, text});
        }
    }
}

// What every line shares: the request (its text set line by line) and the
// writers' options.
struct Job {
    engine::cut::Request request;
    engine::codecs::EncodeOptions options;
};

// Why an image of that size is refused, or none is made at all.
QString refusal(QSize size, bool refused) {
    // A size no picture can hold is refused before any letter is measured.
    if (refused)
        return size.width() == 0
                   ? Cut::tr("letters of that size would be over 32,767 pixels tall")
                   : Cut::tr("the image would be %1 x %2 pixels, over 32,767 a side or 256 MiB")
                         .arg(size.width())
                         .arg(size.height());
    return Cut::tr("the text gives an empty image");
}

// Renders and encodes one text, as pixels or as shapes; false with the reason.
bool cutOne(const CutOptions& o, Job& job, const Line& line, QByteArray& data, QString& why) {
    job.request.text = line.text;
    if (const auto* vector = std::get_if<engine::codecs::VectorFormat>(&o.format)) {
        engine::cut::Drawing drawing;
        const bool drawn = engine::cut::draw(job.request, drawing);
        if (!drawn || drawing.size.isEmpty()) {
            why = refusal(drawing.size, !drawn);
            return false;
        }
        return engine::codecs::encodeVector(drawing, *vector, job.options.pngLevel, data, &why);
    }
    // Only written: the rows go to the writer as they are made.
    engine::image::Rows picture;
    QSize size;
    const bool rendered = engine::cut::render(job.request, picture, size);
    if (!rendered || picture.height == 0) {
        why = refusal(size, !rendered);
        return false;
    }
    return engine::codecs::encode(picture, std::get<engine::codecs::ImageFormat>(o.format),
                                  job.options, data, &why);
}

// The one text's file, or standard output.
bool writeOne(const QString& target, const QByteArray& data, const CutStreams& io, QString& why) {
    if (target == QLatin1String("-")) {
        // Buffered bytes count only once they are out: a full disk shows at the flush.
        auto* file = qobject_cast<QFileDevice*>(io.out);
        if (io.out->write(data) == data.size() && (!file || file->flush()))
            return true;
        why = Cut::tr("standard output could not be written");
        return false;
    }
    return engine::files::writeFileAtomically(target, data, &why);
}

struct Outcome {
    bool done = false;
    bool written = false;
    QString target;
    QString why;
};

// A batch's files become durable and take their names this many at a time
// (one flush of the disk for the group rather than one for each file), or
// after this long, so that the progress bar and the messages keep moving.
constexpr size_t GroupOfFiles = 32;
constexpr auto CommitAfter = std::chrono::milliseconds(250);

// Renders and writes the lines on `jobs` threads, each with its own copy of
// the request (and so its own faces). This thread puts a batch's files in
// place in groups while the others draw on, and reports: failures in line
// order as soon as every line before them is done. Returns the failures.
int cutAll(const CutOptions& o, const Job& job, const QList<Line>& lines, const CutStreams& io,
           Messages& messages) {
    std::vector<Outcome> outcomes(static_cast<size_t>(lines.size()));
    std::mutex lock;
    std::condition_variable changed;
    std::atomic<qsizetype> next{0};
    std::vector<engine::files::StagedFile> staged; // written, not yet in place
    std::vector<size_t> stagedLines;               // their lines
    int drawing = 0;                               // threads still at work
    const auto work = [&](Job own) {
        for (qsizetype i; (i = next++) < lines.size();) {
            const Line& line = lines[i];
            Outcome outcome;
            outcome.target = line.number ? outputName(o.output, line.number) : o.output;
            QByteArray data;
            engine::files::StagedFile file;
            outcome.written =
                cutOne(o, own, line, data, outcome.why) &&
                (line.number ? engine::files::stageFile(outcome.target, data, file, &outcome.why)
                             : writeOne(outcome.target, data, io, outcome.why));
            outcome.done = !outcome.written || file.fd < 0;
            const std::lock_guard<std::mutex> hold(lock);
            if (!outcome.done) {
                staged.push_back(std::move(file));
                stagedLines.push_back(static_cast<size_t>(i));
            }
            outcomes[static_cast<size_t>(i)] = std::move(outcome);
            changed.notify_all();
        }
        if (lines.size() > 1) // a thread of its own
            engine::text::releaseThreadFaces();
        const std::lock_guard<std::mutex> hold(lock);
        --drawing;
        changed.notify_all();
    };
    // Puts the staged files in place, the lock released meanwhile; their lines are done.
    const auto commit = [&](std::unique_lock<std::mutex>& hold) {
        std::vector<engine::files::StagedFile> files;
        std::vector<size_t> fileLines;
        files.swap(staged);
        fileLines.swap(stagedLines);
        hold.unlock();
        std::vector<QString> whys;
        const std::vector<bool> written = engine::files::commitStaged(files, &whys);
        hold.lock();
        for (size_t k = 0; k < files.size(); ++k) {
            Outcome& outcome = outcomes[fileLines[k]];
            outcome.written = written[k];
            outcome.why = whys[k];
            outcome.done = true;
        }
    };
    const int threads = static_cast<int>(std::min<qsizetype>(o.jobs, lines.size()));
    std::vector<std::thread> pool;
    // One line is drawn here: no thread to start and no faces to open again. A
    // batch is drawn on threads, one at least, so that this thread can show its
    // progress and put files in place.
    drawing = lines.size() == 1 ? 1 : threads;
    if (lines.size() == 1)
        work(job);
    else
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(work, job);
    int failed = 0;
    std::unique_lock<std::mutex> hold(lock);
    auto deadline = std::chrono::steady_clock::now() + CommitAfter;
    for (qsizetype reported = 0; reported < lines.size();) {
        Outcome& outcome = outcomes[static_cast<size_t>(reported)];
        changed.wait_until(hold, deadline, [&] {
            return outcome.done || staged.size() >= GroupOfFiles || (!drawing && !staged.empty());
        });
        if (!outcome.done) {
            if (!staged.empty())
                commit(hold);
            deadline = std::chrono::steady_clock::now() + CommitAfter;
            continue;
        }
        if (!outcome.written) {
            ++failed;
            const Line& line = lines[reported];
            messages.say(
                line.number
                    ? Cut::tr("line %1: %2: %3").arg(line.number).arg(outcome.target, outcome.why)
                    : Cut::tr("%1: %2").arg(outcome.target, outcome.why));
        }
        messages.progress(++reported);
    }
    hold.unlock();
    for (std::thread& t : pool)
        t.join();
    return failed;
}

// The window's settings file as defaults, read once whatever it is (a pipe
// too); without one, the window's first-start values.
bool readSettings(const QString& name, engine::settings::Settings& settings, QString& why) {
    if (name.isEmpty())
        return true;
    QByteArray data;
    if (!engine::files::readWholeFile(name, MaxSettingsBytes, data, &why))
        return false;
    settings = engine::settings::settingsFrom(engine::settings::Profile::fromBytes(data));
    return true;
}

// A font file that cannot be used is an input error; a family that is not
// installed draws with the font system's choice, said on standard error.
bool checkFont(const QString& name, const engine::text::FontSpec& font, Messages& messages) {
    if (!font.file.isEmpty() || engine::text::looksLikeFontFile(name)) {
        if (!font.file.isEmpty() && engine::text::isFontFile(font.file))
            return true;
        const QFileInfo file(name);
        const QString why = !font.file.isEmpty() && file.isReadable()
                                ? Cut::tr("it is no font file FreeType reads")
                            : file.isDir()  ? Cut::tr("it is a folder")
                            : file.exists() ? Cut::tr("it may not be read")
                                            : Cut::tr("there is no such file");
        messages.say(Cut::tr("%1: the font file cannot be read: %2").arg(name, why));
        return false;
    }
    if (!engine::text::isInstalled(font))
        messages.say(Cut::tr("no font family \"%1\" is installed; drawing with \"%2\"")
                         .arg(engine::text::requestName(font), engine::text::faceName(font)));
    return true;
}

} // namespace

int runCut(const QStringList& arguments, const CutStreams& io) {
    Messages messages(io);
    CutOptions o;
    QString error;
    if (!parseOptions(arguments, o, error)) {
        messages.say(error);
        messages.say(Cut::tr("see velmora-cut --help"));
        return UsageError;
    }
    if (o.help || o.version) {
        io.out->write(
            (o.help
                 ? helpText()
                 : QStringLiteral("velmora-cut %1\n").arg(QCoreApplication::applicationVersion()))
                .toUtf8());
        return AllWritten;
    }
    if (o.output == QLatin1String("-") && io.outIsTerminal) {
        messages.say(Cut::tr("-o - writes a PNG picture, not for a terminal: "
                             "redirect it (> picture.png) or give -o FILE"));
        return UsageError;
    }
    // A PNG's rows (an SVG's or PDF's picture's too) are compressed on the
    // other cores as well: their threads start while the letters are drawn.
    if (const auto* image = std::get_if<engine::codecs::ImageFormat>(&o.format);
        !image || *image == engine::codecs::ImageFormat::Png)
        engine::codecs::startCompressorThreads();
    QString why;
    engine::settings::Settings s;
    if (!readSettings(o.settings, s, why)) {
        messages.say(Cut::tr("%1: the settings file cannot be read: %2").arg(o.settings, why));
        return InputUnreadable;
    }
    if (o.textFromSettings && s.text.isEmpty()) {
        messages.say(
            Cut::tr("%1 holds no text: give the letters to cut after the options").arg(o.settings));
        messages.say(Cut::tr("see velmora-cut --help"));
        return UsageError;
    }
    const QString face = o.font.isEmpty() ? s.fontFamily : o.font;
    const engine::text::FontSpec font = engine::text::fontRequest(
        face, o.size.value_or(s.pointSize), o.bold || s.bold, o.italic || s.italic);
    if (!checkFont(face, font, messages))
        return InputUnreadable;
    Job job{{QString(), font, std::make_shared<const engine::image::Image>(engine::cut::tartan()),
             o.color.value_or(s.groundColor), o.smooth || s.smooth,
             // The window's transparent ground is for the formats that hold one.
             o.transparent || (s.transparent && engine::codecs::holdsTransparency(o.format))},
            {o.jpegRate.value_or(s.jpegRate), o.progressive || s.jpegProgressive,
             o.pngLevel.value_or(s.pngLevel)}};
    if (!o.pattern.isEmpty()) {
        // One image shows only the top-left part of a pattern larger than
        // itself: a big picture is decoded only that far.
        const auto shown = [&](QSize picture) {
            if (!o.batch.isEmpty() || qint64(picture.width()) * picture.height() < BigPattern)
                return QSize();
            return engine::text::Letters(o.textFromSettings ? s.text : o.text, font,
                                         job.request.smooth)
                .size();
        };
        engine::image::Image picture;
        if (!engine::codecs::loadPattern(o.pattern, picture, &why, shown)) {
            messages.say(Cut::tr("%1: the pattern picture cannot be read: %2").arg(o.pattern, why));
            return InputUnreadable;
        }
        job.request.pattern = std::make_shared<const engine::image::Image>(std::move(picture));
    }

    QList<Line> lines;
    int unreadable = 0;
    if (o.batch.isEmpty()) {
        lines.append({0, o.textFromSettings ? s.text : o.text});
    } else {
        QByteArray data;
        if (o.batch == QLatin1String("-"))
            data = io.in->readAll();
        else if (!engine::files::readWholeFile(o.batch, MaxBatchBytes, data, &why)) {
            messages.say(Cut::tr("%1: the batch file cannot be read: %2").arg(o.batch, why));
            return InputUnreadable;
        }
        splitBatch(data, lines, messages, unreadable);
    }
    messages.expect(lines.size());
    const int failed = cutAll(o, job, lines, io, messages);
    messages.finish();
    if (failed && lines.size() > 1)
        messages.say(Cut::tr("%1 of %2 images were not written").arg(failed).arg(lines.size()));
    return failed ? OutputFailed : unreadable ? InputUnreadable : AllWritten;
}

} // namespace cli
