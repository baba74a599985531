// The lines the engine builds for the room's panes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EngineLines.h"
#include "common/GbkText.h"

using namespace engine;

namespace {

const PictureFolders kFolders{"/app/Emotions/", "/app/VIPEmotions/", "/app/Seal/", "/app/Dat/"};

}  // namespace

TEST(EngineLines, EmoticonCodesExpandLikeTheEditorWritesThem) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"\\e101", "<img src=\"/app/Emotions/1.gif\">"},
        {"\\e100 \\e099", "\\e100 \\e099"},
        {"\\E105", "<img src=\"/app/VIPEmotions/5.gif\">"},
        {"x\\e10", "x\\e10"},
        {"a\\e102b\\E203c",
         "a<img src=\"/app/Emotions/2.gif\">b<img src=\"/app/VIPEmotions/103.gif\">c"},
        {"\\e1234", "<img src=\"/app/Emotions/23.gif\">4"},
        {"\\e1x5", "\\e1x5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandEmotionCodes(c.in, kFolders), c.out) << c.in;
}

TEST(EngineLines, ChatLinesEscapeNicknamesAndDefuseBodies) {
    LineUser from{7, "<b>\"x\"</b>", 1, 100, 1017};
    LineUser all{0, "", 0, 0, 0};
    std::string line = ChatLine(from, all, false, false, "<script>1</script>\\e101", kFolders);
    EXPECT_EQ(line.find("<b>"), std::string::npos);
    EXPECT_EQ(line.find("<script>"), std::string::npos);
    EXPECT_NE(line.find("href=\"id:7:&lt;b&gt;&quot;x&quot;&lt;/b&gt;\" class=\"nickrgb\""),
              std::string::npos);
    EXPECT_NE(line.find("(7)</a>"), std::string::npos);
    EXPECT_NE(line.find("<img src=\"/app/Seal/17.png\">"), std::string::npos);
    EXPECT_NE(line.find(Utf8ToGbk(" 对 大家 ")), std::string::npos);
    EXPECT_NE(line.find("<img src=\"/app/Emotions/1.gif\">"), std::string::npos);

    LineUser to{9, "bob", 1, 100, 0};
    std::string whisper = ChatLine(from, to, true, false, "<FONT STYLE=\"c\">hi</FONT>", kFolders);
    EXPECT_NE(whisper.find("class=\"red\""), std::string::npos);
    EXPECT_NE(whisper.find(Utf8ToGbk(" 悄悄说: ")), std::string::npos);
    EXPECT_NE(whisper.find("<a href=\"id:9:bob\" class=\"red\">bob</a>"), std::string::npos);
    EXPECT_NE(whisper.find("<FONT STYLE=\"c\">hi</FONT>"), std::string::npos);
    // The addressee's seal key 0 shows no seal.
    EXPECT_EQ(whisper.find("Seal/0.png"), std::string::npos);
}

TEST(EngineLines, BadgesNeedTheirPicture) {
    auto dir = std::filesystem::temp_directory_path() / ("badges-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "Dat");
    for (const char* f : {"50.gif", "1050.gif"})
        std::ofstream(dir / "Dat" / f) << "GIF";
    PictureFolders folders = PictureFolders::Under(dir.string() + "/");
    std::string dat = dir.string() + "/Dat/";
    EXPECT_EQ(BadgeImageHtml(50, 1050, folders), "<img src=\"" + dat + "50.gif\">");
    EXPECT_EQ(BadgeImageHtml(0, 1050, folders), "<img src=\"" + dat + "1050.gif\">");
    EXPECT_EQ(BadgeImageHtml(0, 1095, folders), "");
    EXPECT_EQ(BadgeImageHtml(49, 100, folders), "");  // no picture for 49 here
    std::filesystem::remove_all(dir);
}

TEST(EngineLines, GreetingTakesItsStyleAndConsentLinksSitInTheActionElement) {
    EXPECT_EQ(GreetingLine("hi <all>{style}color:red\"><x"),
              "<FONT STYLE=\"color:redx\">hi &lt;all&gt;</FONT>");
    EXPECT_EQ(GreetingLine("plain"), "<FONT STYLE=\"\">plain</FONT>");
    std::string ask = ConsentLine(42, "<u>n");
    EXPECT_EQ(ask.rfind("<SPAN id=\"action_42\">", 0), 0u);
    EXPECT_NE(ask.find("<a href=\"rm:agree_42\">"), std::string::npos);
    EXPECT_NE(ask.find("<a href=\"rm:refuse_42\">"), std::string::npos);
    EXPECT_EQ(ask.find("<u>"), std::string::npos);
}
