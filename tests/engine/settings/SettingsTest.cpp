#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "engine/settings/basFunc.h"
#include "engine/settings/CodePage.h"
#include "engine/settings/Settings.h"
#include "support/TestSupport.h"

using testsupport::readAll;
using testsupport::writeAll;

namespace {

class Settings : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("Velmora.Ini");
    QTemporaryDir config; // the user's config folder, $XDG_CONFIG_HOME

    void SetUp() override {
        // A step run as another user keeps the folder its test handed on.
        if (testsupport::userStepFolder().isEmpty())
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    void startUp() {
        LoadSettings(dir.path());
        SaveSettings();
    }
};

QByteArray sjis(const QString& s) {
    return QByteArray::fromStdString(engine::settings::toAnsi(s));
}

} // namespace

TEST_F(Settings, FirstStartWritesEveryKeyInOrder) {
    startUp();
    EXPECT_EQ(gIniFile, dir.path() + "/Velmora.Ini");
    const QByteArray expected = "[Data]\r\nMongon=Sample\r\nBackColor=0\r\n"
                                "[Font]\r\nName=" +
                                sjis(QStringLiteral("ＭＳ Ｐゴシック")) +
                                "\r\nSize=10\r\nItalic=0\r\nTick=0\r\n"
                                "[JPEG]\r\nRate=50\r\nPrgrs=0\r\n"
                                "[PNG]\r\nRate=1\r\n";
    EXPECT_EQ(readAll(ini), expected);
    EXPECT_EQ(gOptionsGif, 1);
    EXPECT_TRUE(QDir(config.path()).isEmpty());
}

TEST_F(Settings, HandMadeFileKeepsWhatTheProgramDoesNotOwn) {
    const QByteArray before = "; my settings\r\n"
                              "[Options]\r\nGIF = 0\r\n"
                              "[mystuff]\r\nfoo=bar\r\n"
                              "[DATA]\r\n  mongon = ' spaced ' \r\nbackcolor=255\r\n"
                              "[font]\r\nsize=12.5\r\nitalic=5\r\n";
    writeAll(ini, before);
    startUp();
    EXPECT_EQ(gMongon, " spaced ");
    EXPECT_EQ(gBackColor, 255);
    EXPECT_EQ(gFontSize, 12.5f);
    EXPECT_EQ(gFontItalic, 5);
    EXPECT_EQ(gOptionsGif, 0);
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
    LoadSettings(dir.path());
    EXPECT_EQ(gMongon, " spaced ");
}

TEST_F(Settings, ValuesRoundTripInTheirWrittenForms) {
    startUp();
    // Plain Shift-JIS would turn the backslash and the tilde into yen and overline.
    gMongon = QStringLiteral("切り文字 C:\\work ~");
    gBackColor = 16777215;
    gFontName = QStringLiteral("IPA Pゴシック");
    gFontItalic = -1;
    gFontTick = -1;
    gJpegRate = 100;
    gJpegPrgrs = -1;
    gPngRate = 2;
    for (float size : {9.75f, 12.5f, 7.0f, 120.0f, 0.1f, 33.33333f}) {
        gFontSize = size;
        SaveSettings();
        LoadSettings(dir.path());
        EXPECT_EQ(gFontSize, size);
    }
    EXPECT_EQ(gMongon, QStringLiteral("切り文字 C:\\work ~"));
    EXPECT_EQ(gBackColor, 16777215);
    EXPECT_EQ(gFontName, QStringLiteral("IPA Pゴシック"));
    EXPECT_EQ(gFontItalic, -1);
    EXPECT_EQ(gJpegRate, 100);
    EXPECT_EQ(gJpegPrgrs, -1);
    EXPECT_EQ(gPngRate, 2);
    EXPECT_TRUE(readAll(ini).contains(" C:\\work ~\r\n"));
    EXPECT_TRUE(readAll(ini).contains("\r\nSize=33.33333\r\nItalic=-1\r\nTick=-1\r\n"));
}

TEST(SettingsForm, FontSizeIsShortestWithAtMostSevenDigits) {
    EXPECT_EQ(FormatFontSize(10.0f), "10");
    EXPECT_EQ(FormatFontSize(10.5f), "10.5");
    EXPECT_EQ(FormatFontSize(9.75f), "9.75");
    EXPECT_EQ(FormatFontSize(0.1f), "0.1");
    EXPECT_EQ(FormatFontSize(1.0f / 3.0f), "0.3333333");
    float size = 0;
    EXPECT_TRUE(ParseFontSize("10.0", size));
    EXPECT_EQ(size, 10.0f);
    EXPECT_FALSE(ParseFontSize("ten", size));
    EXPECT_FALSE(ParseFontSize("", size));
    EXPECT_FALSE(ParseFontSize("nan", size));
    EXPECT_EQ(size, 10.0f);
}

TEST_F(Settings, GarbageAndOutOfRangeNumbersFallBackToDefaults) {
    writeAll(ini, "[Data]\r\nMongon=\r\nBackColor=red\r\n"
                  "[Font]\r\nName=\r\nSize=big\r\nItalic=\r\nTick=70000\r\n"
                  "[JPEG]\r\nRate=12abc\r\nPrgrs=1.5\r\n[PNG]\r\nRate=-99999\r\n"
                  "[Options]\r\nGIF=x\r\n");
    LoadSettings(dir.path());
    EXPECT_EQ(gFontSize, 10.0f);
    EXPECT_EQ(gJpegRate, 50);
    // Numbers out of their ranges fall back alike.
    writeAll(ini, "[Font]\r\nSize=0\r\n[JPEG]\r\nRate=101\r\n[PNG]\r\nRate=3\r\n");
    LoadSettings(dir.path());
    EXPECT_EQ(gPngRate, 1);
    writeAll(ini, "[Data]\r\nMongon=\r\nBackColor=red\r\n"
                  "[Font]\r\nName=\r\nSize=-12\r\nItalic=\r\nTick=70000\r\n"
                  "[JPEG]\r\nRate=0\r\nPrgrs=1.5\r\n[PNG]\r\nRate=-99999\r\n"
                  "[Options]\r\nGIF=x\r\n");
    LoadSettings(dir.path());
    EXPECT_EQ(gMongon, "");
    EXPECT_EQ(gFontName, "");
    EXPECT_EQ(gBackColor, 0);
    EXPECT_EQ(gFontSize, 10.0f);
    EXPECT_EQ(gFontItalic, 0);
    EXPECT_EQ(gFontTick, 0);
    EXPECT_EQ(gJpegRate, 50);
    EXPECT_EQ(gJpegPrgrs, 0);
    EXPECT_EQ(gPngRate, 1);
    EXPECT_EQ(gOptionsGif, 1);
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
        gMongon = row.text;
        gFontName = row.text; // face names too
        SaveSettings();
        EXPECT_TRUE(readAll(ini).contains(row.mongonLine + "\r\n")) << row.text.toStdString();
        LoadSettings(dir.path());
        EXPECT_EQ(gMongon, row.text);
        EXPECT_EQ(gFontName, row.text);
    }
    gMongon = exotic;
    SaveSettings();
    // The original program, or an editor, stores another text: it is the one read.
    writeAll(ini, QByteArray(readAll(ini)).replace("Mongon=caf? ? ?", "Mongon=new "));
    LoadSettings(dir.path());
    EXPECT_EQ(gMongon, QStringLiteral("new 野家"));
}

TEST_F(Settings, UnwritableFileOrFolderIsSilentAndKeepsValuesInMemory) {
    startUp();
    const QByteArray before = readAll(ini);
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadUser);
    gMongon = "changed";
    SaveSettings(); // a message box would block here: the watchdog fails the test
    EXPECT_EQ(readAll(ini), before);
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);
    // A file beside the program is used even when it cannot be written.
    LoadSettings(dir.path());
    EXPECT_EQ(gIniFile, ini);
    EXPECT_TRUE(QDir(config.path()).isEmpty());
}

TEST_F(Settings, WithoutRoomBesideTheProgramTheUserConfigFolderHoldsThem) {
    const auto step = [](const QString& folder) {
        LoadSettings(folder);
        SaveSettings();
        gMongon = "second";
        SaveSettings();
    };
    if (const QString folder = testsupport::userStepFolder(); !folder.isEmpty())
        return step(folder);
    const QByteArray firstStart = [this] {
        QTemporaryDir portable;
        LoadSettings(portable.path());
        SaveSettings();
        return readAll(portable.filePath("Velmora.Ini")).replace("Sample", "second");
    }();

    // Empty, or relative as the XDG rules ignore, it means ~/.config.
    for (const char* value : {"", "relative/config"}) {
        SCOPED_TRACE(value);
        qputenv("XDG_CONFIG_HOME", value);
        step(dir.filePath("missing"));
        EXPECT_EQ(gIniFile, QDir::homePath() + "/.config/velmora/Velmora.Ini");
        EXPECT_EQ(readAll(gIniFile), firstStart);
        QFile::remove(gIniFile);
    }
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
    EXPECT_FALSE(QDir::current().exists("relative"));

    // Neither place takes the file: every write fails quietly, the values stay in memory.
    testsupport::writeAll(dir.filePath("file"), "not a folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("file/config")));
    step(dir.filePath("missing"));
    EXPECT_EQ(gMongon, "second");
    EXPECT_EQ(gIniFile, dir.filePath("file/config/velmora/Velmora.Ini"));
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);
    LoadSettings(dir.filePath("missing"));
    EXPECT_EQ(gMongon, "Sample");

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

TEST_F(Settings, WritableFileInReadOnlyFolderIsWrittenInPlace) {
    const auto step = [](const QString& folder) {
        LoadSettings(folder);
        gMongon = "S"; // shorter: the file must shrink too
        SaveSettings();
    };
    if (const QString folder = testsupport::userStepFolder(); !folder.isEmpty())
        return step(folder);
    // A folder that takes files still gets a whole new file, renamed into place.
    // One write: the new file is made while the old one still holds its inode.
    startUp();
    const quint64 before = testsupport::inodeOf(ini);
    PutIniString("Data", "Mongon", "new", ini);
    EXPECT_NE(testsupport::inodeOf(ini), before);
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);

    testsupport::ReadOnlyFolder folder;
    const QString file = folder.filePath("Velmora.Ini"), link = folder.filePath("link.ini");
    LoadSettings(folder.path());
    SaveSettings();
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

TEST_F(Settings, FileLivesBesideProgramNotInWorkingDirectory) {
    QTemporaryDir elsewhere;
    const QString old = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    startUp();
    QDir::setCurrent(old);
    EXPECT_TRUE(QFile::exists(ini));
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("Velmora.Ini")));
}
