#include "common/XMLTag.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/GbkText.h"

namespace {

TEST(XMLParser, BuildsTheTree) {
    auto root = XMLParser::Parse(
        "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n"
        "<gifts ver=\"2\">\n"
        "  <gift id=\"1\" name=\"rose\" price=\"10\"/>\n"
        "  <gift name=\"car\" id=\"2\">fast &amp; red</gift>\n"
        "  <note><![CDATA[<b>x</b>]]> tail</note>\n"
        "  <blank> </blank>\n"
        "</gifts>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name, "gifts");
    EXPECT_EQ(root->Attribute("ver"), "2");
    EXPECT_TRUE(root->Content.empty());  // indentation between tags is no content
    auto gifts = root->ChildrenNamed("gift");
    ASSERT_EQ(gifts.size(), 2u);
    EXPECT_EQ(gifts[0]->Attributes, (std::vector<std::pair<std::string, std::string>>{
                                        {"id", "1"}, {"name", "rose"}, {"price", "10"}}));
    EXPECT_EQ(gifts[1]->Attributes.front().first, "name");
    EXPECT_EQ(gifts[1]->Text(), "fast & red");
    EXPECT_EQ(gifts[1]->Attribute("missing", "def"), "def");
    EXPECT_FALSE(gifts[1]->HasAttribute("ID"));  // names are exact

    const XMLTag* note = root->Child("note");
    ASSERT_NE(note, nullptr);
    ASSERT_EQ(note->Content.size(), 2u);
    EXPECT_TRUE(note->Content[0].IsCData);
    EXPECT_EQ(note->Content[0].Text, "<b>x</b>");
    EXPECT_FALSE(note->Content[1].IsCData);
    EXPECT_EQ(note->Text(), "<b>x</b> tail");
    EXPECT_EQ(root->Child("blank")->Text(), " ");
    EXPECT_EQ(root->Child("none"), nullptr);
}

TEST(XMLParser, KeepsGbkBytes) {
    const std::string name = Utf8ToGbk("鲜花");
    auto root = XMLParser::Parse("<a n=\"" + name + "\">" + name + "</a>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Attribute("n"), name);
    EXPECT_EQ(root->Text(), name);
    auto bom = XMLParser::Parse("\xEF\xBB\xBF<a/>");
    ASSERT_NE(bom, nullptr);
    EXPECT_EQ(bom->Name, "a");
}

TEST(XMLParser, TextThatDoesNotParseGivesNoTree) {
    for (const char* bad :
         {"", "   ", "<a><b></a>", "<a>", "<a x=1/>", "just text", "<a></a><b></b>"})
        EXPECT_EQ(XMLParser::Parse(bad), nullptr) << bad;
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<d>";
    for (int i = 0; i < 100000; ++i)
        deep += "</d>";
    EXPECT_EQ(XMLParser::Parse(deep), nullptr);
    EXPECT_EQ(XMLParser::ParseFile("/nonexistent/gift.xml"), nullptr);
}

TEST(XMLParser, ParseFile) {
    auto path = std::filesystem::temp_directory_path() / "xmltag_test_file.xml";
    std::ofstream(path, std::ios::binary) << "<root><item k=\"v\"/></root>";
    auto root = XMLParser::ParseFile(path.string());
    std::filesystem::remove(path);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Child("item")->Attribute("k"), "v");
}

TEST(XMLTag, WritesEscapesAndEmptyTags) {
    XMLTag root;
    root.Name = "r";
    root.SetAttribute("a", "x&y'\"<>");
    root.SetAttribute("b", "1");
    root.SetAttribute("a", "z");  // replaced in place
    XMLTag& empty = root.AddChild("e");
    empty.SetAttribute("k", "");
    XMLTag& text = root.AddChild("t");
    text.Content.push_back({"a<b & 'c' \"d\">", false});
    XMLTag& cdata = root.AddChild("c");
    cdata.Content.push_back({"<raw>]]>end", true});
    EXPECT_EQ(root.ToXml(),
              "<r a=\"z\" b=\"1\"><e k=\"\"/>"
              "<t>a&lt;b &amp; &apos;c&apos; &quot;d&quot;&gt;</t>"
              "<c><![CDATA[<raw>]]]]><![CDATA[>end]]></c></r>");
    EXPECT_EQ(XmlEscape("&'\"<>"), "&amp;&apos;&quot;&lt;&gt;");

    // What is written parses back to the same tree.
    auto again = XMLParser::Parse(root.ToXml());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->ToXml(), root.ToXml());
    EXPECT_EQ(again->Child("c")->Text(), "<raw>]]>end");
    EXPECT_EQ(again->Child("t")->Text(), text.Text());
}

}  // namespace
