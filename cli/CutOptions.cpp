#include "CutOptions.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <thread>
#include <vector>

#include <QCommandLineParser>
#include <QFileInfo>

#include "engine/settings/Ranges.h"

namespace cli {
namespace {

// "%%" (a percent sign) or "%d", "%Nd", "%0Nd" (the line number, N wide) in an
// output name.
struct Marker {
    qsizetype start, end;
    bool percent;
    QStringView width;
};

std::vector<Marker> markersIn(QStringView name) {
    std::vector<Marker> found;
    const auto digit = [&name](qsizetype i) { return name[i] >= u'0' && name[i] <= u'9'; };
    for (qsizetype i = 0; i + 1 < name.size(); ++i) {
        if (name[i] != u'%')
            continue;
        if (name[i + 1] == u'%') {
            found.push_back({i, i + 2, true, {}});
            ++i;
            continue;
        }
        qsizetype end = name[i + 1] == u'0' ? i + 2 : i + 1;
        const qsizetype digits = end;
        while (end < name.size() && digit(end))
            ++end;
        if (end < name.size() && name[end] == u'd') {
            found.push_back({i, end + 1, false, name.sliced(digits, end - digits)});
            i = end;
        }
    }
    return found;
}
// No line number needs more digits; a wider one would only fill memory.
constexpr int MaxWidth = 20;

std::optional<int> intIn(const QString& text, const engine::settings::Range<int>& range) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || !range.contains(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<engine::image::COLORREF> ParseColor(const QString& text) {
    bool ok = false;
    if (text.startsWith(QLatin1Char('#'))) {
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (!ok || text.size() != 7)
            return std::nullopt;
        return engine::image::COLORREF((rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
    }
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFF)
        return std::nullopt;
    return engine::image::COLORREF(value);
}

std::optional<Format> FormatOfName(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return Format::Bmp;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return Format::Jpeg;
    if (suffix == QLatin1String("png"))
        return Format::Png;
    return std::nullopt;
}

QString OutputName(const QString& pattern, int line) {
    QString name;
    qsizetype from = 0;
    for (const Marker& marker : markersIn(pattern)) {
        name += pattern.mid(from, marker.start - from);
        if (marker.percent)
            name += QLatin1Char('%');
        else
            name += QStringLiteral("%1").arg(line, marker.width.toInt(), 10, QLatin1Char('0'));
        from = marker.end;
    }
    return name + pattern.mid(from);
}

bool HasLineNumber(const QString& pattern) {
    const std::vector<Marker> markers = markersIn(pattern);
    return std::any_of(markers.begin(), markers.end(),
                       [](const Marker& marker) { return !marker.percent; });
}

namespace {

// How many single-letter edits turn one name into the other.
qsizetype editDistance(QStringView a, QStringView b) {
    std::vector<qsizetype> row(static_cast<size_t>(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = static_cast<qsizetype>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j < row.size(); ++j) {
            const qsizetype above = row[j];
            const bool same = a[i - 1] == b[static_cast<qsizetype>(j) - 1];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

// The parser's own complaints, said as the command says everything else: an
// unknown option with the nearest known one, an option without its value.
std::optional<QString> optionMistake(const QStringList& arguments,
                                     const QList<QCommandLineOption>& options) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(u'-') || argument == QLatin1String("-"))
            continue;
        const bool isLong = argument.startsWith(QLatin1String("--"));
        const QString name = isLong ? argument.mid(2).section(u'=', 0, 0) : argument.mid(1, 1);
        const auto known = std::find_if(options.begin(), options.end(), [&](const auto& option) {
            return option.names().contains(name);
        });
        if (known == options.end()) {
            const QString given = isLong ? QStringLiteral("--") + name : argument;
            // "-font" is most likely "--font" with one dash.
            const QString typed = isLong ? name : argument.mid(1).section(u'=', 0, 0);
            QString nearest;
            qsizetype best = 3; // farther than two edits is no likely slip
            for (const QCommandLineOption& option : options)
                for (const QString& candidate : option.names())
                    if (const qsizetype d = editDistance(typed, candidate);
                        candidate.size() > 1 && d < best) {
                        best = d;
                        nearest = candidate;
                    }
            return nearest.isEmpty()
                       ? Cut::tr("unknown option %1").arg(given)
                       : Cut::tr("unknown option %1: did you mean --%2?").arg(given, nearest);
        }
        if (known->valueName().isEmpty()) {
            if (isLong && argument.contains(u'='))
                return Cut::tr("--%1 takes no value").arg(name);
            continue;
        }
        // "--font=NAME" and "-oOUT" hold their value; otherwise the next argument is it.
        if (isLong ? argument.contains(u'=') : argument.size() > 2)
            continue;
        if (++i >= arguments.size())
            return Cut::tr("%1 needs a value, as in %1 %2").arg(argument, known->valueName());
    }
    return std::nullopt;
}

} // namespace

bool ParseOptions(const QStringList& arguments, CutOptions& o, QString& error) {
    QCommandLineParser parser;
    const QCommandLineOption output(QStringList{"o", "output"}, QString(), "OUT"),
        batch("batch", QString(), "FILE"), settings("settings", QString(), "INI"),
        font("font", QString(), "NAME"), size("size", QString(), "PT"), bold("bold"),
        italic("italic"), pattern("pattern", QString(), "FILE"), color("color", QString(), "COLOR"),
        jpegRate("jpeg-rate", QString(), "N"), progressive("progressive"),
        pngLevel("png-level", QString(), "N"), transparent("transparent"), smooth("smooth"),
        jobs("jobs", QString(), "N"), help(QStringList{"h", "help"}), version("version");
    const QList<QCommandLineOption> all{output,   batch,       settings, font,        size,
                                        bold,     italic,      pattern,  color,       jpegRate,
                                        progressive, pngLevel, transparent, smooth, jobs,
                                        help,     version};
    parser.addOptions(all);
    if (const std::optional<QString> mistake = optionMistake(arguments, all)) {
        error = *mistake;
        return false;
    }
    if (!parser.parse(QStringList{QStringLiteral("velmora-cut")} + arguments)) {
        error = parser.errorText();
        return false;
    }
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    if (o.help || o.version)
        return true;
    const auto fail = [&error](const QString& why) {
        error = why;
        return false;
    };
    o.output = parser.value(output);
    o.batch = parser.value(batch);
    o.settings = parser.value(settings);
    o.font = parser.value(font);
    o.pattern = parser.value(pattern);
    o.bold = parser.isSet(bold);
    o.italic = parser.isSet(italic);
    o.progressive = parser.isSet(progressive);
    o.transparent = parser.isSet(transparent);
    o.smooth = parser.isSet(smooth);
    const QStringList texts = parser.positionalArguments();
    if (o.output.isEmpty())
        return fail(Cut::tr("no output given (-o OUT)"));
    // Without a text, a settings file gives the text the window last drew.
    o.textFromSettings = !parser.isSet(batch) && texts.isEmpty() && parser.isSet(settings);
    if (parser.isSet(batch) ? !texts.isEmpty()
                            : texts.size() > 1 || (texts.isEmpty() && !o.textFromSettings))
        return fail(parser.isSet(batch) ? Cut::tr("a text and --batch cannot be given together")
                                        : Cut::tr("give exactly one text, or --batch FILE"));
    if (!texts.isEmpty())
        o.text = texts.first();
    if (!texts.isEmpty() && o.text.isEmpty())
        return fail(Cut::tr("the text is empty: give the letters to cut, as in "
                            "velmora-cut -o letters.png Sample"));
    if (o.output != QLatin1String("-") && QFileInfo(o.output).isDir())
        return fail(Cut::tr("%1 is a folder: give a file name in it, as in %1/letters.png")
                        .arg(o.output));
    if (parser.isSet(size)) {
        bool ok = false;
        const float pt = parser.value(size).toFloat(&ok);
        if (!ok || !std::isfinite(pt) || pt <= 0)
            return fail(Cut::tr("--size needs a positive number of points"));
        o.size = pt;
    }
    if (parser.isSet(color) && !(o.color = ParseColor(parser.value(color))))
        return fail(Cut::tr("--color needs #RRGGBB or a decimal colour value 0 to 16777215"));
    if (parser.isSet(jpegRate) &&
        !(o.jpegRate = intIn(parser.value(jpegRate), engine::settings::JpegRate)))
        return fail(Cut::tr("--jpeg-rate needs a whole number from 1 to 100"));
    if (parser.isSet(pngLevel) &&
        !(o.pngLevel = intIn(parser.value(pngLevel), engine::settings::PngLevel)))
        return fail(Cut::tr("--png-level needs 0, 1 or 2"));
    o.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (parser.isSet(jobs) && !(o.jobs = intIn(parser.value(jobs), {1, 256, 1}).value_or(0)))
        return fail(Cut::tr("--jobs needs a whole number from 1 to 256"));
    if (o.output == QLatin1String("-")) {
        if (parser.isSet(batch))
            return fail(Cut::tr("--batch writes files: -o - takes one text"));
        o.format = Format::Png;
    } else if (const auto format = FormatOfName(o.output)) {
        o.format = *format;
    } else {
        return fail(
            Cut::tr("%1: the output name must end in .bmp, .jpg, .jpeg or .png").arg(o.output));
    }
    // The name goes first by concatenation: "%0Nd" in the message is no place marker.
    if (parser.isSet(batch) && !HasLineNumber(o.output))
        return fail(o.output + QStringLiteral(": ") +
                    Cut::tr("a batch output name needs %d or %0Nd for the line number"));
    for (const Marker& marker : parser.isSet(batch) ? markersIn(o.output) : std::vector<Marker>{})
        if (marker.width.size() > 2 || marker.width.toInt() > MaxWidth)
            return fail(o.output + QStringLiteral(": ") +
                        Cut::tr("a line number may be at most %1 digits wide").arg(MaxWidth));
    if (o.transparent && o.format != Format::Png)
        return fail(Cut::tr("--transparent needs PNG output"));
    return true;
}

QString HelpText() {
    return Cut::tr(
        "Usage: velmora-cut [options] -o OUT [TEXT]\n"
        "  or:  velmora-cut [options] -o TEMPLATE --batch FILE\n"
        "\n"
        "Makes cut letters: TEXT drawn in the font, its letters filled with the\n"
        "tiled pattern, every other pixel the background colour. The image is\n"
        "exactly as large as the text. OUT ends in .bmp, .jpg, .jpeg or .png;\n"
        "-o - writes PNG to standard output. Without TEXT, --settings gives\n"
        "the text the window last drew.\n"
        "\n"
        "Options:\n"
        "  --batch FILE       one text per line (UTF-8; \"-\" reads standard input);\n"
        "                     %d or %0Nd in TEMPLATE becomes the line number\n"
        "  --font NAME        font family, or a font file\n"
        "  --size PT          size in points (96 dots per inch)\n"
        "  --bold, --italic   bold and italic\n"
        "  --pattern FILE     pattern picture: BMP, ICO, JPEG, GIF or PNG\n"
        "                     (default: the built-in tartan)\n"
        "  --color COLOR      background colour, #RRGGBB or decimal 0x00BBGGRR\n"
        "  --jpeg-rate N      JPEG compression rate 1 to 100 (higher is smaller)\n"
        "  --progressive      progressive JPEG\n"
        "  --png-level N      PNG level: 1 fastest, 0 balanced, 2 smallest\n"
        "  --transparent      transparent background (PNG only)\n"
        "  --smooth           antialiased letter edges\n"
        "  --settings INI     defaults from a Velmora.Ini settings file (never written)\n"
        "  --jobs N           lines of a batch rendered at once (default: the cores)\n"
        "  -h, --help         this help\n"
        "  --version          the version\n"
        "\n"
        "Exit status:\n"
        "  0 all written, 1 usage error, 2 an input could not be read,\n"
        "  3 an output could not be written or was refused.\n");
}

} // namespace cli
