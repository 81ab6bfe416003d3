#include <gtest/gtest.h>

#include "engine/files/FileStatus.h"
#include "engine/settings/basFunc.h"

namespace {
const QString Sep{QChar(engine::files::PathSep)};
}

TEST(Support, AddPathSepAddsExactlyOne) {
    EXPECT_EQ(AddPathSep(Sep), Sep);
    EXPECT_EQ(AddPathSep("/home/u" + Sep), "/home/u" + Sep);
    EXPECT_EQ(AddPathSep("/home/u"), "/home/u" + Sep);
    EXPECT_EQ(AddPathSep(""), Sep);
}

TEST(Support, CutAtNullKeepsTextBeforeFirstNul) {
    EXPECT_EQ(CutAtNull("abc"), "abc");
    EXPECT_EQ(CutAtNull(QString::fromUtf8("\0abc", 4)), "");
    EXPECT_EQ(CutAtNull(QString::fromUtf8("ab\0c\0", 5)), "ab");
}

TEST(Support, FindLastGivesOneBasedPositionOfLastMatch) {
    EXPECT_EQ(FindLast("/a/b/c.png", "/"), 5);
    EXPECT_EQ(FindLast("c.png", "/"), 0);
    EXPECT_EQ(FindLast("abab", "ab"), 3);
    EXPECT_EQ(FindLast("ab", "abc"), 0);
    EXPECT_EQ(FindLast("", "a"), 0);
    EXPECT_EQ(FindLast("a", ""), 0);
    EXPECT_EQ(FindLast("aaa", "aaa"), 1);
}
