#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "ChatTestSupport.h"
#include "chat/ChatFormat.h"
#include "chat/ChatTexts.h"
#include "chat/ChatViewFrame.h"
#include "chat/FontFrame.h"
#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"

namespace {

struct SentChat {
    std::int32_t To;
    std::string Nick;
    bool Whisper;
    bool AutoReply;
    std::string Html;
    std::size_t PrivateLinesThen;  // lines the private pane showed at the hand-over
};

class ChatFrameTest : public AppTest {
  protected:
    void SetUp() override {
        frame.PopupMenu = [this](QMenu* menu) { opened.push_back(menu); };
        frame.OnSendChat = [this](std::int32_t to, const std::string& nick, bool whisper,
                                  bool autoReply, const std::string& html) {
            sent.push_back(
                {to, nick, whisper, autoReply, html, frame.hcvPrivate->ShownLines().size()});
        };
        frame.show();
    }
    // The echo line carries the message text, not its font wrapper.
    bool PrivateHas(const std::string& text) const {
        for (const std::string& line : frame.hcvPrivate->ShownLines()) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }
    void Type(const char* text) { QTest::keyClicks(frame.hceChat->Editor(), text); }
    // The user picks an entry of the partner box.
    void Pick(int index) {
        frame.cbbNickNameTo->setCurrentIndex(index);
        emit frame.cbbNickNameTo->activated(index);
    }

    ScratchAppDir dir;
    TframeChatView frame;
    std::vector<QMenu*> opened;
    std::vector<SentChat> sent;
};

TEST_F(ChatFrameTest, PartnerBoxAndWhisperBoxShowThePartnerList) {
    ASSERT_EQ(frame.cbbNickNameTo->count(), 1);
    EXPECT_EQ(QStringToGbk(frame.cbbNickNameTo->currentText()), G("大家"));
    EXPECT_FALSE(frame.ckStealthily->isEnabled());
    EXPECT_EQ(frame.hceChat->MaxLength, 700);

    // Chosen from the user list: listed and selected, the whisper box untouched.
    frame.SelectChatTarget(25, "bob");
    ASSERT_EQ(frame.cbbNickNameTo->count(), 2);
    EXPECT_EQ(frame.cbbNickNameTo->currentText(), "bob");
    EXPECT_FALSE(frame.ckStealthily->isEnabled());

    // Picked in the box: the whisper box opens.
    Pick(0);
    Pick(1);
    EXPECT_TRUE(frame.ckStealthily->isEnabled());
    frame.ckStealthily->setChecked(true);
    EXPECT_TRUE(frame.Targets().Whispering());

    frame.RenameChatTarget(25, "bobby");
    EXPECT_EQ(frame.cbbNickNameTo->currentText(), "bobby");
    std::int32_t id = 0;
    std::string nick;
    frame.GetChatTarget(id, nick);
    EXPECT_EQ(id, 25);
    EXPECT_EQ(nick, "bobby");

    // Back to everybody: the box closes and clears.
    Pick(0);
    EXPECT_FALSE(frame.ckStealthily->isEnabled());
    EXPECT_FALSE(frame.ckStealthily->isChecked());

    frame.SelectChatTarget(30, "carl");
    frame.RemoveChatTarget(30);
    EXPECT_EQ(frame.cbbNickNameTo->count(), 2);
    EXPECT_EQ(frame.cbbNickNameTo->currentIndex(), 0);
    frame.GetChatTarget(id, nick);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(nick, G("大家"));
}

TEST_F(ChatFrameTest, SendingEchoesFirstThenHandsOverToThePartner) {
    frame.SelectChatTarget(25, "bob");
    Pick(1);
    frame.ckStealthily->setChecked(true);
    frame.RenameChatTarget(25, "bobby");
    Type("a < b");
    frame.btnSendMsg->click();  // no room: the frame's own send step
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].To, 25);
    EXPECT_EQ(sent[0].Nick, "bobby");
    EXPECT_TRUE(sent[0].Whisper);
    EXPECT_FALSE(sent[0].AutoReply);
    EXPECT_EQ(sent[0].Html, WrapMessageBody(frame.hceChat->FontStyle, "a &lt; b"));
    EXPECT_EQ(sent[0].PrivateLinesThen, 1u);  // the echo came first
    EXPECT_TRUE(PrivateHas("a &lt; b"));
    EXPECT_TRUE(frame.hceChat->Editor()->document()->isEmpty());

    // Raw text: same partner, never whispered, no echo.
    const std::size_t lines = frame.hcvPrivate->ShownLines().size();
    frame.SendRaw(ColorWordCode(3));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].To, 25);
    EXPECT_FALSE(sent[1].Whisper);
    EXPECT_EQ(sent[1].Html, "\\ColorWord3");
    EXPECT_EQ(frame.hcvPrivate->ShownLines().size(), lines);

    // Nothing to send: the shortcut phrases open instead.
    frame.btnSendMsg->click();
    EXPECT_EQ(sent.size(), 2u);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], frame.popShortCutReply);
}

TEST_F(ChatFrameTest, EnterGoesThroughTheRoomsHandlerWhenItHasOne) {
    int roomChecks = 0;
    frame.OnSendClick = [&] { ++roomChecks; };
    Type("hi");
    QTest::keyClick(frame.hceChat->Editor(), Qt::Key_Return);
    frame.btnSendMsg->click();
    EXPECT_EQ(roomChecks, 2);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(frame.hceChat->MessageLength(), 2);  // the room decides; the text stays
}

TEST_F(ChatFrameTest, ScrollBoxAndClearMenuActOnThePanes) {
    frame.hcvPublic->AppendLine("pub<BR>");
    frame.hcvPrivate->AppendLine("priv<BR>");

    frame.ckScroll->setChecked(false);
    EXPECT_FALSE(frame.hcvPublic->EnableScroll());
    EXPECT_FALSE(frame.hcvPrivate->EnableScroll());
    frame.N3->trigger();  // marks "禁止公屏滚动"
    frame.N3->trigger();  // and takes the mark off again: the public pane scrolls
    EXPECT_TRUE(frame.hcvPublic->EnableScroll());
    EXPECT_FALSE(frame.hcvPrivate->EnableScroll());
    frame.N5->trigger();
    EXPECT_FALSE(frame.hcvPrivate->EnableScroll());

    frame.N1->trigger();
    EXPECT_TRUE(frame.hcvPublic->ShownLines().empty());
    EXPECT_TRUE(PrivateHas("priv"));
    frame.N2->trigger();
    EXPECT_TRUE(frame.hcvPrivate->ShownLines().empty());

    frame.btnClearScreen->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], frame.popClear);
}

TEST_F(ChatFrameTest, FontBarStylesTheEditorAndReportsTheString) {
    std::vector<std::string> changes;
    frame.OnChangeFont = [&](const std::string& font) { changes.push_back(font); };
    frame.btnSelectFont->click();
    EXPECT_TRUE(frame.pnlFont->isVisible());

    frame.ApplyChatFont(G("宋体,12,255,1,0,1"));
    EXPECT_FALSE(frame.pnlFont->isVisible());
    EXPECT_EQ(frame.hceChat->FontStyle,
              BuildFontStyle(kFontBold | kFontUnderline, G("宋体"), 255, 12));
    EXPECT_TRUE(changes.empty());  // loading is no change of the user's

    frame.frmFont->btnBold->click();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], G("宋体,12,255,0,0,1"));
    EXPECT_EQ(frame.hceChat->FontStyle, BuildFontStyle(kFontUnderline, G("宋体"), 255, 12));
}

TEST_F(ChatFrameTest, MenusReportTheChosenPosition) {
    std::vector<std::pair<int, int>> chosen;
    frame.OnColorWordItem = [&](int position, int count) { chosen.push_back({position, count}); };
    for (const char* name : {"one", "two", "three"})
        frame.popColorWord->addAction(name);
    frame.btnVIPEmotion->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], frame.popColorWord);
    frame.popColorWord->actions()[2]->trigger();
    EXPECT_EQ(chosen, (std::vector<std::pair<int, int>>{{2, 3}}));
}

}  // namespace
