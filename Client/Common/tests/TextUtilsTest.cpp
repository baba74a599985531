#include "common/TextUtils.h"

#include <gtest/gtest.h>

#include "common/GbkText.h"

namespace {

TEST(TrimBlanks, StripsControlBytesAtBothEndsOnly) {
    EXPECT_EQ(TrimBlanks(std::string("\0\t abc def\r\n\0\0", 14)), "abc def");
    EXPECT_EQ(TrimBlanks(std::string(5, '\0')), "");
    const std::string gbk = Utf8ToGbk("中文");
    EXPECT_EQ(TrimBlanks(" " + gbk + " "), gbk);
}

TEST(HtmlEscapeLine, EscapesBracketsAndKeepsFirstLine) {
    EXPECT_EQ(HtmlEscapeLine("<b>hi</b> & more"), "&lt;b&gt;hi&lt;/b&gt; & more");
    EXPECT_EQ(HtmlEscapeLine("one<\r\ntwo\r\nthree"), "one&lt;");
    EXPECT_EQ(HtmlEscapeLine("\r\nsecond line"), "");
    EXPECT_EQ(HtmlEscapeLine("a\nb\rc"), "a\nb\rc");  // only CR LF ends the line
}

TEST(TruncateText, CutsBeforeLimitOnCharacterBoundary) {
    EXPECT_EQ(TruncateText("abcdefghij", 10), "abcdefg...");
    EXPECT_EQ(TruncateText("abcdefghi", 10), "abcdefghi");
    EXPECT_EQ(TruncateText("abcdefghijklmnop", 10), "abcdefg...");

    // Five characters, ten bytes: the walk stops at 8, not in the middle of one.
    const std::string chinese = Utf8ToGbk("一二三四五");
    ASSERT_EQ(chinese.size(), 10u);
    EXPECT_EQ(TruncateText(chinese, 10), Utf8ToGbk("一二三四") + "...");
    EXPECT_EQ(TruncateText(chinese, 9), Utf8ToGbk("一二三") + "...");
    // A character straddling limit-3 is kept whole.
    const std::string mixed = "a" + Utf8ToGbk("一二三四五");
    EXPECT_EQ(TruncateText(mixed, 9), "a" + Utf8ToGbk("一二三") + "...");
    EXPECT_EQ(TruncateText("abc", 2), "...");
}

TEST(CaseHelpers, FoldAsciiButNotSecondBytes) {
    EXPECT_TRUE(EqualsNoCase("Section", "sECTION"));
    EXPECT_FALSE(EqualsNoCase("abc", "abd"));
    EXPECT_FALSE(EqualsNoCase("abc", "ab"));
    EXPECT_EQ(ToLowerAscii("MiXeD 1"), "mixed 1");
    // 0x81 0x41 and 0x81 0x61 are two different characters.
    EXPECT_FALSE(EqualsNoCase("\x81\x41", "\x81\x61"));
    EXPECT_EQ(ToLowerAscii("\x81\x41Z"), "\x81\x41z");
}

}  // namespace
