#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common/GbkText.h"
#include "room/UserSearch.h"

namespace {

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

struct PinyinCase {
    const char* name;
    std::string gbk;
    const char* initials;
    const char* full;
};

void PrintTo(const PinyinCase& c, std::ostream* os) {
    *os << c.name;
}

class ToPinyinTable : public ::testing::TestWithParam<PinyinCase> {};

TEST_P(ToPinyinTable, BothModes) {
    const PinyinCase& c = GetParam();
    EXPECT_EQ(ToPinyin(c.gbk, TPinyinMode::Initials), c.initials) << c.name;
    EXPECT_EQ(ToPinyin(c.gbk, TPinyinMode::Full), c.full) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToPinyinTable,
    ::testing::Values(PinyinCase{"hanzi", G("张三"), "ZS", "ZHANGSAN"},
                      PinyinCase{"six letters at most", G("庄"), "Z", "ZHUANG"},
                      PinyinCase{"u-umlaut", G("绿"), "L", "LV"},
                      PinyinCase{"ascii kept upper-cased, the rest dropped", "ab1-c_ 9", "AB1C9",
                                 "AB1C9"},
                      PinyinCase{"user text with tab and number", G("小明") + "\t10086", "XM10086",
                                 "XIAOMING10086"},
                      PinyinCase{"circled ten", G("⑩"), "10", "10"},
                      PinyinCase{"numbered series ends", G("ⅰ⒛⑴⒇㈩Ⅻ"), "1201201012", "1201201012"},
                      PinyinCase{"numbered symbol outside the series", "\xA2\xE3", "", ""},
                      PinyinCase{"lead A2 low trail", "\xA2\x50", "?", ""},
                      PinyinCase{"capital theta", G("Θ"), "TH", "TH"},
                      PinyinCase{"small psi and omega", G("ψω"), "PSO", "PSO"},
                      PinyinCase{"Greek gap trail", "\xA6\xB9", "", ""},
                      PinyinCase{"full-width forms keep case", G("Ａｂ３"), "Ab3", "Ab3"},
                      PinyinCase{"full-width punctuation dropped", G("！"), "", ""},
                      PinyinCase{"pair without a syllable", G("、"), "?", ""},
                      PinyinCase{"lead 0xFF and trail 0x7F are pairs out of the table",
                                 "\xFF\x41\x81\x7F", "??", ""},
                      PinyinCase{"lead before a low byte stands alone",
                                 "\x81"
                                 "1",
                                 "1", "1"},
                      PinyinCase{"lead at the end stands alone", "a\xB0", "A", "A"}));

TEST(ToPinyin, ResultIsCutTo255Characters) {
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += G("张");
    EXPECT_EQ(ToPinyin(many, TPinyinMode::Full).size(), 255u);
    EXPECT_EQ(ToPinyin(many, TPinyinMode::Initials), std::string(100, 'Z'));
    EXPECT_EQ(ToPinyin(std::string(300, 'x'), TPinyinMode::Initials), std::string(255, 'X'));
}

TEST(GbkText, LowerCaseLeavesTrailBytesAlone) {
    // 0xB0 0x41 is a character whose trail byte reads as "A".
    EXPECT_EQ(GbkLowerCase("AbC\xB0\x41Z"), "abc\xB0\x41z");
}

TEST(GbkText, ContainsMatchesOnlyOnCharacterBoundaries) {
    const std::string text = "\xB0\x41\xB0\x42";
    EXPECT_TRUE(GbkContains(text, "\xB0\x42"));
    EXPECT_FALSE(GbkContains(text, "A"));           // the first trail byte
    EXPECT_FALSE(GbkContains(text, "\x41\xB0"));    // across two characters
    EXPECT_TRUE(GbkContains("x" + text, "x\xB0"));  // ASCII, then a lead
    EXPECT_TRUE(GbkContains(text, ""));
    EXPECT_FALSE(GbkContains("ab", "abc"));
}

TEST(DataCollection, SearchesTextPinyinAndExtraInLowerCase) {
    TDataCollection c;
    c.Append("1001", G("张三") + "\t1001", G("公麦") + "\t" + G("至尊"));
    c.Append("1002", "Bob\t1002", "\t");
    c.Append("1003", G("李四") + "\t1003", G("摄像头") + "\t");
    using Keys = std::vector<std::string>;
    EXPECT_EQ(c.Search("zs"), Keys{"1001"});       // initials
    EXPECT_EQ(c.Search("ZhangS"), Keys{"1001"});   // full pinyin
    EXPECT_EQ(c.Search("bOB"), Keys{"1002"});      // text
    EXPECT_EQ(c.Search("1003"), Keys{"1003"});     // number
    EXPECT_EQ(c.Search(G("摄像")), Keys{"1003"});  // extra
    EXPECT_EQ(c.Search(G("至尊")), Keys{"1001"});
    EXPECT_EQ(c.Search("100"), (Keys{"1001", "1002", "1003"}));
    EXPECT_TRUE(c.Search("xyz").empty());
    // No match across two fields: "...1001" then "zs...".
    EXPECT_TRUE(c.Search("1001zs").empty());
    EXPECT_TRUE(c.Search("1001\x01zs").empty());
    EXPECT_EQ(c.Search(""), (Keys{"1001", "1002", "1003"}));
}

TEST(DataCollection, UpdatesAndRemovalsKeepTheOrder) {
    TDataCollection c;
    c.Append("1", G("张三") + "\t1", "\t");
    c.Append("2", G("李四") + "\t2", "\t");
    c.Append("3", "c\t3", "\t");
    c.UpdateAt(0, G("王五") + "\t1", G("公麦") + "\t");
    c.RemoveAt(1);
    c.RemoveAt(7);  // out of range: nothing
    ASSERT_EQ(c.Count(), 2u);
    EXPECT_EQ(c.Item(0).Initials, "WW1");
    EXPECT_EQ(c.Item(1).Key, "3");
    EXPECT_TRUE(c.Search("zs").empty());
    EXPECT_EQ(c.Search(G("公麦")), std::vector<std::string>{"1"});
    EXPECT_TRUE(c.Search("ls").empty());
}

}  // namespace
