#include <gtest/gtest.h>

#include <algorithm>

#include "ChatTestSupport.h"
#include "chat/ChatFormat.h"

namespace {

struct ExpandCase {
    const char* text;
    const char* expanded;
};

TEST(ExpandEmotionCodes, CodesBecomePicturesOfTheirFolder) {
    const ExpandCase cases[] = {
        {"\\e101", "<img src=\"E/1.gif\">"},
        {"\\e100", "\\e100"},
        {"\\e099", "\\e099"},
        {"\\E105", "<img src=\"V/5.gif\">"},
        {"x\\e10", "x\\e10"},
        {"a\\e102b\\E203c", "a<img src=\"E/2.gif\">b<img src=\"V/103.gif\">c"},
        {"\\e1234", "<img src=\"E/23.gif\">4"},
        {"\\e1x5\\e105", "\\e1x5<img src=\"E/5.gif\">"},
        {"\\e999", "<img src=\"E/899.gif\">"},
        {"plain text", "plain text"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandEmotionCodes(c.text, "E/", "V/"), c.expanded) << c.text;
    }
}

TEST(ExpandEmotionCodes, UsesTheProgramFolders) {
    ScratchAppDir dir;
    dir.MakeFolder("emotions");
    // The data spells the folder in lower case; the line still finds it.
    EXPECT_EQ(ExpandEmotionCodes("\\e112"), "<img src=\"" + AppDir + "emotions/12.gif\">");
    EXPECT_EQ(ExpandEmotionCodes("\\E112"), "<img src=\"" + AppDir + "VIPEmotions/12.gif\">");
}

TEST(SealAndBadge, PicturesByCode) {
    ScratchAppDir dir;
    dir.MakeFolder("Dat");
    dir.MakeFolder("Seal");
    WriteFile(dir.Path("Dat/50.gif"), "GIF89a");
    WriteFile(dir.Path("Dat/1050.gif"), "GIF89a");
    WriteFile(dir.Path("Dat/1095.gif"), "GIF89a");

    EXPECT_EQ(SealImageHtml(1017), "<img src=\"" + AppDir + "Seal/17.png\">");
    EXPECT_EQ(SealImageHtml(0), "<img src=\"" + AppDir + "Seal/0.png\">");
    EXPECT_EQ(SealImageHtml(-1), "");

    struct {
        int role, level;
        std::string badge;
    } const cases[] = {
        {50, 1050, "Dat/50.gif"},  // the role wins
        {0, 1050, "Dat/1050.gif"},
        {0, 1095, ""},  // outside the level range, picture or not
        {100, 0, ""},   // role badge without its picture
        {0, 0, ""},
    };
    for (const auto& c : cases) {
        const std::string expected =
            c.badge.empty() ? "" : "<img src=\"" + AppDir + c.badge + "\">";
        EXPECT_EQ(BadgeImageHtml(c.role, c.level), expected) << c.role << "/" << c.level;
    }
}

TEST(ColorWordNumberOf, ReadsTwoCharactersAfterTheCode) {
    struct {
        const char* text;
        int number;
    } const cases[] = {
        {"\\ColorWord7", 7},    {"\\ColorWord7 ", -1}, {"\\ColorWord12", 12},
        {"\\ColorWord123", 12}, {"x\\ColorWord3", 3},  {"\\ColorWordab", -1},
        {"\\colorword3", -1},   {"no code", -1},       {"\\ColorWord", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorWordNumberOf(c.text), c.number) << c.text;
    }
    EXPECT_EQ(ColorWordNumberOf(ColorWordCode(3)), 3);
}

TEST(ColorToHtml, RedFirstUpperCase) {
    EXPECT_EQ(ColorToHtml(255), "#FF0000");
    EXPECT_EQ(ColorToHtml(16711680), "#0000FF");
    EXPECT_EQ(ColorToHtml(0), "#000000");
    EXPECT_EQ(ColorToHtml(0x00345678), "#785634");
    // System colour flags above the colour bits do not widen the notation.
    EXPECT_EQ(ColorToHtml(0x80000005), "#050000");
}

TEST(FormatColorWordLine, ToEverybodyAndToOneUser) {
    ScratchAppDir dir;
    TColorWordParty sender{G("小明"), 25, 0, 0, 0};  // seal key 0: no seal
    TColorWordParty everybody;
    EXPECT_EQ(FormatColorWordLine(sender, everybody, "<b>W</b>"),
              G("<a href=\"id:25:小明\" class=\"nickrgb\">小明(25)</a><FONT class=\"nickrgb\"> 对 "
                "大家 </FONT><FONT class=\"nickrgb\"> 说: </FONT><b>W</b>"));

    TColorWordParty tagged{"<b>x</b>", 7, 0, 0, 3};
    const std::string line = FormatColorWordLine(tagged, TColorWordParty{"bob", 9, 0, 0, -1}, "W");
    EXPECT_EQ(line,
              "<img src=\"" + AppDir + "Seal/3.png\">" +
                  "<a href=\"id:7:&lt;b&gt;x&lt;/b&gt;\" class=\"nickrgb\">&lt;b&gt;x&lt;/b&gt;(7)"
                  "</a>" +
                  G("<FONT class=\"nickrgb\"> 对 </FONT>") +
                  "<a href=\"id:9:bob\" class=\"nickrgb\">bob</a>" +
                  G("<FONT class=\"nickrgb\"> 说: </FONT>W"));
}

TEST(FormatSystemMessage, WrapsTextUnescaped) {
    EXPECT_EQ(FormatSystemMessage("<a href=\"\">x</a>"),
              G("<FONT STYLE=\"FONT:bold; color: black\">【系统消息】</FONT><FONT STYLE=\"color: "
                "black\"><a href=\"\">x</a></FONT>"));
}

TEST(JoinEditorLines, TrimsAndJoins) {
    EXPECT_EQ(JoinEditorLines(""), "");
    EXPECT_EQ(JoinEditorLines("  a<BR><!--  -->b \r\n"), "a b");
    EXPECT_EQ(JoinEditorLines("a<BR>b"), "a<BR>b");
}

TEST(ApplyWordFilter, WordsInListOrder) {
    EXPECT_EQ(ApplyWordFilter("bad", {"bad", "**"}), "****");
    EXPECT_EQ(ApplyWordFilter("a bad, bad day", {"bad"}), "a ***, *** day");
    EXPECT_EQ(ApplyWordFilter("Bad", {"bad", ""}), "Bad");
}

TEST(FormatOwnEchoLine, PrefixByTarget) {
    ScratchAppDir dir;
    dir.MakeFolder("Emotions");
    const std::vector<std::string> saved = FilterWords;
    FilterWords = {"bad"};
    EXPECT_EQ(FormatOwnEchoLine(0, G("大家"), true, "hi bad \\e101"),
              G("<FONT class=\"nickrgb\">您 对 大家 说:</FONT> hi *** <img src=\"") + AppDir +
                  "Emotions/1.gif\"><BR>");
    EXPECT_EQ(FormatOwnEchoLine(25, "abc", false, "x"),
              G("<FONT class=\"nickrgb\">您 对 </FONT><a href=\"id:25:abc\" "
                "class=\"nickrgb\">abc(25)</a><FONT class=\"nickrgb\"> 说:</FONT> x<BR>"));
    EXPECT_EQ(FormatOwnEchoLine(25, "abc", true, "x"),
              G("<FONT class=\"red\">您 对 </FONT><a href=\"id:25:abc\" class=\"red\">abc(25)</a>"
                "<FONT class=\"red\"> 悄悄说: </FONT>x<BR>"));
    FilterWords = saved;
}

TEST(ConvertEditorHtml, EditorBodyToMessageText) {
    struct {
        const char* html;
        const char* text;
    } const cases[] = {
        {"<BODY style=\"x\">a<IMG src=\"file:///p/emotions/12.gif\">b</BODY>", "a\\e112b"},
        {"<BODY><IMG src=\"/p/emotions/1.gif\"></BODY>", "\\e101"},
        {"<BODY><IMG src=\"/p/emotions/123.gif\"></BODY>", "\\e223"},
        {"<BODY><IMG src=\"/p/VIPEmotions/5.gif\"></BODY>", "\\E105"},
        {"<BODY>one<BR><!--  -->two</BODY>", "one two"},
        {"<BODY>a &lt; b</BODY>", "a &lt; b"},
        {"<BODY>a&nbsp;&NBSP;b</BODY>", "ab"},
        {"<BODY><P>first</P><P>second</P></BODY>", "first"},
        {"<BODY>ab\r\ncd</BODY>", "ab"},
        {"<BODY>   </BODY>", ""},
        {"<BODY><IMG src=\"/p/x.png\">z</BODY>", "src=\"/p/x.png\"&gt;z"},
    };
    for (const auto& c : cases) {
        const auto text = ConvertEditorHtml(c.html);
        ASSERT_TRUE(text.has_value()) << c.html;
        EXPECT_EQ(*text, c.text) << c.html;
    }
    // A picture whose number does not read cannot be turned into a code.
    EXPECT_FALSE(ConvertEditorHtml("<BODY><IMG src=\"/p/emotions/smile.gif\"></BODY>"));
}

TEST(RouteChatLine, FilterAndMaskByKind) {
    const std::vector<std::string> words = {"bad"};
    std::vector<int> maskedKinds;
    auto masked = [&](int kind) {
        return std::find(maskedKinds.begin(), maskedKinds.end(), kind) != maskedKinds.end();
    };

    struct {
        bool isPublic;
        int kind;
        int maskKind;  // the mask that drops it, -1 none
        bool filtered;
    } const cases[] = {
        {true, 0, -1, false}, {true, 1, 0, true},    {true, 3, 2, true},  {true, 4, 3, true},
        {true, 2, -1, true},  {false, 0, -1, false}, {false, 2, 1, true}, {false, 1, -1, true},
    };
    for (const auto& c : cases) {
        maskedKinds.clear();
        auto line =
            RouteChatLine("bad", c.isPublic, static_cast<std::uint8_t>(c.kind), masked, words);
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(line->Pane, c.isPublic ? TChatPane::Public : TChatPane::Private);
        EXPECT_EQ(line->Html, c.filtered ? "***<BR>" : "bad<BR>") << c.kind;
        EXPECT_EQ(line->Flash, !c.isPublic);

        // Every mask but the line's own leaves it alone.
        maskedKinds = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        if (c.maskKind >= 0) {
            maskedKinds.erase(maskedKinds.begin() + c.maskKind);
        }
        EXPECT_TRUE(
            RouteChatLine("x", c.isPublic, static_cast<std::uint8_t>(c.kind), masked, words));
        if (c.maskKind >= 0) {
            maskedKinds = {c.maskKind};
            EXPECT_FALSE(
                RouteChatLine("x", c.isPublic, static_cast<std::uint8_t>(c.kind), masked, words))
                << c.kind;
        }
    }
}

TEST(RewriteElementById, LinksBecomeTextOrGo) {
    std::string line =
        "<span>x</span><span id=\"action_25\">ask <a href=\"rm:agree_25\">yes</a> <a "
        "href=\"rm:refuse_25\">no</a></span> end";
    ASSERT_TRUE(RewriteElementById(line, "action_25", TElementRewrite::InnerToText));
    EXPECT_EQ(line, "<span>x</span><span>ask yes no</span> end");
    EXPECT_FALSE(RewriteElementById(line, "action_25", TElementRewrite::InnerToText));

    std::string nested = "<div id='need_arrow_3'><div>a</div><img src=\"p.gif\"></div><div>b</div>";
    ASSERT_TRUE(RewriteElementById(nested, "need_arrow_3", TElementRewrite::EmptyInner));
    EXPECT_EQ(nested, "<div></div><div>b</div>");

    // The id must match whole, and attribute text elsewhere is no element.
    std::string other = "<a title=\"id=action_2\" id=action_25>t</a>";
    EXPECT_FALSE(RewriteElementById(other, "action_2", TElementRewrite::EmptyInner));
    EXPECT_TRUE(RewriteElementById(other, "action_25", TElementRewrite::EmptyInner));
    EXPECT_EQ(other, "<a title=\"id=action_2\"></a>");
}

TEST(ImageSources, InOrder) {
    EXPECT_EQ(ImageSources("<IMG src=\"a.gif\">t<img alt=x src='b.png'><imgx src=\"c\">"),
              (std::vector<std::string>{"a.gif", "b.png"}));
}

}  // namespace
