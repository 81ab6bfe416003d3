#include "CutOptions.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <span>
#include <thread>
#include <type_traits>
#include <variant>
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

using engine::settings::Range;

// Lines of a batch drawn at once.
constexpr Range<int> Jobs{1, 256, 1};
// A decimal colour as the settings file holds it, 0x00BBGGRR; the system
// colours (0x80000000 + n) are the window's alone.
constexpr Range<qlonglong> ColorValue{0, 0xFFFFFF, 0};

// A word an option takes for one of its numbers.
struct Word {
    const char* name;
    int value;
};
// In order of speed; the numbers are the settings file's.
constexpr Word PngWords[] = {{"fastest", 1}, {"balanced", 0}, {"smallest", 2}};

// Where an option's value goes; the field's type says how the value is read.
using Field = std::variant<bool CutOptions::*, QString CutOptions::*, int CutOptions::*,
                           std::optional<int> CutOptions::*, std::optional<float> CutOptions::*,
                           std::optional<engine::image::COLORREF> CutOptions::*>;

// One option, the only place it is named: its one-letter name ("" for none),
// its value's name ("" for a switch) and its --help line, where %1 and %2
// become the ends of its range, or %1 the words it takes. A new line in the
// help is indented under the first.
struct Option {
    const char* name;
    const char* letter;
    const char* value;
    const char* help;
    Field field;
    std::optional<Range<int>> range = std::nullopt;
    std::span<const Word> words = {};
};

constexpr Option Options[] = {
    {"output", "o", "OUT", QT_TRANSLATE_NOOP("Cut", "the image's file, or TEMPLATE with --batch"),
     &CutOptions::output},
    {"batch", "", "FILE",
     QT_TRANSLATE_NOOP("Cut", "one text per line (UTF-8; \"-\" reads standard input);\n"
                              "%d or %0Nd in TEMPLATE becomes the line number"),
     &CutOptions::batch},
    {"font", "", "NAME", QT_TRANSLATE_NOOP("Cut", "font family, or a font file"),
     &CutOptions::font},
    {"size", "", "PT", QT_TRANSLATE_NOOP("Cut", "size in points (96 dots per inch)"),
     &CutOptions::size},
    {"bold", "", "", QT_TRANSLATE_NOOP("Cut", "bold letters"), &CutOptions::bold},
    {"italic", "", "", QT_TRANSLATE_NOOP("Cut", "italic letters"), &CutOptions::italic},
    {"pattern", "", "FILE",
     QT_TRANSLATE_NOOP("Cut", "pattern picture: BMP, ICO, JPEG, GIF or PNG\n"
                              "(default: the built-in tartan)"),
     &CutOptions::pattern},
    {"color", "", "COLOR",
     QT_TRANSLATE_NOOP("Cut", "background colour, #RRGGBB or decimal 0x00BBGGRR"),
     &CutOptions::color},
    {"jpeg-rate", "", "N",
     QT_TRANSLATE_NOOP("Cut", "JPEG compression rate %1 to %2 (higher is smaller)"),
     &CutOptions::jpegRate, engine::settings::JpegRate},
    {"progressive", "", "", QT_TRANSLATE_NOOP("Cut", "progressive JPEG"), &CutOptions::progressive},
    {"png-level", "", "LEVEL", QT_TRANSLATE_NOOP("Cut", "PNG level: %1"), &CutOptions::pngLevel,
     engine::settings::PngLevel, PngWords},
    {"transparent", "", "", QT_TRANSLATE_NOOP("Cut", "transparent background (PNG, SVG, PDF)"),
     &CutOptions::transparent},
    {"smooth", "", "", QT_TRANSLATE_NOOP("Cut", "antialiased letter edges"), &CutOptions::smooth},
    {"settings", "", "INI",
     QT_TRANSLATE_NOOP("Cut", "defaults from a Velmora.Ini settings file (never written)"),
     &CutOptions::settings},
    {"jobs", "", "N",
     QT_TRANSLATE_NOOP("Cut", "lines of a batch rendered at once, %1 to %2\n"
                              "(default: the cores)"),
     &CutOptions::jobs, Jobs},
    {"help", "h", "", QT_TRANSLATE_NOOP("Cut", "this help"), &CutOptions::help},
    {"version", "", "", QT_TRANSLATE_NOOP("Cut", "the version"), &CutOptions::version},
};
// A switch has no value's name and every other option has one; a whole number has its range.
static_assert(std::all_of(std::begin(Options), std::end(Options), [](const Option& option) {
    const bool isSwitch = std::holds_alternative<bool CutOptions::*>(option.field);
    const bool isWhole = std::holds_alternative<int CutOptions::*>(option.field) ||
                         std::holds_alternative<std::optional<int> CutOptions::*>(option.field);
    return (*option.value == '\0') == isSwitch && isWhole == option.range.has_value();
}));

// The option whose value goes to `field`.
const Option& optionFor(const Field& field) {
    return *std::find_if(std::begin(Options), std::end(Options),
                         [&field](const Option& option) { return option.field == field; });
}

QString flagOf(const Option& option) {
    return QStringLiteral("--") + QLatin1String(option.name);
}

// "fastest (1), balanced (0), smallest (2)"
QString wordList(const Option& option) {
    QStringList words;
    for (const Word& word : option.words)
        words.append(QStringLiteral("%1 (%2)").arg(QLatin1String(word.name)).arg(word.value));
    return words.join(Cut::tr(", ", "between the words an option takes"));
}

QString helpLine(const Option& option) {
    const QString help = Cut::tr(option.help);
    if (!option.words.empty())
        return help.arg(wordList(option));
    return option.range ? help.arg(option.range->low).arg(option.range->high) : help;
}

// One of the option's words, or a whole number in its range.
std::optional<int> wholeNumber(const Option& option, const QString& text) {
    for (const Word& word : option.words)
        if (text == QLatin1String(word.name))
            return word.value;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || !option.range->contains(value))
        return std::nullopt;
    return value;
}

// Six hex digits without their "#" (which a shell takes for a comment) are
// refused: read as a decimal they would give another colour without a word.
bool looksLikeHex(const QString& text) {
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
           });
}

QString colorMistake(const Option& option, const QString& text) {
    if (!looksLikeHex(text))
        return Cut::tr("%1 needs #RRGGBB or a decimal colour value %2 to %3")
            .arg(flagOf(option))
            .arg(ColorValue.low)
            .arg(ColorValue.high);
    bool decimal = false;
    text.toInt(&decimal);
    return decimal ? Cut::tr("%1 %2 could be hex or decimal: write \"#%2\" for the colour RRGGBB, "
                             "or 0%2 for the decimal 0x00BBGGRR")
                         .arg(flagOf(option), text)
                   : Cut::tr("%1 needs #RRGGBB: write \"#%2\"").arg(flagOf(option), text);
}

// Puts an option's value into its field; what is wrong with it where it does not fit.
std::optional<QString> take(const Option& option, const QString& text, CutOptions& o) {
    return std::visit(
        [&](auto field) -> std::optional<QString> {
            auto& target = o.*field;
            using T = std::remove_reference_t<decltype(target)>;
            if constexpr (std::is_same_v<T, bool>) {
                target = true;
            } else if constexpr (std::is_same_v<T, QString>) {
                target = text;
            } else if constexpr (std::is_same_v<T, std::optional<float>>) {
                bool ok = false;
                const float pt = text.toFloat(&ok);
                if (!ok || !std::isfinite(pt) || pt <= 0)
                    return Cut::tr("%1 needs a positive number of points").arg(flagOf(option));
                target = pt;
            } else if constexpr (std::is_same_v<T, std::optional<engine::image::COLORREF>>) {
                if (!(target = parseColor(text)))
                    return colorMistake(option, text);
            } else if (const std::optional<int> value = wholeNumber(option, text)) {
                target = *value;
            } else {
                return option.words.empty()
                           ? Cut::tr("%1 needs a whole number from %2 to %3")
                                 .arg(flagOf(option))
                                 .arg(option.range->low)
                                 .arg(option.range->high)
                           : Cut::tr("%1 needs one of %2").arg(flagOf(option), wordList(option));
            }
            return std::nullopt;
        },
        option.field);
}

} // namespace

std::optional<engine::image::COLORREF> parseColor(const QString& text) {
    bool ok = false;
    if (text.startsWith(QLatin1Char('#'))) {
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (!ok || text.size() != 7)
            return std::nullopt;
        return engine::image::COLORREF((rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
    }
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || !ColorValue.contains(value) || looksLikeHex(text))
        return std::nullopt;
    return engine::image::COLORREF(value);
}

std::optional<Format> formatOfName(const QString& name) {
    using engine::codecs::ImageFormat;
    using engine::codecs::VectorFormat;
    static const std::pair<const char*, Format> suffixes[] = {
        {"bmp", ImageFormat::Bmp},  {"jpg", ImageFormat::Jpeg}, {"jpeg", ImageFormat::Jpeg},
        {"png", ImageFormat::Png},  {"svg", VectorFormat::Svg}, {"pdf", VectorFormat::Pdf},
    };
    const QString suffix = QFileInfo(name).suffix().toLower();
    for (const auto& [known, format] : suffixes)
        if (suffix == QLatin1String(known))
            return format;
    return std::nullopt;
}

QString outputName(const QString& pattern, int line) {
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

bool hasLineNumber(const QString& pattern) {
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

bool parseOptions(const QStringList& arguments, CutOptions& o, QString& error) {
    const auto fail = [&error](const QString& why) {
        error = why;
        return false;
    };
    QList<QCommandLineOption> all;
    for (const Option& option : Options)
        all.append(QCommandLineOption(*option.letter ? QStringList{option.letter, option.name}
                                                     : QStringList{option.name},
                                      QString(), QLatin1String(option.value)));
    if (const std::optional<QString> mistake = optionMistake(arguments, all))
        return fail(*mistake);
    QCommandLineParser parser;
    parser.addOptions(all);
    if (!parser.parse(QStringList{QStringLiteral("velmora-cut")} + arguments))
        return fail(parser.errorText());
    const auto given = [&](const Field& field) {
        return parser.isSet(all[&optionFor(field) - Options]);
    };
    // Switches first: --help and --version answer whatever else is given.
    for (qsizetype i = 0; i < all.size(); ++i)
        if (all[i].valueName().isEmpty() && parser.isSet(all[i]))
            take(Options[i], {}, o);
    if (o.help || o.version)
        return true;
    o.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (qsizetype i = 0; i < all.size(); ++i)
        if (!all[i].valueName().isEmpty() && parser.isSet(all[i]))
            if (const std::optional<QString> why = take(Options[i], parser.value(all[i]), o))
                return fail(*why);
    const bool batch = given(&CutOptions::batch);
    const QStringList texts = parser.positionalArguments();
    if (o.output.isEmpty())
        return fail(Cut::tr("no output given (-o OUT)"));
    // Without a text, a settings file gives the text the window last drew.
    o.textFromSettings = !batch && texts.isEmpty() && given(&CutOptions::settings);
    if (batch && !texts.isEmpty())
        return fail(Cut::tr("a text and --batch cannot be given together"));
    // Words the shell split apart were most likely meant as one text.
    if (texts.size() > 1)
        return fail(Cut::tr("give exactly one text, or --batch FILE: quote words that make one "
                            "text, as in \"%1\"")
                        .arg(texts.join(u' ')));
    if (!batch && texts.isEmpty() && !o.textFromSettings)
        return fail(Cut::tr("give exactly one text, or --batch FILE"));
    if (!texts.isEmpty())
        o.text = texts.first();
    if (!texts.isEmpty() && o.text.isEmpty())
        return fail(Cut::tr("the text is empty: give the letters to cut, as in "
                            "velmora-cut -o letters.png Sample"));
    if (o.output != QLatin1String("-") && QFileInfo(o.output).isDir())
        return fail(Cut::tr("%1 is a folder: give a file name in it, as in %1/letters.png")
                        .arg(o.output));
    if (o.output == QLatin1String("-")) {
        if (batch)
            return fail(Cut::tr("--batch writes files: -o - takes one text"));
        o.format = engine::codecs::ImageFormat::Png;
    } else if (const auto format = formatOfName(o.output)) {
        o.format = *format;
    } else {
        return fail(
            Cut::tr("%1: the output name must end in .bmp, .jpg, .jpeg, .png, .svg or .pdf")
                .arg(o.output));
    }
    // The name goes first by concatenation: "%0Nd" in the message is no place marker.
    if (batch && !hasLineNumber(o.output))
        return fail(o.output + QStringLiteral(": ") +
                    Cut::tr("a batch output name needs %d or %0Nd for the line number"));
    for (const Marker& marker : batch ? markersIn(o.output) : std::vector<Marker>{})
        if (marker.width.size() > 2 || marker.width.toInt() > MaxWidth)
            return fail(o.output + QStringLiteral(": ") +
                        Cut::tr("a line number may be at most %1 digits wide").arg(MaxWidth));
    if (o.transparent && !engine::codecs::holdsTransparency(o.format))
        return fail(Cut::tr("--transparent needs PNG, SVG or PDF output"));
    return true;
}

QString helpText() {
    QStringList names;
    qsizetype width = 0;
    for (const Option& option : Options) {
        QString name = QStringLiteral("  ");
        if (*option.letter)
            name += QStringLiteral("-%1, ").arg(QLatin1String(option.letter));
        name += flagOf(option);
        if (*option.value)
            name += u' ' + QLatin1String(option.value);
        width = std::max(width, name.size());
        names.append(name);
    }
    // help2man reads a line indented to the help column as more of the help above.
    width += 3;
    QString text =
        Cut::tr("Usage: velmora-cut [options] -o OUT [TEXT]\n"
                "  or:  velmora-cut [options] -o TEMPLATE --batch FILE\n"
                "\n"
                "Makes cut letters: TEXT drawn in the font, its letters filled with the\n"
                "tiled pattern, every other pixel the background colour. The image is\n"
                "exactly as large as the text. OUT ends in .bmp, .jpg, .jpeg or .png;\n"
                "in .svg or .pdf, the letters are shapes that print sharp at any size.\n"
                "-o - writes PNG to standard output. Without TEXT, --settings gives\n"
                "the text the window last drew.\n");
    // Before the options, where the man page's own exit status section replaces it.
    text +=
        u'\n' + Cut::tr("Exit status: 0 all written, 1 usage error, 2 an input could not be read,\n"
                        "3 an output could not be written or was refused.\n");
    text += u'\n' + Cut::tr("Options:") + u'\n';
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QStringList lines = helpLine(Options[i]).split(u'\n');
        text += names[i].leftJustified(width) + lines.first() + u'\n';
        for (const QString& line : lines.sliced(1))
            text += QString(width, u' ') + line + u'\n';
    }
    return text;
}

} // namespace cli
