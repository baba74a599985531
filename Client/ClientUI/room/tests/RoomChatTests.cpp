#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "chat/ChatBoxes.h"
#include "chat/ChatCatalogues.h"
#include "chat/ChatFormat.h"
#include "chat/ChatViewFrame.h"
#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"
#include "chat/LabaForm.h"
#include "chat/MyInfoSetForm.h"
#include "chat/RollingTipPanel.h"
#include "chat/RoomNoticeForm.h"
#include "common/GbkText.h"
#include "foundation/Globals.h"
#include "room/RoomChat.h"
#include "room/RoomForm.h"
#include "room/tests/RoomFakeEngine.h"

namespace {

constexpr std::int32_t kMe = 1000;

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct TBox {
    std::string Text;
    std::string Caption;
};

class RoomChatTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RoomTestApp();
        ASSERT_TRUE(appDir_.isValid());
        AppDir = appDir_.path().toStdString() + "/";
        FilterWords.clear();
        CreateChatCatalogues();
        std::filesystem::create_directories(AppDir + "ColorWord");
        WriteFile(AppDir + "ColorWord/word.xml",
                  "<w><item><index>1</index><Name>one</Name><html>1</html></item>"
                  "<item><index>2</index><Name>two</Name><html>2</html></item>"
                  "<item><index>7</index><Name>three</Name><html>7</html></item></w>");
        WriteFile(AppDir + "Reply.dat", G("[Auto]\n1=busy now\n[ShortCut]\n1=hello \\e112\n"));
        SetChatBoxHook([this](const std::string& text, const std::string& caption, TBoxIcon) {
            boxes_.push_back({text, caption});
        });
        TfrmRoom::SetTickSourceForTests([this] { return now_; });
        InstallRoomChat();
        room_ = new TfrmRoom(nullptr, std::make_unique<TFakeEngineSource>(engine_));
        chat_ = RoomChatOf(*room_);
        ASSERT_NE(chat_, nullptr);
        frame_ = chat_->Frame();
        frame_->PopupMenu = [this](QMenu* menu) { opened_.push_back(menu); };
    }
    void TearDown() override {
        delete room_;
        ClearRoomPartInstallers();
        SetChatBoxHook({});
        TfrmRoom::SetTickSourceForTests({});
        DestroyChatCatalogues();
    }
    void Enter(std::int16_t role, std::int16_t level = 1010) {
        engine_.SetMe(kMe, "me", role, level);
        engine_.RoomInfo.AllowPublicChat = 1;
        engine_.RoomInfo.AllowPrivateChat = 1;
        engine_.RoomInfo.AllowColorWord = 1;
        room_->OpenRoom(88, kMe, false, 0, "digest", "");
        engine_.Sink->OnRoomEntered("lobby", 0, 88, 0, 0, static_cast<std::uint16_t>(role), 0);
        engine_.Calls.clear();
    }
    void Type(const std::string& text) {
        QTest::keyClicks(frame_->hceChat->Editor(), text.c_str());
    }
    std::vector<std::string> Private() const { return frame_->hcvPrivate->ShownLines(); }
    bool LastPrivateHas(const std::string& text) const {
        const auto lines = Private();
        return !lines.empty() && lines.back().find(text) != std::string::npos;
    }
    std::string Sent(std::int32_t to, int whisper, int autoReply, const std::string& text) const {
        return "SendChat(" + std::to_string(to) + "," + std::to_string(whisper) + "," +
               std::to_string(autoReply) + "," + WrapMessageBody(frame_->hceChat->FontStyle, text) +
               ")";
    }

    QTemporaryDir appDir_;
    TRecordingEngine engine_;
    TfrmRoom* room_ = nullptr;
    TRoomChat* chat_ = nullptr;
    TframeChatView* frame_ = nullptr;
    std::vector<QMenu*> opened_;
    std::vector<TBox> boxes_;
    std::int64_t now_ = 100000;
};

TEST_F(RoomChatTest, TheFrameTakesThePlaceOfTheRoomsPanes) {
    EXPECT_EQ(room_->hcvPublic, frame_->hcvPublic);
    EXPECT_EQ(room_->hcvPrivate, frame_->hcvPrivate);
    EXPECT_EQ(room_->hceChat, frame_->hceChat);
    Enter(50);

    // The user list's choice, a nickname change and the user leaving.
    engine_.Sink->OnUserEnter(25, "bob", 1, 1, 1010, 0, 0, 0, 0, 0, 0);
    room_->Parts().SelectChatTarget(25, "bob");
    engine_.Sink->OnUserChanged(25, "bobby", 1);
    EXPECT_EQ(room_->Parts().GetChatTarget(), std::make_pair(25, std::string("bobby")));
    engine_.Sink->OnUserLeave(25);
    EXPECT_EQ(room_->Parts().GetChatTarget().first, 0);

    engine_.Sink->OnRollingTip("tip A", 1);
    EXPECT_EQ(frame_->pnlTop->PermanentTip(), "tip A");
    frame_->btnFavorites->click();
    EXPECT_EQ(engine_.Calls, std::vector<std::string>{"AddFavoriteRoom()"});
}

TEST_F(RoomChatTest, SendChecksComeInOrderAndRefusalsKeepTheText) {
    Enter(1);  // a visitor's rank
    now_ += 5000;
    Type("hi");
    frame_->btnSendMsg->click();
    EXPECT_TRUE(LastPrivateHas(G("游客进房间十秒后才能发言!")));
    EXPECT_EQ(frame_->hceChat->MessageLength(), 2);

    now_ += 5000;  // ten seconds after entering
    frame_->btnSendMsg->click();
    EXPECT_EQ(engine_.CallsOf("SendChat"), std::vector<std::string>{Sent(0, 0, 0, "hi")});

    now_ += 299;
    Type("again");
    QTest::keyClick(frame_->hceChat->Editor(), Qt::Key_Return);
    EXPECT_TRUE(LastPrivateHas(G("对不起，您说话太快了，请坐下来休息会！")));
    EXPECT_EQ(frame_->hceChat->MessageLength(), 5);
    now_ += 1;
    QTest::keyClick(frame_->hceChat->Editor(), Qt::Key_Return);
    EXPECT_EQ(engine_.CallsOf("SendChat").size(), 2u);

    // Too long: Enter has the editor's own box, Send the room's.
    now_ += 1000;
    Type(std::string(701, 'x'));
    QTest::keyClick(frame_->hceChat->Editor(), Qt::Key_Return);
    frame_->btnSendMsg->click();
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].Caption, G("提示"));
    EXPECT_EQ(boxes_[1].Text, G("您输入的字数超过最大字符限制！"));
    EXPECT_EQ(boxes_[1].Caption, G("错误"));
    EXPECT_EQ(frame_->hceChat->MessageLength(), 701);

    engine_.MyInfo.ChatBanned = 1;
    now_ += 1000;
    frame_->btnSendMsg->click();
    EXPECT_TRUE(LastPrivateHas(G("您在本房间被禁止发言，请联系房主或巡管申请解禁。")));
    EXPECT_EQ(engine_.CallsOf("SendChat").size(), 2u);
}

TEST_F(RoomChatTest, TheEchoComesBeforeTheRoomsPermissionTest) {
    Enter(50);
    engine_.RoomInfo.AllowPrivateChat = 0;
    room_->Parts().SelectChatTarget(25, "bob");
    frame_->cbbNickNameTo->setCurrentIndex(1);
    emit frame_->cbbNickNameTo->activated(1);
    frame_->ckStealthily->setChecked(true);
    Type("secret");
    frame_->btnSendMsg->click();
    const auto lines = Private();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[lines.size() - 2].find("secret"), std::string::npos);
    EXPECT_NE(lines.back().find(G("本房间不允许私聊！")), std::string::npos);
    EXPECT_TRUE(engine_.CallsOf("SendChat").empty());

    // The highest rank speaks whatever the room allows.
    engine_.MyInfo.Role.Set(255);
    now_ += 1000;
    Type("secret");
    frame_->btnSendMsg->click();
    EXPECT_EQ(engine_.CallsOf("SendChat"), std::vector<std::string>{Sent(25, 1, 0, "secret")});
}

TEST_F(RoomChatTest, ColourWordsGoByMenuPositionWhenTheRoomAllowsThem) {
    Enter(50);
    ASSERT_EQ(frame_->popColorWord->actions().size(), 3);
    const std::size_t before = Private().size();
    frame_->popColorWord->actions()[2]->trigger();
    EXPECT_EQ(engine_.CallsOf("SendChat"),
              std::vector<std::string>{"SendChat(0,0,0,\\ColorWord3)"});
    EXPECT_EQ(Private().size(), before);  // no echo: the line comes back from the engine

    engine_.RoomInfo.AllowColorWord = 0;
    frame_->popColorWord->actions()[0]->trigger();
    EXPECT_TRUE(LastPrivateHas(G("本房间屏蔽了彩字功能。")));
    EXPECT_EQ(engine_.CallsOf("SendChat").size(), 1u);
}

TEST_F(RoomChatTest, MemberCommandsNeedALevelAbove1009) {
    for (std::int16_t level : {1009, 1010}) {
        SCOPED_TRACE(level);
        const bool member = level > 1009;
        Enter(50, level);
        opened_.clear();
        const std::size_t before = Private().size();
        frame_->btnBet->click();
        frame_->btnLaba->click();
        frame_->btnAutoReply->click();
        EXPECT_EQ(Private().size(), before + (member ? 0 : 3));
        EXPECT_EQ(engine_.CallsOf("ThrowDice").size(), member ? 1u : 0u);
        EXPECT_EQ(chat_->HornWindow() != nullptr && chat_->HornWindow()->isVisible(), member);
        EXPECT_EQ(opened_,
                  member ? std::vector<QMenu*>{frame_->popAutoReply} : std::vector<QMenu*>{});
    }
    // The horn window's text goes to the engine as a horn.
    chat_->HornWindow()->htmlchtdt->PasteText("hear me");
    chat_->HornWindow()->btnOK->click();
    EXPECT_EQ(engine_.CallsOf("SendHorn"), std::vector<std::string>{"SendHorn(0)"});
}

TEST_F(RoomChatTest, HornAndNoticeButtonsByRank) {
    Enter(255, 1010);
    frame_->btnLaba->click();
    ASSERT_EQ(opened_, std::vector<QMenu*>{frame_->popNotify});
    emit frame_->popNotify->aboutToShow();
    EXPECT_TRUE(frame_->miSendSystem->isVisible());
    frame_->miSendSystem->trigger();
    ASSERT_NE(chat_->SystemNoticeWindow(), nullptr);
    EXPECT_TRUE(chat_->SystemNoticeWindow()->isVisible());
    EXPECT_EQ(chat_->HornWindow(), nullptr);

    engine_.MyInfo.Role.Set(50);
    emit frame_->popNotify->aboutToShow();
    EXPECT_FALSE(frame_->miSendSystem->isVisible());
    engine_.MyInfo.Role.Set(235);
    frame_->btnLaba->click();  // straight to the horn window
    ASSERT_NE(chat_->HornWindow(), nullptr);
    EXPECT_TRUE(chat_->HornWindow()->isVisible());

    struct TCase {
        std::int16_t Role;
        unsigned char Allowed;
        const char* Refusal;  // null: the window opens
    };
    for (const TCase& c :
         {TCase{25, 1, "您没有发送临时公告的权限。"},
          TCase{30, 0, "本房间目前不允许发送临时公告。"}, TCase{235, 0, nullptr}}) {
        SCOPED_TRACE(c.Role);
        engine_.MyInfo.Role.Set(c.Role);
        engine_.RoomInfo.AllowRoomNotice = c.Allowed;
        frame_->btnRoomNotice->click();
        if (c.Refusal) {
            EXPECT_TRUE(LastPrivateHas(G(c.Refusal)));
            EXPECT_EQ(chat_->RoomNoticeWindow(), nullptr);
        } else {
            ASSERT_NE(chat_->RoomNoticeWindow(), nullptr);
            EXPECT_TRUE(chat_->RoomNoticeWindow()->isVisible());
        }
    }
}

TEST_F(RoomChatTest, AutoReplyAnswersEveryoneWhoSpeaksToTheUser) {
    Enter(1, 1010);
    frame_->btnAutoReply->click();
    ASSERT_EQ(frame_->popAutoReply->actions().size(), 3);  // the reply, "-", "编辑回复..."
    frame_->popAutoReply->actions()[0]->trigger();
    EXPECT_EQ(frame_->btnAutoReply->text().toStdString(), "取消回复");

    const std::size_t before = Private().size();
    engine_.Sink->OnChatToMe(7, "bob", 0);
    engine_.Sink->OnChatToMe(8, "carl", 0);
    EXPECT_EQ(engine_.CallsOf("SendChat"),
              (std::vector<std::string>{Sent(7, 0, 1, "busy now"), Sent(8, 0, 1, "busy now")}));
    EXPECT_EQ(Private().size(), before);  // no echo

    engine_.RoomInfo.AllowPublicChat = 0;
    engine_.Sink->OnChatToMe(9, "dan", 0);
    EXPECT_TRUE(LastPrivateHas(G("本房间不允许公聊！")));

    // Pressed again: off, without the menu.
    opened_.clear();
    frame_->btnAutoReply->click();
    EXPECT_EQ(frame_->btnAutoReply->text().toStdString(), "自动回复");
    EXPECT_TRUE(opened_.empty());
    engine_.RoomInfo.AllowPublicChat = 1;
    engine_.Sink->OnChatToMe(7, "bob", 0);
    EXPECT_EQ(engine_.CallsOf("SendChat").size(), 2u);
}

TEST_F(RoomChatTest, ShortcutPhrasesRunTheSendChecks) {
    Enter(50);
    QMenu* menu = frame_->popShortCutReply;
    ASSERT_EQ(menu->actions().size(), 3);
    menu->actions()[0]->trigger();
    EXPECT_EQ(engine_.CallsOf("SendChat"), std::vector<std::string>{Sent(0, 0, 0, "hello \\e112")});
    EXPECT_NE(Private().back().find("12.gif"), std::string::npos);  // the echo shows the picture

    menu->actions()[0]->trigger();  // within 300 ms
    EXPECT_TRUE(LastPrivateHas(G("对不起，您说话太快了，请坐下来休息会！")));
    EXPECT_EQ(frame_->hceChat->ReadChatInfo(), "hello \\e112");

    // The last item edits the store; a confirmed edit refills the menu.
    chat_->EditReplies = [](TReply& store) { return store.TakeTexts({"a", "b"}); };
    menu->actions().back()->trigger();
    EXPECT_EQ(menu->actions().size(), 4);
    EXPECT_EQ(engine_.CallsOf("SendChat").size(), 1u);
}

TEST_F(RoomChatTest, MemberEmoticonsNeedRankAndLevel) {
    Enter(1, 100);
    chat_->EmotionChosen("12.gif", "2");
    EXPECT_TRUE(LastPrivateHas(G("您还不能发送会员表情，升级成VIP后才可以使用！")));
    EXPECT_EQ(frame_->hceChat->MessageLength(), 0);
    chat_->EmotionChosen("12.gif", " 1 ");
    EXPECT_EQ(frame_->hceChat->ReadChatInfo(), "\\e112");

    engine_.MyInfo.Role.Set(2);
    engine_.MyInfo.Level.Set(101);
    chat_->EmotionChosen("3.gif", "2");
    EXPECT_EQ(frame_->hceChat->ReadChatInfo(), "\\e103");
}

TEST_F(RoomChatTest, MyInfoKeepsOrReplacesTheReconnectDigest) {
    Enter(1);
    std::string newDigest;
    chat_->RunMyInfo = [&](TfrmMyInfoSet& dialog, std::int32_t user, int, const std::string& digest,
                           const std::string& nick) {
        EXPECT_EQ(user, kMe);
        EXPECT_EQ(nick, "me");
        dialog.OnResult(digest, "newnick", newDigest, 4);
    };
    room_->btnModifyInfo->click();
    EXPECT_EQ(room_->PasswordDigest(), "digest");
    newDigest = "fresh";
    room_->btnModifyInfo->click();
    EXPECT_EQ(room_->PasswordDigest(), "fresh");
    EXPECT_EQ(engine_.CallsOf("ModifyMyInfo"),
              (std::vector<std::string>{"ModifyMyInfo(4)", "ModifyMyInfo(4)"}));
}

}  // namespace
