#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "cli/CutCommand.h"
#include "cli/CutOptions.h"
#include "engine/codecs/Codecs.h"
#include "support/TestFiles.h"
#include "support/TestSupport.h"

// Not the whole engine: its namespace cut would hide this file's cut().
namespace codecs = engine::codecs;
namespace image = engine::image;
using image::Image;

namespace {

struct Outcome {
    int status;
    QByteArray out;
    QString err;
};

// The command in this process, on buffers; standard output a terminal or not.
Outcome cut(const QStringList& arguments, const QByteArray& input = {}, bool terminal = false) {
    QByteArray in = input, out, err;
    QBuffer inBuffer(&in), outBuffer(&out), errBuffer(&err);
    inBuffer.open(QIODevice::ReadOnly);
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    const int status = cli::runCut(arguments, {&inBuffer, &outBuffer, &errBuffer, false, terminal});
    return {status, out, QString::fromUtf8(err)};
}

// A written picture; null where it cannot be read.
Image picture(const QString& path) {
    Image image;
    codecs::loadPicture(path, image);
    return image;
}

// The same picture from a byte stream.
Image picture(const QByteArray& data) {
    Image image;
    codecs::decodePicture(data, image);
    return image;
}

// The real command as a process, with no display and no platform named.
Outcome cutProcess(const QStringList& arguments, const QString& language = "C") {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
        env.remove(name);
    env.insert("LANG", language);
    env.insert("LC_ALL", language);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELMORA_CUT), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// A bash script run in `folder` with $CUT the command, in a UTF-8 locale.
Outcome cutScript(const QString& folder, const char* script) {
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUT", QStringLiteral(VELMORA_CUT));
    env.insert("LC_ALL", "C.UTF-8");
    shell.setProcessEnvironment(env);
    shell.setWorkingDirectory(folder);
    shell.start("bash", {"-c", script});
    EXPECT_TRUE(shell.waitForFinished(60000));
    return {shell.exitCode(), {}, QString::fromUtf8(shell.readAllStandardError())};
}

class CutCommand : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString file(const QString& name) { return dir.filePath(name); }
};

} // namespace

// Each option reaches the image or the file.
TEST_F(CutCommand, OptionsShapeTheOutput) {
    const auto make = [&](const QStringList& options, const QString& name) {
        const Outcome run = cut(options + QStringList{"-o", file(name), "Ab"});
        EXPECT_EQ(run.status, cli::AllWritten) << name.toStdString() << run.err.toStdString();
        return picture(file(name));
    };
    const Image plain = make({"--size", "30"}, "plain.png");
    EXPECT_EQ(plain.height(), make({"--size", "30"}, "plain.bmp").height());
    EXPECT_GT(make({"--size", "60"}, "big.png").height(), plain.height() * 3 / 2);
    EXPECT_NE(make({"--size", "30", "--bold"}, "bold.png"), plain);
    EXPECT_NE(make({"--size", "30", "--italic"}, "italic.png"), plain);
    EXPECT_EQ(make({"--size", "30", "--color", "#102030"}, "c.png").pixel(0, 0),
              image::rgb(16, 32, 48));
    EXPECT_EQ(make({"--size", "30", "--color", "3158064"}, "d.png").pixel(0, 0),
              image::rgb(48, 48, 48));
    EXPECT_EQ(plain.pixel(0, 0), image::rgb(0, 0, 0));
    EXPECT_EQ(make({"--size", "30", "--color", "16777215"}, "e.png").pixel(0, 0),
              image::rgb(255, 255, 255));
    EXPECT_EQ(make({"--size", "30", "--color", "0"}, "f.png"), plain);
    // Six digits are refused (they could be hex); a leading zero says "decimal".
    EXPECT_EQ(make({"--size", "30", "--color", "0203040"}, "g.png").pixel(0, 0),
              image::rgb(0x20, 0x19, 0x03));
    // An option given turns its setting on, whatever the settings file says.
    testsupport::writeAll(file("on.ini"), "[Font]\r\nSize=30\r\nItalic=-1\r\nTick=-1\r\n");
    const Image both = make({"--bold", "--italic", "--size", "30"}, "both.png");
    EXPECT_EQ(make({"--settings", file("on.ini"), "--bold", "--italic"}, "on1.png"), both);
    EXPECT_EQ(make({"--settings", file("on.ini")}, "on2.png"), both);
    Image red(4, 4, image::Format::Rgb32);
    red.fill(image::rgb(255, 0, 0));
    QByteArray bmp;
    ASSERT_TRUE(codecs::encodeBmp(red, bmp));
    testsupport::writeAll(file("red.bmp"), bmp);
    const Image pattern = make({"--size", "30", "--pattern", file("red.bmp")}, "r.png");
    int letters = 0;
    for (int y = 0; y < pattern.height(); ++y)
        for (int x = 0; x < pattern.width(); ++x)
            if (pattern.pixel(x, y) != image::rgb(0, 0, 0)) {
                ++letters;
                ASSERT_EQ(pattern.pixel(x, y), image::rgb(255, 0, 0)) << x << "," << y;
            }
    EXPECT_GT(letters, 20);
    // A pattern of over a megapixel, decoded only as far as the image shows
    // it, draws what the same picture read whole draws, to the last row and
    // column, which the full block reaches.
    Image noise(1100, 1000, image::Format::Rgb32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            reinterpret_cast<image::Rgb*>(noise.scanLine(y))[x] = image::rgb(x * 7, y * 13, x ^ y);
    QByteArray noisePng, noiseBmp;
    ASSERT_TRUE(codecs::encodePng(noise, 1, noisePng) && codecs::encodeBmp(noise, noiseBmp));
    testsupport::writeAll(file("noise.png"), noisePng);
    testsupport::writeAll(file("noise.bmp"), noiseBmp);
    for (const QStringList& options : {QStringList{"--size", "40"}, {"--size", "90", "--smooth"}}) {
        for (const char* kind : {"png", "bmp"})
            ASSERT_EQ(cut(options + QStringList{"--pattern", file(QString("noise.") + kind), "-o",
                                                file(QString("n.") + kind + ".png"), "Ab█"})
                          .status,
                      cli::AllWritten);
        EXPECT_EQ(picture(file("n.png.png")), picture(file("n.bmp.png")))
            << options.join(' ').toStdString();
    }
    // A batch over it draws each line as one image of that line draws it,
    // whatever the first line's size: empty, short or long.
    const QStringList lines{"", "W", "Cut letters over a big pattern █", "i"};
    for (const QStringList& order : {lines, QStringList{lines[2], lines[1], lines[3]}}) {
        ASSERT_EQ(cut({"--size", "40", "--pattern", file("noise.png"), "-o", file("b%d.png"),
                       "--batch", "-"},
                      order.join('\n').toUtf8())
                      .status,
                  cli::AllWritten);
        for (int line = 1; line <= order.size(); ++line) {
            if (order[line - 1].isEmpty())
                continue;
            ASSERT_EQ(cut({"--size", "40", "--pattern", file("noise.png"), "-o", file("one.png"),
                           order[line - 1]})
                          .status,
                      cli::AllWritten);
            EXPECT_EQ(picture(file(QString("b%1.png").arg(line))), picture(file("one.png")))
                << order[line - 1].toStdString();
        }
    }


    // JPEG rate and progressive, read from the files by ImageMagick.
    make({"--jpeg-rate", "1", "--progressive"}, "fine.jpg");
    make({"--jpeg-rate", "100"}, "coarse.jpg");
    const auto identify = [&](const QString& name) {
        return QString::fromLatin1(testfiles::runTool(
            "identify-im6.q16", {"-format", "%Q %[interlace]"}, {file(name)}));
    };
    EXPECT_EQ(identify("fine.jpg"), "100 JPEG");
    EXPECT_EQ(identify("coarse.jpg"), "1 None");

    // Every PNG level holds the same pixels; a word writes the bytes of its number.
    for (const auto& [level, word] :
         {std::pair{"0", "balanced"}, {"1", "fastest"}, {"2", "smallest"}}) {
        EXPECT_EQ(make({"--size", "30", "--png-level", level}, QString("l%1.png").arg(level)),
                  plain);
        make({"--size", "30", "--png-level", word}, QString("%1.png").arg(word));
        EXPECT_TRUE(testsupport::readAll(file(QString("%1.png").arg(word))) ==
                    testsupport::readAll(file(QString("l%1.png").arg(level))))
            << word;
    }

    // Transparent ground; smooth edges blend, and with transparency become alpha.
    const Image clear = make({"--size", "30", "--transparent"}, "t.png");
    EXPECT_EQ(image::alpha(clear.pixel(0, 0)), 0);
    // How many values a channel takes (red, or alpha).
    const auto tones = [](const Image& made, bool alpha) {
        QSet<int> seen;
        for (int y = 0; y < made.height(); ++y)
            for (int x = 0; x < made.width(); ++x)
                seen.insert(alpha ? image::alpha(made.pixel(x, y)) : image::red(made.pixel(x, y)));
        return seen.size();
    };
    const Image smooth = make({"--size", "30", "--smooth", "--color", "#FFFFFF"}, "s.png");
    EXPECT_GT(tones(smooth, false), tones(plain, false) + 8);
    EXPECT_GT(tones(make({"--size", "30", "--smooth", "--transparent"}, "st.png"), true), 8);
    EXPECT_EQ(tones(clear, true), 2);
}

TEST_F(CutCommand, ExitStatusSaysWhatWentWrong) {
    using cli::InputUnreadable, cli::OutputFailed, cli::UsageError;
    const QString a = file("a.png"), notes = file("notes.txt");
    testsupport::writeAll(notes, "text");
    testsupport::writeAll(file("broken.png"), "\x89PNG\r\n\x1a\n broken");
    // A megapixel PNG cut off at 60 %: one image decodes only its top rows, a
    // batch all of it; both refuse it alike.
    testfiles::writePng(file("big.png"), 1024, 1024, 2 /* RGB */, 8, false, [](int x, int y) {
        const unsigned noise = unsigned(x) * 73856093u ^ unsigned(y) * 19349663u; // no long runs
        return engine::image::rgb(noise & 255, noise >> 8 & 255, noise >> 16 & 255);
    });
    const QByteArray big = testsupport::readAll(file("big.png"));
    testsupport::writeAll(file("cut.png"), big.left(big.size() * 6 / 10));
    const struct {
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        {{"Ab"}, UsageError, "-o"},
        {{"-o", a}, UsageError, "one text"},
        {{"-o", a, "A", "B"}, UsageError, "one text"},
        {{"-o", a, "Cut", "letters"}, UsageError,
         "quote words that make one text, as in \"Cut letters\""},
        {{"-o", file("a%d.png"), "--batch", notes, "A"}, UsageError, "together"},
        {{"-o", file("a.gif"), "A"}, UsageError, ".bmp"},
        {{"-o", a, "--color", "#12345", "A"}, UsageError, "--color"},
        {{"-o", a, "--color", "203040", "A"}, UsageError,
         "write \"#203040\" for the colour RRGGBB, or 0203040"},
        {{"-o", a, "--color", "A0b0C0", "A"}, UsageError, "--color needs #RRGGBB: write \"#A0b0C0\""},
        {{"-o", a, "--size", "-3", "A"}, UsageError, "--size"},
        {{"-o", file("a.jpg"), "--jpeg-rate", "101", "A"}, UsageError,
         "--jpeg-rate needs a whole number from 1 to 100"},
        {{"-o", a, "--jobs", "257", "A"}, UsageError, "--jobs needs a whole number from 1 to 256"},
        {{"-o", a, "--png-level", "3", "A"}, UsageError, "--png-level"},
        {{"-o", a, "--png-level", "fast", "A"}, UsageError,
         "needs one of fastest (1), balanced (0), smallest (2)"},
        {{"-o", file("a.bmp"), "--transparent", "A"}, UsageError, "PNG"},
        {{"-o", file("a.jpg"), "--transparent", "A"}, UsageError, "PNG"},
        {{"-o", a, "--color", "16777216", "A"}, UsageError, "--color"},
        {{"-o", a, "--color", "-1", "A"}, UsageError, "--color"},
        {{"-o", file("a.jpg"), "--jpeg-rate", "0", "A"}, UsageError, "--jpeg-rate"},
        {{"-o", a, "--png-level", "-1", "A"}, UsageError, "--png-level"},
        {{"-o", a, "--batch", notes}, UsageError, "%d"},
        {{"-o", "-", "--batch", notes}, UsageError, "-o -"},
        {{"-o", a, "--nonsense", "A"}, UsageError, "unknown option --nonsense"},
        {{"-o", a, "--fnot", "X", "A"}, UsageError, "unknown option --fnot: did you mean --font?"},
        {{"-o", a, "-x", "A"}, UsageError, "unknown option -x"},
        {{"-o", a, "-font", "X", "A"}, UsageError, "unknown option -font: did you mean --font?"},
        {{"-o", a, "A", "--font"}, UsageError, "--font needs a value, as in --font NAME"},
        {{"-o", a, "--bold=yes", "A"}, UsageError, "--bold takes no value"},
        {{"-o", a, ""}, UsageError, "the text is empty"},
        {{"-o", dir.path(), "A"}, UsageError, "is a folder"},
        {{"-o", a, "--pattern", file("missing.bmp"), "A"}, InputUnreadable,
         "missing.bmp: the pattern picture cannot be read: "},
        {{"-o", a, "--pattern", notes, "A"}, InputUnreadable, "no BMP, ICO, JPEG, GIF or PNG"},
        {{"-o", a, "--pattern", file("broken.png"), "A"}, InputUnreadable, "cut off"},
        {{"-o", a, "--pattern", file("cut.png"), "A"}, InputUnreadable, "cut.png: the pattern picture cannot be read: the file ends early"},
        {{"-o", file("b%d.png"), "--pattern", file("cut.png"), "--batch", notes}, InputUnreadable, "the file ends early"},
        {{"-o", a, "--settings", file("missing.ini"), "A"}, InputUnreadable, "missing.ini"},
        {{"-o", file("a%d.png"), "--batch", file("missing.txt")}, InputUnreadable, "missing.txt"},
        {{"-o", a, "--font", notes, "A"}, InputUnreadable, "notes.txt: the font file cannot be read: it is no font file"},
        {{"-o", a, "--font", file("none.ttf"), "A"}, InputUnreadable, "no such file"},
        {{"-o", file("notes.txt/a.png"), "A"}, OutputFailed, "notes.txt/a.png"},
        {{"-o", a, "--size", "3000", "WWWWWWWWWW"}, OutputFailed, "over 32,767"},
        {{"-o", a, "--size", "1e30", "W"}, OutputFailed, "over 32,767"},
        {{"-o", file("adir/x.png"), "A"}, OutputFailed, "the folder does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome run = cut(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    }
    // A picture is not for a terminal.
    const Outcome terminal = cut({"-o", "-", "A"}, {}, true);
    EXPECT_EQ(terminal.status, cli::UsageError);
    EXPECT_TRUE(terminal.out.isEmpty());
    EXPECT_TRUE(terminal.err.contains("redirect")) << terminal.err.toStdString();
    // Nothing was written, not even half a file.
    EXPECT_EQ(QDir(dir.path()).entryList({"a*"}, QDir::Files), QStringList());
}

#ifndef Q_OS_WIN // bash, /dev/full and FIFOs
// Whatever a script hands the command, nothing is lost without a word. Each
// row: a shell line run in a fresh folder, the status it must end with, and
// what its message must say. $CUT is the command.
TEST(CutProcess, NothingIsLostSilently) {
    const struct {
        const char* script;
        int status;
        const char* says;
    } rows[] = {
        {"$CUT -o - A > /dev/full", 3, "standard output"},
        {"$CUT -o - A >&-", 3, "standard output"},
        {"$CUT --font /no/such/face.ttf -o a.png A", 2, "face.ttf"},
        {"$CUT --font 'No Such Family' -o a.png A && test -s a.png", 0, "No Such Family"},
        {"printf 'one\\rtwo\\rthree' | $CUT -o 'r%d.png' --batch - && test -s r3.png", 0, ""},
        {"printf 'ok\\n\\x82\\xa0\\nfine\\n' > b; $CUT -o 's%d.png' --batch b; s=$?;"
         " test -s s1.png -a -s s3.png -a ! -e s2.png && exit $s",
         2, "line 2"},
        {"$CUT -o 'p%d.png' --batch <(printf 'a\\nb\\n') && test -s p2.png", 0, ""},
        {"printf 'x\\n' | $CUT -o 'i%d.png' --batch /dev/stdin && test -s i1.png", 0, ""},
        {"printf 'a\\n\\nb\\n' | $CUT -o 'e%d.png' --batch - && test -s e3.png -a ! -e e2.png", 0,
         "line 2 is empty: no image"},
        {"$CUT --settings <(printf '[Data]\\r\\nBackColor=255\\r\\n') -o - A |"
         " convert-im6.q16 - -format '%[pixel:p{0,0}]' info: | grep -qx 'srgb(255,0,0)'",
         0, ""},
        {"mkfifo f; printf '[Font]\\r\\nSize=30\\r\\n' > f & $CUT --settings f -o a.png A", 0, ""},
        {"$CUT -o $'n\\xff.png' A && test -s $'n\\xff.png'", 0, ""},
        {"$CUT -o '💀.png' A && test -s '💀.png'", 0, ""},
        {"$CUT --size 20000 -o x.png ABCDEFGHIJKLMNOPQRSTUVWXYZ", 3, "32,767"},
        // Letters as shapes: each kind by its name, one image or a batch, refused alike.
        {"$CUT --transparent -o a.svg A && xmllint --noout a.svg && $CUT -o b.PDF A &&"
         " qpdf --check b.PDF >/dev/null && printf 'A\\nB\\n' | $CUT -o 'v%d.pdf' --batch - &&"
         " pdftoppm -r 96 -png v2.pdf p && test -s p-1.png",
         0, ""},
        {"$CUT --size 20000 -o x.svg ABCDEFGHIJKLMNOPQRSTUVWXYZ", 3, "over 32,767 a side"},
        {"$CUT -o x.pdf ''", 1, "the text is empty"},
        {"$CUT -o a.png A && mv a.png $'p\\xfe.png' && $CUT --pattern $'p\\xfe.png' -o b.png A", 0,
         ""},
        {"$CUT -o 'z%0999999999d.png' --batch /dev/null", 1, "at most 20 digits"},
        {"$CUT -o 'w%021d.png' --batch <(echo x)", 1, "at most 20 digits"},
        {"$CUT -o 'w%020d.png' --batch <(echo x) && test -s w00000000000000000001.png", 0, ""},
        // A line that is no text and a line too wide in one batch: the output's failure wins.
        {"printf 'ok\\n\\xff\\n%s\\n' $(printf 'W%.0s' {1..3000}) | $CUT --size 20 -o 'm%d.png'"
         " --batch -; s=$?; test -s m1.png -a ! -e m2.png -a ! -e m3.png && exit $s",
         3, "line 3"},
        // Names at the ends of each UTF-8 length and around the surrogates keep their bytes,
        // and so do the bytes no UTF-8 text holds.
        {"for n in $'\\x7f' $'\\xc2\\x80' $'\\xdf\\xbf' $'\\xe0\\xa0\\x80' $'\\xed\\x9f\\xbf'"
         " $'\\xed\\xa0\\x80' $'\\xed\\xbf\\xbf' $'\\xee\\x80\\x80' $'\\xef\\xbf\\xbf'"
         " $'\\xf0\\x90\\x80\\x80' $'\\xf4\\x8f\\xbf\\xbf' $'\\xf4\\x90\\x80\\x80' $'\\xc0\\x80';"
         " do $CUT -o \"$n.png\" A && test -s \"$n.png\" || exit 9; done",
         0, ""},
        {"$CUT -o z.png --batch /dev/null", 1, "z.png: a batch output name needs %d or %0Nd"},
        {"$CUT --size 1e30 -o y.png W", 3, "32,767 pixels tall"},
        {"printf '[PNG]\\r\\nRate=7\\r\\n' > s.ini; $CUT --settings s.ini -o a.png A", 0, ""},
        // Without a text the settings file gives the one the window last drew.
        {"printf '[Data]\\r\\nMongon=Hi\\r\\n' > s.ini; $CUT --settings s.ini -o a.png &&"
         " $CUT -o b.png Hi && cmp a.png b.png",
         0, ""},
        {"printf '[Data]\\r\\nMongon=\\r\\n' > s.ini; $CUT --settings s.ini -o a.png", 1,
         "s.ini holds no text"},
        // Root is told the folder takes no new files, others that it may not be written
        // to; where /proc is mounted read-only, that the file system is.
        {"$CUT -o /proc/x.png A", 3, "/proc/x.png: the f"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        QTemporaryDir dir;
        const Outcome run = cutScript(dir.path(), row.script);
        EXPECT_EQ(run.status, row.status) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.says))) << run.err.toStdString();
        // Qt cannot name files whose names are not UTF-8; the shell removes them.
        QProcess::execute("find", {dir.path(), "-mindepth", "1", "-delete"});
    }
}
#endif

// One text per line; a failing line is reported and the others are written.
TEST_F(CutCommand, BatchWritesEveryLineItCan) {
    QByteArray batch = "one\r\n\r\ntwo\n" + QByteArray(3000, 'W') + "\nfour";
    for (int i = 0; i < 40; ++i)
        batch +=
            QStringLiteral("\n行 %1 Cut").arg(i).toUtf8() + (i % 9 ? "" : QByteArray(3000, 'W'));
    const Outcome one =
        cut({"-o", file("one-%03d.png"), "--batch", "-", "--size", "20", "--jobs", "1"}, batch);
    EXPECT_EQ(one.status, cli::OutputFailed);
    EXPECT_TRUE(one.err.startsWith("velmora-cut: line 2 is empty: no image\nvelmora-cut: line 4:"))
        << one.err.toStdString();
    EXPECT_TRUE(QFile::exists(file("one-001.png")) && QFile::exists(file("one-005.png")));
    EXPECT_FALSE(QFile::exists(file("one-002.png")) || QFile::exists(file("one-004.png")));
    // On three threads: the same files, byte for byte, and the same report in line order.
    const Outcome three =
        cut({"-o", file("three-%03d.png"), "--batch", "-", "--size", "20", "--jobs", "3"}, batch);
    EXPECT_EQ(three.status, one.status);
    EXPECT_EQ(QString(three.err).replace("three-", "one-"), one.err);
    const QStringList written = QDir(dir.path()).entryList({"one-*"}, QDir::Files);
    EXPECT_EQ(written.size(), 3 + 35); // five of the forty added lines are too wide
    for (const QString& name : written)
        EXPECT_EQ(testsupport::readAll(file(name)),
                  testsupport::readAll(file(QString(name).replace("one-", "three-"))))
            << name.toStdString();
}

#ifndef Q_OS_WIN // fontconfig's answers, kept on Linux
// A family fontconfig resolved is remembered between runs, and used only while
// fontconfig's configuration, and the environment that picks it, stay as they were.
TEST(CutProcess, RemembersFamiliesWhileTheFontSetupHolds) {
    QTemporaryDir dir;
    const Outcome run = cutScript(dir.path(), R"(set -ex
        dejavu=/usr/share/fonts/truetype/dejavu
        draw() { $CUT --size 20 --font "$1" -o "$2" Ab 2>/dev/null; }
        draw $dejavu/DejaVuSans.ttf sans.png; draw $dejavu/DejaVuSerif.ttf serif.png
        # Until the clock has passed a change by a good margin, an answer counts as
        # met mid-change; the test waits for that moment rather than a fixed time.
        settled() { until [ $(( $(date +%s%N) - $(stat -c %.9Z "$1" | tr -d .) )) -gt 200000000 ]
            do sleep 0.05; done; }
        suite=$FONTCONFIG_FILE
        conf() { printf '<fontconfig><include>%s</include><alias>
            <family>Velmora Test</family><prefer><family>%s</family></prefer></alias>
            </fontconfig>' "$suite" "$1" > conf/fonts.conf; settled conf/fonts.conf; }
        mkdir conf; export FONTCONFIG_FILE=$PWD/conf/fonts.conf XDG_CACHE_HOME=$PWD/cache
        stale() { sed -i "s/$1/$2/" cache/velmora/faces; }
        conf 'DejaVu Serif'; draw 'Velmora Test' 1.png; cmp 1.png serif.png
        stale DejaVuSerif DejaVuSans; draw 'Velmora Test' 2.png; cmp 2.png sans.png
        stale DejaVuSans gone; draw 'Velmora Test' 3.png; cmp 3.png serif.png
        stale DejaVuSerif DejaVuSans; conf 'DejaVu Serif'; draw 'Velmora Test' 4.png
        cmp 4.png serif.png
        stale DejaVuSerif DejaVuSans; LC_ALL=C draw 'Velmora Test' 5.png; cmp 5.png serif.png
        # Each variable that can change fontconfig's answer sends the lookup back to it.
        # Another configuration file is none of the files the answers were read from.
        mkdir other; cp conf/fonts.conf other/
        for change in LC_CTYPE=C LANG=C LANGUAGE=en FC_LANG=en FONTCONFIG_PATH=/nowhere \
            FONTCONFIG_SYSROOT=/ XDG_CONFIG_HOME=$PWD/xc XDG_DATA_HOME=$PWD/xd \
            XDG_CURRENT_DESKTOP=Other FONTCONFIG_FILE=$PWD/other/fonts.conf; do
            draw 'Velmora Test' base.png # remembered for the environment as it was
            stale DejaVuSerif DejaVuSans; (export "$change"; draw 'Velmora Test' v.png)
            cmp v.png serif.png || { echo "$change used a stale answer" >&2; exit 1; }
        done
        # A relative cache folder is ignored, as the XDG rules say: ~/.cache instead.
        mkdir home; (export XDG_CACHE_HOME=relative HOME=$PWD/home; draw 'Velmora Test' r.png)
        test ! -e relative && test -s home/.cache/velmora/faces
        # A change stamped after the start, as one made while the run looks fonts up.
        cp cache/velmora/faces kept; touch -d @$(( $(date +%s) + 3600 )) conf/fonts.conf
        draw 'Velmora Test' 6.png; cmp kept cache/velmora/faces # not kept)");
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
}
#endif

// A batch's lines end at LF, CR LF or CR, in any mix, with or without a last
// line break and a byte order mark: each line keeps its number and its text.
TEST_F(CutCommand, BatchLinesEndAtEveryKindOfLineBreak) {
    const QByteArray texts[] = {"I", "II", "III"};
    int widths[3];
    for (int i = 0; i < 3; ++i)
        widths[i] = picture(cut({"-o", "-", texts[i]}).out).width();
    ASSERT_TRUE(widths[0] < widths[1] && widths[1] < widths[2]); // each line told apart
    const char* const breaks[] = {"\n", "\r\n", "\r"};
    int run = 0;
    for (const char* first : breaks)
        for (const char* second : breaks)
            for (const char* last : {"", "\n", "\r\n", "\r"})
                for (const bool mark : {false, true}) {
                    const QByteArray batch = QByteArray(mark ? "\xEF\xBB\xBF" : "") + texts[0] +
                                             first + texts[1] + second + texts[2] + last;
                    SCOPED_TRACE(batch.toPercentEncoding().toStdString());
                    const QString name = file(QStringLiteral("r%1-%d.png").arg(++run));
                    ASSERT_EQ(cut({"-o", name, "--batch", "-"}, batch).status, cli::AllWritten);
                    for (int line = 1; line <= 3; ++line)
                        EXPECT_EQ(picture(cli::outputName(name, line)).width(), widths[line - 1]);
                    EXPECT_FALSE(QFile::exists(cli::outputName(name, 4)));
                }
}

#ifndef Q_OS_WIN // bash completion
// Bash completes family names past a space, however the word was begun: with a
// backslash, inside quotes, or not yet at the space; and the words --png-level
// takes, as the command's help lists them. Each row: the option, the word as
// typed after it, the words offered (the suite's fonts).
TEST(CutCompletion, FamilyNamesPngLevelWordsAndOutputKinds) {
    const struct {
        const char* option;
        const char* typed;
        const char* offered;
    } rows[] = {
        {"--font", "DejaVu\\ S", "DejaVu Sans|DejaVu Sans Mono|DejaVu Serif|"},
        {"--font", "'DejaVu Sans M", "DejaVu Sans Mono|"},
        {"--font", "\"DejaVu Se", "DejaVu Serif|"},
        {"--font", "'IPA P", "IPA Pゴシック|IPA P明朝|"},
        {"--font", "Nothing", ""},
        {"--png-level", "", "fastest|balanced|smallest|"},
        {"--png-level", "s", "smallest|"},
        // The output's folders and kinds, any case; not what it cannot write.
        {"-o", "", "a.svg|b.PDF|c.jpeg|folder|"},
        {"--output", "b", "b.PDF|"},
    };
    QTemporaryDir dir;
    for (const char* name : {"a.svg", "b.PDF", "c.jpeg", "d.txt"})
        testsupport::writeAll(dir.filePath(name), "");
    QDir(dir.path()).mkdir("folder");
    const QString script = QStringLiteral(
        "source '%1'; COMP_WORDS=(\"$CUT\" \"$(cat option)\" \"$(cat typed)\"); COMP_CWORD=2;"
        " _velmora_cut; for w in \"${COMPREPLY[@]}\"; do printf '%s|' \"$w\" >&2; done")
                               .arg(VELMORA_COMPLETION);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        testsupport::writeAll(dir.filePath("option"), row.option);
        testsupport::writeAll(dir.filePath("typed"), row.typed);
        const Outcome run = cutScript(dir.path(), script.toUtf8().constData());
        EXPECT_EQ(run.status, 0);
        // In the shell's order: readline shows them sorted.
        QStringList offered = run.err.split('|'), expected = QString(row.offered).split('|');
        offered.sort();
        expected.sort();
        EXPECT_EQ(offered.join('|').toStdString(), expected.join('|').toStdString());
    }
}
#endif

// Line-number markers in batch output names, read left to right.
TEST(CutOptions, OutputNamesNumberTheLines) {
    const struct {
        const char* pattern;
        const char* name;
    } table[] = {{"a%d.png", "a7.png"}, {"%03d-%d", "007-7"}, {"x%0d%00d", "x77"},
                 {"%%d%%%2d", "%d%07"}, {"50%.%d", "50%.7"},  {"%5x%1d%", "%5x7%"},
                 {"%0%d", "%07"},       {"%%%%", "%%"}};
    for (const auto& row : table) {
        EXPECT_EQ(cli::outputName(row.pattern, 7), row.name) << row.pattern;
        EXPECT_EQ(cli::hasLineNumber(row.pattern),
                  QString(row.pattern).count('d') > QString(row.name).count('d'))
            << row.pattern;
    }
}

// No display, no platform named; PNG to standard output; Japanese messages.
TEST(CutProcess, RunsWithoutADisplayAndSpeaksTheUsersLanguage) {
    const Outcome png = cutProcess({"-o", "-", "--size", "20", "Sample"});
    ASSERT_EQ(png.status, 0) << png.err.toStdString();
    EXPECT_TRUE(png.err.isEmpty()) << png.err.toStdString();
    EXPECT_FALSE(picture(png.out).isNull());
    EXPECT_TRUE(cutProcess({"--version"}).out.startsWith("velmora-cut 1."));
    const Outcome english = cutProcess({"-o", "x.gif", "A"});
    EXPECT_EQ(english.status, 1);
    EXPECT_TRUE(english.err.contains("must end in")) << english.err.toStdString();
    const Outcome japanese = cutProcess({"-o", "x.gif", "A"}, "ja_JP.UTF-8");
    EXPECT_TRUE(japanese.err.contains("出力ファイル名は")) << japanese.err.toStdString();
    EXPECT_TRUE(cutProcess({"--help"}, "ja_JP.UTF-8").out.contains("使い方"));
    // Every option's help line is in Japanese too ("  --names VALUE   help"), its
    // range or words filled in.
    const auto helpLines = [](const QString& language) {
        static const QRegularExpression line("^  (-\\S.*?)  +(.*)$",
                                             QRegularExpression::MultilineOption);
        QMap<QString, QString> lines;
        for (auto it = line.globalMatch(QString::fromUtf8(cutProcess({"--help"}, language).out));
             it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            lines.insert(match.captured(1), match.captured(2));
        }
        return lines;
    };
    const QMap<QString, QString> inEnglish = helpLines("C"), inJapanese = helpLines("ja_JP.UTF-8");
    EXPECT_GT(inEnglish.size(), 10);
    EXPECT_EQ(inJapanese.keys(), inEnglish.keys());
    const QRegularExpression unfilled("%[1-9]");
    for (auto it = inEnglish.begin(); it != inEnglish.end(); ++it) {
        EXPECT_NE(inJapanese.value(it.key()).toStdString(), it.value().toStdString());
        EXPECT_FALSE(it.value().contains(unfilled) || inJapanese.value(it.key()).contains(unfilled))
            << it.key().toStdString();
    }
}
