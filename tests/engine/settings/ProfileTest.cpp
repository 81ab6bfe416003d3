#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "engine/settings/Profile.h"
#include "support/TestSupport.h"

using testsupport::readAll;
using testsupport::writeAll;

namespace {

// Each get and put is a whole read, or a read, an edit and a write, of the file.
class Profile : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString file = dir.filePath("t.ini");

    std::string get(const std::string& section, const std::string& key,
                    const std::string& def = "DEF") {
        const auto profile = engine::settings::Profile::read(file);
        return profile ? profile->value(section, key).value_or(def) : def;
    }
    bool put(const std::string& section, const std::string& key, const std::string& value,
             const QString& where = QString()) {
        auto profile = engine::settings::Profile::read(where.isEmpty() ? file : where);
        return profile && profile->setValue(section, key, value) &&
               profile->write(where.isEmpty() ? file : where);
    }
};

} // namespace

TEST_F(Profile, ReadTrimsBlanksAndOnePairOfQuotes) {
    writeAll(file, "[S]\r\n a = \"  x y \" \r\nb='q'\r\nc=\"half\r\nd=\"\"two\"\"\r\ne=\r\n");
    EXPECT_EQ(get("S", "a"), "  x y ");
    EXPECT_EQ(get("S", "b"), "q");
    EXPECT_EQ(get("S", "c"), "\"half");
    EXPECT_EQ(get("S", "d"), "\"two\"");
    EXPECT_EQ(get("S", "e"), "");
}

TEST_F(Profile, ReadMatchesNamesWithoutCaseAndFirstDuplicateWins) {
    writeAll(file, "[data]\r\nKEY=1\r\nkey=2\r\n[DATA]\r\nkey=3\r\nlate=4\r\n");
    EXPECT_EQ(get("Data", "Key"), "1");
    // Reads and writes alike see only the first of duplicate sections.
    EXPECT_EQ(get("Data", "late"), "DEF");
    ASSERT_TRUE(put("DATA", "Late", "5"));
    ASSERT_TRUE(put("data", "key", "6"));
    EXPECT_EQ(readAll(file),
              QByteArray("[data]\r\nKEY=6\r\nkey=2\r\nLate=5\r\n[DATA]\r\nkey=3\r\nlate=4\r\n"));
}

TEST_F(Profile, MissingFileSectionOrKeyGivesDefault) {
    EXPECT_EQ(get("S", "k"), "DEF");
    writeAll(file, "[S]\r\n;k=comment\r\nk\r\n[T]\r\nk=1\r\n");
    EXPECT_EQ(get("S", "k"), "DEF");
    EXPECT_EQ(get("U", "k"), "DEF");
}

TEST_F(Profile, ShiftJisTrailBytesAreNotSyntax) {
    // "ソ" is 83 5C and "ー" is 81 5B: trail bytes "\" and "[" inside names and values.
    writeAll(file, "[\x83\x5C]\r\n\x81\x5B=\x83\x5D\r\n");
    EXPECT_EQ(get("\x83\x5C", "\x81\x5B"), "\x83\x5D");
}

TEST_F(Profile, LongValueIsReadWhole) {
    std::string value(253, 'a');
    value += "\x82\xa0\x82\xa0"; // 257 bytes: the classic cut at 254 fell inside a character
    writeAll(file, QByteArray::fromStdString("[S]\r\nk=" + value + "\r\n"));
    EXPECT_EQ(get("S", "k"), value);
}

TEST_F(Profile, WriteCreatesFileWithCrLf) {
    ASSERT_TRUE(put("A", "x", "1"));
    ASSERT_TRUE(put("B", "y", "2"));
    ASSERT_TRUE(put("A", "z", "3"));
    EXPECT_EQ(readAll(file), QByteArray("[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"));
}

TEST_F(Profile, WriteKeepsEverythingElseByteForByte) {
    const QByteArray before = "; top comment\r\n"
                              "[Other]\n"
                              "junk line\r\n"
                              "\r\n"
                              "  [data]  \r\n"
                              "  MONGON  =  old  \r\n"
                              "; note\r\n"
                              "\r\n"
                              "[Tail]\r\n"
                              "k=v";
    writeAll(file, before);
    ASSERT_TRUE(put("Data", "Mongon", "new"));
    ASSERT_TRUE(put("Data", "Extra", "e"));
    ASSERT_TRUE(put("New", "n", "1"));
    EXPECT_EQ(readAll(file), QByteArray("; top comment\r\n"
                                        "[Other]\n"
                                        "junk line\r\n"
                                        "\r\n"
                                        "  [data]  \r\n"
                                        "MONGON=new\r\n"
                                        "Extra=e\r\n"
                                        "; note\r\n"
                                        "\r\n"
                                        "[Tail]\r\n"
                                        "k=v\r\n"
                                        "[New]\r\n"
                                        "n=1\r\n"));
    // A value the file already holds is not written again: the file open here
    // is still the one the name gives.
    QFile held(file);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
#ifdef Q_OS_WIN
    // Windows replaces no file another handle holds open: it is written in place.
    ASSERT_TRUE(put("data", "mongon", "new") && put("New", "n", "2"));
    EXPECT_TRUE(held.readAll().endsWith("n=2\r\n"));
#else
    const auto same = [&] {
        struct stat named {}, open {};
        return ::stat(QFile::encodeName(file).constData(), &named) == 0 &&
               ::fstat(held.handle(), &open) == 0 && named.st_ino == open.st_ino;
    };
    ASSERT_TRUE(put("data", "mongon", "new") && put("New", "n", "1"));
    EXPECT_TRUE(same());
    ASSERT_TRUE(put("New", "n", "2"));
    EXPECT_FALSE(same());
#endif
}

TEST_F(Profile, LoneCrEndsALineAndWritesKeepTheOtherLineEnds) {
    writeAll(file, "[Data]\rMongon=x\r");
    EXPECT_EQ(get("Data", "Mongon"), "x");
    ASSERT_TRUE(put("Data", "Mongon", "y"));
    EXPECT_EQ(readAll(file), QByteArray("[Data]\rMongon=y\r"));

    writeAll(file, "[A]\ra=1\n\r[B]\r\nb=2\r\rc=3\n\n[C]\rd=4");
    EXPECT_EQ(get("A", "a"), "1");
    EXPECT_EQ(get("B", "b"), "2");
    EXPECT_EQ(get("B", "c"), "3");
    EXPECT_EQ(get("C", "d"), "4");
    ASSERT_TRUE(put("b", "C", "5"));
    ASSERT_TRUE(put("c", "e", "6"));
    EXPECT_EQ(readAll(file), QByteArray("[A]\ra=1\n\r[B]\r\nb=2\r\rc=5\n\n[C]\rd=4\r\ne=6\r\n"));
}

TEST_F(Profile, KeyAppendedToLastSectionWithoutLineBreak) {
    writeAll(file, "[S]\r\na=1");
    ASSERT_TRUE(put("S", "b", "2"));
    EXPECT_EQ(readAll(file), QByteArray("[S]\r\na=1\r\nb=2\r\n"));
}

TEST_F(Profile, FailedWriteLeavesFileAndFolderAsTheyWere) {
    const QByteArray before = "[S]\r\na=1\r\n";
    writeAll(file, before);
    // A line break in any part would forge a line of its own.
    for (const char* bad : {"x\r\n[Font]", "x\n", "\rx"}) {
        EXPECT_FALSE(put("S", "a", bad));
        EXPECT_FALSE(put("S", bad, "2"));
        EXPECT_FALSE(put(bad, "a", "2"));
    }
    EXPECT_EQ(readAll(file), before);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser);
    EXPECT_FALSE(put("S", "a", "2"));
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(testsupport::fileCount(dir.path()), 1);

    EXPECT_FALSE(put("S", "a", "1", dir.filePath("no/t.ini")));
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
}

#ifndef Q_OS_WIN // symbolic links and permission bits
TEST_F(Profile, WriteThroughSymlinkKeepsLinkAndPermissions) {
    const QString real = dir.filePath("real.ini");
    writeAll(real, "[S]\r\na=1\r\n");
    QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    ASSERT_TRUE(QFile::link(real, file));
    ASSERT_TRUE(put("S", "a", "2"));
    EXPECT_TRUE(QFileInfo(file).isSymLink());
    EXPECT_EQ(readAll(real), QByteArray("[S]\r\na=2\r\n"));
    const int ownerGroupOther = 0x7077;
    EXPECT_EQ(QFileInfo(real).permissions() & ownerGroupOther,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
}
#endif
