#include "common/GbkText.h"

#include <gtest/gtest.h>

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(GbkText, RoundTripsChineseAndAscii) {
    const std::string utf8 = "宋体,9 聊天室 VIP € ok";
    const std::string gbk = Utf8ToGbk(utf8);
    EXPECT_EQ(gbk.substr(0, 4), "\xCB\xCE\xCC\xE5");
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
    EXPECT_EQ(GbkToUtf8(""), "");
}

TEST(GbkText, BrokenGbkBecomesReplacementPerByte) {
    struct Case {
        std::string gbk, utf8;
    } cases[] = {
        {"a\xFF"
         "b",
         "a" + kReplacement + "b"},
        {"ab\xD6", "ab" + kReplacement},     // truncated at the end
        {"\xD6\x20x", kReplacement + " x"},  // invalid second byte
        {"\xFF\xFF\xD6\xD0", kReplacement + kReplacement + "中"},
        {std::string("\0a", 2), std::string("\0a", 2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.gbk;
}

TEST(GbkText, UnmappableOrBrokenUtf8BecomesQuestionMark) {
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");      // no GBK code: one mark for the character
    EXPECT_EQ(Utf8ToGbk("a\xC3z"), "a?z");   // broken sequence
    EXPECT_EQ(Utf8ToGbk("\xE4\xB8"), "??");  // truncated at the end, per byte
    EXPECT_EQ(Utf8ToGbk("\xFF中"), "?\xD6\xD0");
    EXPECT_EQ(Utf8ToGbk("\xED\xA0\x80x"), "???x");  // a surrogate is no character
    EXPECT_EQ(Utf8ToGbk("\xC0\xAF"), "??");         // nor is an overlong "/"
}

TEST(GbkText, SafePrefixNeverSplitsACharacter) {
    const std::string s = "a" + Utf8ToGbk("中文") + "b";  // a, 2, 2, b
    const std::size_t expected[] = {0, 1, 1, 3, 3, 5, 6, 6};
    for (std::size_t max = 0; max < std::size(expected); ++max)
        EXPECT_EQ(GbkSafePrefix(s, max), expected[max]) << max;
    EXPECT_EQ(GbkSafePrefix("ab\xD6", 3), 3u);  // a lone lead byte at the end counts as one
}

}  // namespace
