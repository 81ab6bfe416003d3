#include <gtest/gtest.h>

#include "engine/settings/CodePage.h"

TEST(CodePage, JapaneseRoundTripsThroughShiftJis) {
    const QString face = QStringLiteral("ＭＳ Ｐゴシック");
    const std::string bytes = engine::settings::toAnsi(face);
    EXPECT_EQ(bytes, "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
    EXPECT_EQ(engine::settings::fromAnsi(bytes), face);
    EXPECT_EQ(engine::settings::fromAnsi(engine::settings::toAnsi("ｵﾌﾟｼｮﾝ abc")),
              QStringLiteral("ｵﾌﾟｼｮﾝ abc"));
    // Plain Shift-JIS reads these two bytes as yen and overline; code page 932 as ASCII.
    EXPECT_EQ(engine::settings::toAnsi("C:\\work ~"), "C:\\work ~");
    EXPECT_EQ(engine::settings::fromAnsi("C:\\work ~"), "C:\\work ~");
    // Where the C library's and Windows' tables differ, both systems write the same bytes.
    EXPECT_EQ(engine::settings::toAnsi(QStringLiteral("〜−‖—¢£¬¥‾")),
              "\x81\x60\x81\x7C\x81\x61\x81\x5C\x81\x91\x81\x92\x81\xCA\x5C\x7E");
}

TEST(CodePage, UnrepresentableAndBrokenInputBecomesQuestionMarks) {
    EXPECT_EQ(engine::settings::toAnsi(QStringLiteral("a😀b€")), "a?b?");
    EXPECT_EQ(engine::settings::fromAnsi("a\xA0\x82"), QStringLiteral("a??"));
    EXPECT_EQ(engine::settings::fromAnsi("\x80\xFD\xFF"), QStringLiteral("???"));
}

TEST(CodePage, DanglingLeadByteIsDropped) {
    EXPECT_EQ(engine::settings::dropDanglingLeadByte("ab\x82\xa0\x82"), "ab\x82\xa0");
    EXPECT_EQ(engine::settings::dropDanglingLeadByte("ab\x82\xa0"), "ab\x82\xa0");
    // 0x82 here is a trail byte, not a lead byte
    EXPECT_EQ(engine::settings::dropDanglingLeadByte("\x83\x82"), "\x83\x82");
}
