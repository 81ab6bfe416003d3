#include <gtest/gtest.h>

#include <QtGlobal>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "engine/settings/CodePage.h"
#include "engine/settings/Settings.h"
#include "support/TestSupport.h"

using testsupport::readAll;
using testsupport::writeAll;

namespace {

class Settings : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString ini = QDir::toNativeSeparators(dir.filePath("Velmora.Ini"));
    QTemporaryDir config; // the user's config folder, $XDG_CONFIG_HOME or %APPDATA%

    void SetUp() override {
        // A step run as another user keeps the folder its test handed on.
        if (testsupport::userStepFolder().isEmpty()) {
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
            qputenv("APPDATA", QFile::encodeName(QDir::toNativeSeparators(config.path())));
        }
    }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    // The program's settings in memory and their file, as the window keeps them.
    engine::settings::Settings s;
    QString file;

    // Where the program in `folder` keeps its file, and what the file holds.
    void load(const QString& folder) {
        file = engine::settings::settingsFileFor(folder);
        const auto profile = engine::settings::Profile::read(file);
        s = profile ? engine::settings::settingsFrom(*profile) : engine::settings::Settings{};
    }
    void save() { engine::settings::saveSettings(s, file); }
    void startUp(const QString& folder) {
        file = engine::settings::settingsFileFor(folder);
        s = engine::settings::startUp(file);
    }
    void startUp() { startUp(dir.path()); }
};

QByteArray sjis(const QString& s) {
    return QByteArray::fromStdString(engine::settings::toAnsi(s));
}

} // namespace

TEST_F(Settings, FirstStartWritesEveryKeyInOrder) {
    startUp();
    EXPECT_EQ(file, ini);
    const QByteArray expected = "[Data]\r\nMongon=Sample\r\nBackColor=0\r\n"
                                "[Font]\r\nName=" +
                                sjis(QStringLiteral("ＭＳ Ｐゴシック")) +
                                "\r\nSize=10\r\nItalic=0\r\nTick=0\r\n"
                                "[JPEG]\r\nRate=50\r\nPrgrs=0\r\n"
                                "[PNG]\r\nRate=1\r\n";
    EXPECT_EQ(readAll(ini), expected);
    EXPECT_EQ(s.gif, engine::settings::GifUse::DroppedAndChosen);
    EXPECT_TRUE(QDir(config.path()).isEmpty());
}

// Smooth letters and a transparent ground, which the classic program never had:
// off in a file without them, and written only once they are on or there.
TEST_F(Settings, LooksAreWrittenOnceUsed) {
    writeAll(ini, "[Options]\r\nGIF=1\r\nTransparent=5\r\n");
    startUp();
    EXPECT_FALSE(s.smooth);
    EXPECT_TRUE(s.transparent);
    EXPECT_FALSE(readAll(ini).contains("Smooth"));
    const char* steps[][2] = {{"-1", "Transparent=5\r\nSmooth=-1\r\n"},
                              {"0", "Transparent=5\r\nSmooth=0\r\n"}};
    for (const auto& [smooth, written] : steps) {
        s.smooth = atoi(smooth) != 0;
        save();
        EXPECT_TRUE(readAll(ini).contains(QByteArray("[Options]\r\nGIF=1\r\n") + written))
            << readAll(ini).toStdString();
    }
}

TEST_F(Settings, HandMadeFileKeepsWhatTheProgramDoesNotOwn) {
    const QByteArray before = "; my settings\r\n"
                              "[Options]\r\nGIF = 0\r\n"
                              "[mystuff]\r\nfoo=bar\r\n"
                              "[DATA]\r\n  mongon = ' spaced ' \r\nbackcolor=255\r\n"
                              "[font]\r\nsize=12.5\r\nitalic=5\r\n";
    writeAll(ini, before);
    startUp();
    EXPECT_EQ(s.text, " spaced ");
    EXPECT_EQ(s.groundColor, 255u);
    EXPECT_EQ(s.pointSize, 12.5f);
    EXPECT_TRUE(s.italic);
    EXPECT_EQ(s.gif, engine::settings::GifUse::None);
    EXPECT_EQ(readAll(ini), "; my settings\r\n"
                            "[Options]\r\nGIF = 0\r\n"
                            "[mystuff]\r\nfoo=bar\r\n"
                            "[DATA]\r\nmongon= spaced \r\nbackcolor=255\r\n"
                            "MongonUtf8=%20spaced%20\r\n"
                            "[font]\r\nsize=12.5\r\nitalic=5\r\nName=" +
                                sjis(QStringLiteral("ＭＳ Ｐゴシック")) +
                                "\r\nTick=0\r\n"
                                "[JPEG]\r\nRate=50\r\nPrgrs=0\r\n"
                                "[PNG]\r\nRate=1\r\n");
    // The blanks the quotes protected, which the original reader drops from the
    // bare value now written, come back from the exact form beside it.
    load(dir.path());
    EXPECT_EQ(s.text, " spaced ");
}

TEST_F(Settings, ValuesRoundTripInTheirWrittenForms) {
    startUp();
    // Plain Shift-JIS would turn the backslash and the tilde into yen and overline.
    s.text = QStringLiteral("切り文字 C:\\work ~");
    s.groundColor = 16777215;
    s.fontFamily = QStringLiteral("IPA Pゴシック");
    s.italic = true;
    s.bold = true;
    s.jpegRate = 100;
    s.jpegProgressive = true;
    s.pngLevel = 2;
    for (float size : {9.75f, 12.5f, 7.0f, 120.0f, 0.1f, 33.33333f}) {
        s.pointSize = size;
        save();
        load(dir.path());
        EXPECT_EQ(s.pointSize, size);
    }
    EXPECT_EQ(s.text, QStringLiteral("切り文字 C:\\work ~"));
    EXPECT_EQ(s.groundColor, 16777215u);
    EXPECT_EQ(s.fontFamily, QStringLiteral("IPA Pゴシック"));
    EXPECT_TRUE(s.italic);
    EXPECT_EQ(s.jpegRate, 100);
    EXPECT_TRUE(s.jpegProgressive);
    EXPECT_EQ(s.pngLevel, 2);
    EXPECT_TRUE(readAll(ini).contains(" C:\\work ~\r\n"));
    EXPECT_TRUE(readAll(ini).contains("\r\nSize=33.33333\r\nItalic=-1\r\nTick=-1\r\n"));
}

TEST(SettingsForm, FontSizeIsShortestWithAtMostSevenDigits) {
    EXPECT_EQ(engine::settings::formatFontSize(10.0f), "10");
    EXPECT_EQ(engine::settings::formatFontSize(10.5f), "10.5");
    EXPECT_EQ(engine::settings::formatFontSize(9.75f), "9.75");
    EXPECT_EQ(engine::settings::formatFontSize(0.1f), "0.1");
    EXPECT_EQ(engine::settings::formatFontSize(1.0f / 3.0f), "0.3333333");
    float size = 0;
    EXPECT_TRUE(engine::settings::parseFontSize("10.0", size));
    EXPECT_EQ(size, 10.0f);
    EXPECT_FALSE(engine::settings::parseFontSize("ten", size));
    EXPECT_FALSE(engine::settings::parseFontSize("", size));
    EXPECT_FALSE(engine::settings::parseFontSize("nan", size));
    EXPECT_EQ(size, 10.0f);
}

TEST_F(Settings, GarbageAndOutOfRangeNumbersFallBackToDefaults) {
    writeAll(ini, "[Data]\r\nMongon=\r\nBackColor=red\r\n"
                  "[Font]\r\nName=\r\nSize=big\r\nItalic=\r\nTick=70000\r\n"
                  "[JPEG]\r\nRate=12abc\r\nPrgrs=1.5\r\n[PNG]\r\nRate=-99999\r\n"
                  "[Options]\r\nGIF=x\r\n");
    load(dir.path());
    EXPECT_EQ(s.pointSize, 10.0f);
    EXPECT_EQ(s.jpegRate, 50);
    // Numbers out of their ranges fall back alike.
    writeAll(ini, "[Font]\r\nSize=0\r\n[JPEG]\r\nRate=101\r\n[PNG]\r\nRate=3\r\n");
    load(dir.path());
    EXPECT_EQ(s.pngLevel, 1);
    writeAll(ini, "[Data]\r\nMongon=\r\nBackColor=red\r\n"
                  "[Font]\r\nName=\r\nSize=-12\r\nItalic=\r\nTick=70000\r\n"
                  "[JPEG]\r\nRate=0\r\nPrgrs=1.5\r\n[PNG]\r\nRate=-99999\r\n"
                  "[Options]\r\nGIF=x\r\n");
    load(dir.path());
    EXPECT_EQ(s.text, "");
    EXPECT_EQ(s.fontFamily, "");
    EXPECT_EQ(s.groundColor, 0u);
    EXPECT_EQ(s.pointSize, 10.0f);
    EXPECT_FALSE(s.italic);
    EXPECT_FALSE(s.bold);
    EXPECT_EQ(s.jpegRate, 50);
    EXPECT_FALSE(s.jpegProgressive);
    EXPECT_EQ(s.pngLevel, 1);
    EXPECT_EQ(s.gif, engine::settings::GifUse::DroppedAndChosen);
}

// Texts come back as they were stored, whole and exactly, while the file keeps
// Shift-JIS as the original reads it; a text another program wrote since wins.
TEST_F(Settings, TextsComeBackWholeAndExactly) {
    startUp();
    const QString exotic = QStringLiteral("café ❤ 𠮷野家");
    const struct {
        QString text;
        QByteArray mongonLine; // as Shift-JIS keeps it for the original program
    } rows[] = {
        {QString(300, u'a'), "Mongon=" + QByteArray(300, 'a')},
        {QString(150, QChar(u'あ')),
         "Mongon=" + QByteArray(150, '\x82').replace("\x82", "\x82\xa0")},
        {exotic, "Mongon=caf? ? ?\x96\xec\x89\xc6"},
        {QStringLiteral("caf? ? ?野家"), "Mongon=caf? ? ?\x96\xec\x89\xc6"}, // no stale exact form
        {QStringLiteral(" Sample "), "Mongon= Sample "}, // blanks and quotes the reader
        {QStringLiteral("\"hi\""), "Mongon=\"hi\""},     // would take off
        {QStringLiteral("Café "), "Mongon=Caf? "},
    };
    for (const auto& row : rows) {
        s.text = row.text;
        s.fontFamily = row.text; // face names too
        save();
        EXPECT_TRUE(readAll(ini).contains(row.mongonLine + "\r\n")) << row.text.toStdString();
        load(dir.path());
        EXPECT_EQ(s.text, row.text);
        EXPECT_EQ(s.fontFamily, row.text);
    }
    s.text = exotic;
    save();
    // The original program, or an editor, stores another text: it is the one read.
    writeAll(ini, QByteArray(readAll(ini)).replace("Mongon=caf? ? ?", "Mongon=new "));
    load(dir.path());
    EXPECT_EQ(s.text, QStringLiteral("new 野家"));
}

TEST_F(Settings, UnwritableFileOrFolderIsSilentAndKeepsValuesInMemory) {
    startUp();
    const QByteArray before = readAll(ini);
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadUser);
    s.text = "changed";
    save(); // a message box would block here: the watchdog fails the test
    EXPECT_EQ(readAll(ini), before);
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);
    // A file beside the program is used even when it cannot be written.
    load(dir.path());
    EXPECT_EQ(file, ini);
    EXPECT_TRUE(QDir(config.path()).isEmpty());
}

TEST_F(Settings, WithoutRoomBesideTheProgramTheUserConfigFolderHoldsThem) {
    const auto step = [this](const QString& folder) {
        startUp(folder);
        s.text = "second";
        save();
    };
    if (const QString folder = testsupport::userStepFolder(); !folder.isEmpty())
        return step(folder);
    const QByteArray firstStart = [this] {
        QTemporaryDir portable;
        startUp(portable.path());
        return readAll(portable.filePath("Velmora.Ini")).replace("Sample", "second");
    }();
#ifdef Q_OS_WIN
    // Where the program's folder takes no file, %APPDATA%\Velmora holds it.
    step(dir.filePath("missing"));
    EXPECT_EQ(file, QDir::toNativeSeparators(config.path() + "/Velmora/Velmora.Ini"));
    EXPECT_EQ(readAll(file), firstStart);
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
    // An installed copy keeps them there even where it could write beside itself.
    QTemporaryDir programs;
    const QByteArray before = qgetenv("ProgramFiles");
    qputenv("ProgramFiles", QFile::encodeName(QDir::toNativeSeparators(programs.path())));
    EXPECT_EQ(engine::settings::settingsFileFor(programs.path() + "/Velmora"), file);
    qputenv("ProgramFiles", before);
    return;
#endif
    // An installed copy keeps its settings in the user's folder even where the
    // superuser could write beside it: the package's folders stay its own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    for (const char* installed : {"/usr/bin", "/usr/local/bin/", "/usr/games"})
        EXPECT_EQ(engine::settings::settingsFileFor(installed),
                  config.path() + "/velmora/Velmora.Ini")
            << installed;

    // Empty, or relative as the XDG rules ignore, it means ~/.config.
    for (const char* value : {"", "relative/config"}) {
        SCOPED_TRACE(value);
        qputenv("XDG_CONFIG_HOME", value);
        step(dir.filePath("missing"));
        EXPECT_EQ(file, QDir::homePath() + "/.config/velmora/Velmora.Ini");
        EXPECT_EQ(readAll(file), firstStart);
        QFile::remove(file);
    }
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
    EXPECT_FALSE(QDir::current().exists("relative"));

    // Neither place takes the file: every write fails quietly, the values stay in memory.
    testsupport::writeAll(dir.filePath("file"), "not a folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("file/config")));
    step(dir.filePath("missing"));
    EXPECT_EQ(s.text, "second");
    EXPECT_EQ(file, dir.filePath("file/config/velmora/Velmora.Ini"));
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);
    load(dir.filePath("missing"));
    EXPECT_EQ(s.text, "Sample");

    // An installed copy: a folder the user cannot write, and a config folder yet to be made.
    testsupport::ReadOnlyFolder program;
    program.lock();
    QTemporaryDir home;
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
    const QString user = home.filePath("config/velmora");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    if (QString why = testsupport::runAsOrdinaryUser(program.path(), step); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    EXPECT_EQ(readAll(user + "/Velmora.Ini"), firstStart);
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFileInfo(user).permissions() & others, 0) << "made for its owner only";
    EXPECT_EQ(testsupport::fileCount(program.path()), 0);
}

#ifndef Q_OS_WIN // inodes, hard links and folder permissions
TEST_F(Settings, WritableFileInReadOnlyFolderIsWrittenInPlace) {
    const auto step = [this](const QString& folder) {
        load(folder);
        s.text = "S"; // shorter: the file must shrink too
        save();
    };
    if (const QString folder = testsupport::userStepFolder(); !folder.isEmpty())
        return step(folder);
    // A folder that takes files still gets a whole new file, renamed into place.
    // One write: the new file is made while the old one still holds its inode.
    startUp();
    const quint64 before = testsupport::inodeOf(ini);
    s.text = "new";
    save();
    EXPECT_NE(testsupport::inodeOf(ini), before);
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);

    testsupport::ReadOnlyFolder folder;
    const QString file = folder.filePath("Velmora.Ini"), link = folder.filePath("link.ini");
    load(folder.path());
    save();
    const QByteArray after = readAll(file).replace("Mongon=Sample", "Mongon=S");
    ASSERT_EQ(::link(QFile::encodeName(file), QFile::encodeName(link)), 0);
    folder.lock();
    const uint owner = QFileInfo(file).ownerId();
    if (QString why = testsupport::runAsOrdinaryUser(folder.path(), step); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    EXPECT_EQ(readAll(file), after);
    EXPECT_EQ(readAll(link), after);
    EXPECT_EQ(QFileInfo(file).ownerId(), owner);
    EXPECT_EQ(testsupport::fileCount(folder.path()), 2);
}
#endif

TEST_F(Settings, FileLivesBesideProgramNotInWorkingDirectory) {
    QTemporaryDir elsewhere;
    const QString old = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    startUp();
    QDir::setCurrent(old);
    EXPECT_TRUE(QFile::exists(ini));
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("Velmora.Ini")));
}
