#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <fstream>

#include "av/AVShowFrame.h"
#include "av/ControlFrame.h"
#include "chat/HtmlChatView.h"
#include "common/IniFile.h"
#include "foundation/Globals.h"
#include "gifts/GiftStatistic.h"
#include "room/PersonMicForm.h"
#include "room/PersonMicManage.h"
#include "room/PriMicMngClass.h"
#include "room/RoomForm.h"
#include "room/RoomTexts.h"
#include "room/UserListPanel.h"
#include "room/tests/RoomFakeEngine.h"

namespace {

constexpr std::int32_t kMe = 1000;
constexpr std::int32_t kRoom = 88;

struct TBox {
    QWidget* Owner;
    std::string Text;
    std::string Caption;
    TfrmRoom::TBoxIcon Icon;
};

class RoomFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RoomTestApp();
        ASSERT_TRUE(appDir_.isValid());
        AppDir = appDir_.path().toStdString() + "/";
        FilterWords.clear();
        EnterCount = 0;
        TfrmRoom::SetMessageBoxHandler([this](QWidget* owner, const std::string& text,
                                              const std::string& caption, TfrmRoom::TBoxIcon icon) {
            boxes_.push_back({owner, text, caption, icon});
        });
        TfrmRoom::SetTickSourceForTests([this] { return now_; });
        auto source = std::make_unique<TFakeEngineSource>(engine_);
        source_ = source.get();
        hall_ = std::make_unique<QWidget>();
        room_ = new TfrmRoom(hall_.get(), std::move(source));
    }
    void TearDown() override {
        delete room_.data();
        Flush();
        TfrmRoom::SetMessageBoxHandler({});
        TfrmRoom::SetTickSourceForTests({});
        FilterWords.clear();
    }
    // Runs what the room left for the event loop (deferred reloads and
    // deletions).
    static void Flush() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Enter(std::int16_t role = 1, std::int16_t level = 1010, std::int16_t mic = 0) {
        engine_.SetMe(kMe, "me", role, level, mic);
        room_->AddRoomServer(0x0100007F);
        room_->OpenRoom(kRoom, kMe, false, 7, "digest", "pw");
        engine_.Sink->OnRoomEntered("lobby", 0, kRoom, 10, 20, static_cast<std::uint16_t>(role), 0);
    }
    void AddUser(std::int32_t id, std::int16_t role = 1, std::int16_t mic = 0,
                 std::uint8_t hidden = 0) {
        engine_.Sink->OnUserEnter(id, ("u" + std::to_string(id)).c_str(), 1, role, 1010, 0, mic, 0,
                                  hidden, 0, 0);
    }
    bool PaneHas(THtmlChatView* pane, const std::string& text) const {
        for (const std::string& line : pane->ShownLines()) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }
    std::vector<TframeAVShow*> FloatingFrames() const {
        std::vector<TframeAVShow*> out;
        for (TframeAVShow* f : room_->findChildren<TframeAVShow*>()) {
            if (f->IsFloating())
                out.push_back(f);
        }
        return out;
    }

    QTemporaryDir appDir_;
    std::unique_ptr<QWidget> hall_;
    TRecordingEngine engine_;
    TFakeEngineSource* source_ = nullptr;
    QPointer<TfrmRoom> room_;
    std::vector<TBox> boxes_;
    std::int64_t now_ = 100000;
};

TEST_F(RoomFormTest, OpeningConnectsWithTheHallsValues) {
    ASSERT_TRUE(room_->Created());
    EXPECT_EQ(engine_.Sink, static_cast<IClientViewSink*>(room_.data()));
    engine_.Calls.clear();
    room_->AddRoomServer(0x0100007F);
    room_->AddRoomServer(0x0200007F);
    EXPECT_EQ(room_->ServerList(), (std::vector<std::string>{"16777343", "33554559"}));
    room_->OpenRoom(kRoom, kMe, true, 7, "digest", "pw");
    EXPECT_EQ(engine_.Calls, (std::vector<std::string>{"ClearServers()", "AddServer(16777343)",
                                                       "AddServer(33554559)",
                                                       "EnterRoom(88,1000,pw,digest,7,1,0)"}));
    EXPECT_FALSE(room_->isVisible());
}

TEST_F(RoomFormTest, EnteredRoomShowsCaptionsAndCountsTheEntry) {
    Enter(50);
    EXPECT_EQ(QtToGbk(room_->windowTitle()), RoomText("88房间(me)"));
    EXPECT_EQ(QtToGbk(room_->lblRoomName->text()), "(88)lobby");
    EXPECT_EQ(room_->lbID->text(), "1000");
    EXPECT_FALSE(room_->btnRoomOwnerSetting->isHidden());
    EXPECT_FALSE(room_->frameUserCtr->btnPersonMicmanager->isEnabled());
    EXPECT_TRUE(room_->isVisible());
    EXPECT_EQ(EnterCount, 1);
    EXPECT_EQ(room_->pnlUserList->UserID(), kMe);
}

TEST(RoomFormCreation, MissingEngineModuleFailsTheCreation) {
    RoomTestApp();
    TRecordingEngine engine;
    auto* room = new TfrmRoom(nullptr, std::make_unique<TFakeEngineSource>(engine, false));
    EXPECT_FALSE(room->Created());
    delete room;
}

TEST_F(RoomFormTest, HiddenUsersReachTheListOnlyForTheTopRanks) {
    struct TCase {
        std::int16_t MyRole;
        bool Listed;
    };
    for (const TCase& c :
         {TCase{1, false}, TCase{100, false}, TCase{235, true}, TCase{255, true}}) {
        SCOPED_TRACE(c.MyRole);
        engine_.SetMe(kMe, "me", c.MyRole, 1010);
        room_->pnlUserList->ClearUsers();
        AddUser(2000, 1, 0, 1);
        AddUser(2001, 1, 0, 0);
        EXPECT_EQ(room_->pnlUserList->FindUser(2000) != nullptr, c.Listed);
        EXPECT_NE(room_->pnlUserList->FindUser(2001), nullptr);
    }
}

TEST_F(RoomFormTest, ShowLineFiltersMasksAndPicksThePane) {
    Enter();
    FilterWords = {"bad"};
    std::set<int> masked;
    room_->Parts().IsMasked = [&masked](int kind) { return masked.count(kind) != 0; };
    struct TCase {
        const char* Html;
        bool Public;
        std::uint16_t Kind;
        std::set<int> Masked;
        const char* PublicShows;   // null: nothing new
        const char* PrivateShows;  // null: nothing new
    };
    const TCase cases[] = {
        {"k0 bad", true, 0, {}, "k0 bad", nullptr},
        {"k1 bad", true, 1, {}, "k1 ***", nullptr},
        {"hi byte bad", true, 0x0100, {}, "hi byte bad", nullptr},
        {"pub1", true, 1, {0}, nullptr, nullptr},
        {"pub3", true, 3, {2}, nullptr, nullptr},
        {"pub4", true, 4, {3}, nullptr, nullptr},
        {"pub4 shown", true, 4, {0, 1, 2}, "pub4 shown", nullptr},
        {"pri2", false, 2, {1}, nullptr, nullptr},
        {"pri2 shown", false, 2, {0}, nullptr, "pri2 shown"},
        {"pri1 bad", false, 1, {1}, nullptr, "pri1 ***"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Html);
        masked = c.Masked;
        const auto publicBefore = room_->hcvPublic->ShownLines().size();
        const auto privateBefore = room_->hcvPrivate->ShownLines().size();
        engine_.Sink->OnMessage(c.Html, c.Public ? 1 : 0, c.Kind);
        EXPECT_EQ(room_->hcvPublic->ShownLines().size(), publicBefore + (c.PublicShows ? 1 : 0));
        EXPECT_EQ(room_->hcvPrivate->ShownLines().size(), privateBefore + (c.PrivateShows ? 1 : 0));
        if (c.PublicShows) {
            EXPECT_TRUE(PaneHas(room_->hcvPublic, c.PublicShows));
        }
        if (c.PrivateShows) {
            EXPECT_TRUE(PaneHas(room_->hcvPrivate, c.PrivateShows));
        }
    }
}

TEST_F(RoomFormTest, RmLinkAnswersAndTurnsTheRequestIntoText) {
    Enter();
    room_->ShowLine(
        "<SPAN id=\"action_25\"><A href=\"rm:agree_25\">OK</A> "
        "<A href=\"rm:refuse_25\">NO</A></SPAN>",
        false, 0);
    engine_.Calls.clear();
    room_->ChatLinkSelected("rm:agree_25");
    EXPECT_EQ(engine_.Calls, (std::vector<std::string>{"AnswerMicRequest(25,1)"}));
    EXPECT_FALSE(PaneHas(room_->hcvPrivate, "action_25"));
    EXPECT_FALSE(PaneHas(room_->hcvPrivate, "href"));
    EXPECT_TRUE(PaneHas(room_->hcvPrivate, "OK"));
}

TEST_F(RoomFormTest, FixedAndFloatingFramesFollowTheVideoEvents) {
    Enter();
    engine_.Sink->OnVideoOpen(0, 25, "a", 1, 1010, 1, 1, 0x0100007F, 0, 5000);
    EXPECT_EQ(room_->Frames[1]->ShownUserId, 25);
    engine_.Sink->OnVideoOpen(0, 30, "b", 1, 1010, 2, 0x8000, 0x0100007F, 0, 5000);
    engine_.Sink->OnVideoOpen(0, 30, "b", 1, 1010, 2, 0x8000, 0x0100007F, 0, 5000);
    Flush();
    ASSERT_EQ(FloatingFrames().size(), 1u);
    EXPECT_EQ(FloatingFrames()[0]->objectName(), "f30");
    EXPECT_EQ(FloatingFrames()[0]->ShownUserId, 30);
    EXPECT_EQ(FloatingFrames()[0]->pos(), QPoint(248, 105));
    EXPECT_FALSE(FloatingFrames()[0]->isHidden());

    // 0x8001: the floating window, not fixed frame 1.
    engine_.Sink->OnVideoClose(30, 0x8001);
    Flush();
    EXPECT_TRUE(FloatingFrames().empty());
    EXPECT_EQ(room_->Frames[1]->ShownUserId, 25);
    engine_.Sink->OnVideoClose(25, 1);
    EXPECT_EQ(room_->Frames[1]->ShownUserId, 0);
    // Out-of-range indexes are ignored.
    engine_.Sink->OnVideoOpen(0, 26, "c", 1, 1010, 1, 3, 0x0100007F, 0, 5000);
    engine_.Sink->OnVideoClose(26, 5);
    for (TframeAVShow* frame : room_->Frames)
        EXPECT_EQ(frame->ShownUserId, 0);
}

TEST_F(RoomFormTest, LeavingUserLeavesNoFrameBehind) {
    Enter();
    AddUser(25);
    AddUser(30);
    engine_.Sink->OnVideoOpen(0, 25, "a", 1, 1010, 1, 2, 0x0100007F, 0, 5000);
    engine_.Sink->OnVideoOpen(0, 30, "b", 1, 1010, 3, 0x8000, 0x0100007F, 0, 5000);
    engine_.Sink->OnPrivateMicViewer(25, "a", 1010, 0, 1);
    engine_.Sink->OnUserLeave(25);
    engine_.Sink->OnUserLeave(30);
    Flush();
    EXPECT_EQ(room_->Frames[2]->ShownUserId, 0);
    EXPECT_TRUE(FloatingFrames().empty());
    EXPECT_EQ(room_->PersonMicManage().Count(), 0);
    EXPECT_EQ(room_->pnlUserList->FindUser(25), nullptr);
}

TEST_F(RoomFormTest, OwnMicGoesOffThroughTheMicMenu) {
    Enter();
    room_->OnMicRequest(2);
    EXPECT_EQ(engine_.CallsOf("RequestMic"), (std::vector<std::string>{"RequestMic(2)"}));

    engine_.Sink->OnVideoOpen(1, kMe, "me", 1, 1010, 1, 0, 0x0100007F, 0x0200007F, 5000);
    EXPECT_EQ(room_->MyVideoFrame(), room_->Frames[0]);
    EXPECT_EQ(room_->frameUserCtr->MicStateSkin(), "button_mic_state_1");
    engine_.Calls.clear();
    room_->OnMicRequest(0);
    EXPECT_EQ(engine_.Calls, (std::vector<std::string>{"ReleaseMic()"}));
    EXPECT_EQ(room_->Frames[0]->ShownUserId, 0);
    EXPECT_EQ(room_->MyVideoFrame(), nullptr);
    EXPECT_EQ(room_->frameUserCtr->MicStateSkin(), "button_mic_state_-1");

    // A private mic of his own closes through the manager.
    engine_.Sink->OnVideoOpen(1, kMe, "me", 1, 1010, 4, 0x8000, 0x0100007F, 0, 5000);
    ASSERT_EQ(FloatingFrames().size(), 1u);
    room_->OnCloseVideo(kMe);
    Flush();
    EXPECT_TRUE(FloatingFrames().empty());
    EXPECT_EQ(engine_.CallsOf("ReleaseMic").size(), 2u);
    EXPECT_TRUE(engine_.CallsOf("DisconnectPrivateMic").empty());
}

TEST_F(RoomFormTest, ClosingSomeoneElsesPrivateMicDisconnects) {
    Enter();
    engine_.Sink->OnVideoOpen(0, 30, "b", 1, 1010, 2, 0x8000, 0x0100007F, 0, 5000);
    ASSERT_EQ(FloatingFrames().size(), 1u);
    FloatingFrames()[0]->btnCloseVideo->click();
    Flush();
    EXPECT_TRUE(FloatingFrames().empty());
    EXPECT_EQ(engine_.CallsOf("DisconnectPrivateMic"),
              (std::vector<std::string>{"DisconnectPrivateMic(30)"}));

    engine_.Sink->OnVideoOpen(0, 31, "c", 1, 1010, 2, 0x8000, 0x0100007F, 0, 5000);
    engine_.Sink->OnPrivateMicCut(31, "c");
    Flush();
    EXPECT_TRUE(FloatingFrames().empty());
    EXPECT_TRUE(PaneHas(room_->hcvPrivate, RoomText("c(31) 主动断开了您的私麦连接。")));
}

TEST_F(RoomFormTest, PrivateMicManagerNeedsAPrivateMicAndCutsCheckedViewers) {
    Enter(1, 1010, 1);
    room_->btnPersonMicmanagerClick();
    EXPECT_EQ(room_->PersonMicDialog(), nullptr);
    EXPECT_TRUE(PaneHas(room_->hcvPrivate, RoomText("您没有上私麦，不能查看私麦管理。")));

    engine_.Sink->OnUserMic(kMe, 0, 0, 0, 2);
    EXPECT_TRUE(room_->frameUserCtr->btnPersonMicmanager->isEnabled());
    engine_.Sink->OnUserMic(kMe, 0, 0, 0, -1);
    EXPECT_FALSE(room_->frameUserCtr->btnPersonMicmanager->isEnabled());

    engine_.MyInfo.MyMic.Set(2);
    for (std::int32_t viewer : {21, 22, 23, 24}) {
        engine_.Sink->OnPrivateMicViewer(viewer, "v", 1010, 0, 1);
    }
    engine_.Sink->OnPrivateMicViewer(21, "v", 1010, 0, 1);  // already there
    engine_.Sink->OnPrivateMicViewer(24, "v", 1010, 0, 0);
    room_->btnPersonMicmanagerClick();
    TfrmPersonMic* dialog = room_->PersonMicDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->lvViewers->topLevelItemCount(), 3);
    // A viewer arriving while the dialog exists shows at once.
    engine_.Sink->OnPrivateMicViewer(25, "v", 1010, 0, 1);
    ASSERT_EQ(dialog->lvViewers->topLevelItemCount(), 4);
    for (int row : {0, 1, 3})
        dialog->lvViewers->topLevelItem(row)->setCheckState(0, Qt::Checked);
    engine_.Calls.clear();
    dialog->btnCut->click();
    EXPECT_EQ(engine_.Calls,
              (std::vector<std::string>{"CutPrivateMicViewer(25)", "CutPrivateMicViewer(22)",
                                        "CutPrivateMicViewer(21)"}));
    ASSERT_EQ(dialog->lvViewers->topLevelItemCount(), 1);
    EXPECT_EQ(dialog->lvViewers->topLevelItem(0)->text(0), "23");
}

TEST_F(RoomFormTest, ReconnectReloadsTheEngineAndRetriesSilently) {
    room_->SetReconnectInterval(8000);
    Enter();
    AddUser(25);
    engine_.Sink->OnVideoOpen(0, 25, "a", 1, 1010, 1, 0, 0x0100007F, 0, 5000);
    engine_.Calls.clear();

    engine_.Sink->OnDisconnected("lost", 1);
    EXPECT_TRUE(PaneHas(room_->hcvPrivate, "lost"));
    EXPECT_EQ(room_->pnlUserList->FindUser(25), nullptr);
    EXPECT_EQ(room_->Frames[0]->ShownUserId, 0);
    EXPECT_TRUE(room_->tmrReConnect->isActive());
    EXPECT_EQ(room_->tmrReConnect->interval(), 8000);
    // The engine that called is closed only after its callback returned.
    EXPECT_TRUE(engine_.CallsOf("CloseInstance").empty());
    Flush();
    EXPECT_EQ(engine_.Calls, (std::vector<std::string>{"CloseInstance()", "SetViewSink()"}));
    EXPECT_EQ(source_->Creates, 2);

    engine_.Sink->OnEnterFailed("busy");
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(room_->Closing());

    engine_.Calls.clear();
    room_->tmrReConnectTimer();
    EXPECT_TRUE(PaneHas(room_->hcvPrivate, RoomText("正在重连服务器....")));
    EXPECT_EQ(engine_.CallsOf("EnterRoom"),
              (std::vector<std::string>{"EnterRoom(88,1000,pw,digest,7,0,1)"}));
    engine_.Sink->OnRoomEntered("lobby", 0, kRoom, 10, 20, 1, 0);
    EXPECT_FALSE(room_->tmrReConnect->isActive());
    EXPECT_FALSE(room_->Reconnecting());
    EXPECT_EQ(EnterCount, 2);

    // Out of reconnecting, a refusal is shown over the hall and closes.
    engine_.Sink->OnEnterFailed("refused");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Owner, hall_.get());
    EXPECT_EQ(boxes_[0].Caption, RoomText("登录失败"));
    EXPECT_TRUE(room_->Closing());
}

TEST_F(RoomFormTest, NoRoomServerMeansNoReconnecting) {
    room_->SetReconnectInterval(0);
    Enter();
    engine_.Sink->OnDisconnected("lost", 1);
    Flush();
    EXPECT_FALSE(room_->tmrReConnect->isActive());
    EXPECT_FALSE(room_->Reconnecting());
    EXPECT_FALSE(room_->Closing());
}

TEST_F(RoomFormTest, FinalDisconnectionLeavesAndCloses) {
    Enter();
    engine_.Calls.clear();
    engine_.Sink->OnDisconnected("kicked", 0);
    EXPECT_EQ(engine_.CallsOf("LeaveRoom").size(), 1u);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Text, "kicked");
    EXPECT_EQ(boxes_[0].Caption, RoomText("提示"));
    EXPECT_EQ(boxes_[0].Icon, TfrmRoom::TBoxIcon::Information);
    EXPECT_TRUE(room_->Closing());
    Flush();
    EXPECT_TRUE(room_.isNull());
}

TEST_F(RoomFormTest, ClosesExactlyOnceAndHandsOverTheGiftStatistics) {
    Enter();
    int handed = 0;
    room_->SetCloseHandler([&](TGiftStatistic& statistic) {
        ++handed;
        EXPECT_EQ(statistic.Count(false), 1);
    });
    engine_.Sink->OnGiftRecord(kMe, 25, "me", "a", 3, 1, 2, "rose", 10, 5);
    engine_.Sink->OnGiftRecord(25, kMe, "a", "me", 3, 1, 1, "rose", 5, 2);
    engine_.Sink->OnGiftRecord(kMe, 25, "me", "a", 3, 1, 1, "rose", 5, 2);
    EXPECT_EQ(room_->GiftStatistic().Count(true), 1);
    ASSERT_NE(room_->GiftStatistic().Item(0, false), nullptr);
    EXPECT_EQ(room_->GiftStatistic().Item(0, false)->Count, 3);
    EXPECT_EQ(room_->GiftStatistic().Item(0, false)->PeerID, 25);

    engine_.Calls.clear();
    EXPECT_TRUE(room_->close());
    // A second close while the first is under way is refused.
    QCloseEvent again;
    QCoreApplication::sendEvent(room_.data(), &again);
    EXPECT_FALSE(again.isAccepted());
    EXPECT_EQ(handed, 1);
    EXPECT_EQ(engine_.Calls, (std::vector<std::string>{"LeaveRoom()"}));
    Flush();
    ASSERT_TRUE(room_.isNull());
    EXPECT_EQ(engine_.Calls, (std::vector<std::string>{"LeaveRoom()", "CloseInstance()"}));
}

TEST_F(RoomFormTest, ManagerKicksFromTheUserMenu) {
    Enter(30);
    AddUser(2000);
    room_->pnlUserList->SelectUserById(2000);
    ASSERT_NE(room_->pnlUserList->SelectedUser(), nullptr);
    room_->popUserListPopup();
    QAction* drop = room_->UserMenuItems[static_cast<std::size_t>(TUserMenuItem::DropUser)];
    EXPECT_TRUE(drop->isVisible());
    EXPECT_TRUE(drop->isEnabled());
    EXPECT_EQ(drop->text(), QString::fromUtf8("踢出房间"));
    engine_.Calls.clear();
    drop->trigger();
    EXPECT_EQ(engine_.Calls, (std::vector<std::string>{"PunishUser(1,2000)"}));
}

TEST_F(RoomFormTest, ShakeGoesToThePartnerAtMostEveryTenSeconds) {
    Enter(30);
    room_->Parts().GetChatTarget = [] { return std::pair<std::int32_t, std::string>(25, "a"); };
    const QPoint home = room_->pos();
    room_->ShakeSomeBody();
    EXPECT_EQ(engine_.CallsOf("SendShake"), (std::vector<std::string>{"SendShake(25)"}));
    EXPECT_TRUE(PaneHas(room_->hcvPrivate, RoomText("您向a(25)发送了一个窗口抖动。")));
    ASSERT_TRUE(room_->TimerShake->isActive());
    EXPECT_EQ(room_->TimerShake->interval(), 40);

    // The window moves, then comes home once the shake is over.
    room_->TimerShakeTimer();
    EXPECT_EQ(room_->pos(), home + QPoint(3, 0));
    now_ += 2001;
    room_->TimerShakeTimer();
    EXPECT_FALSE(room_->TimerShake->isActive());
    EXPECT_EQ(room_->pos(), home);

    now_ += 9900 - 2001;
    room_->ShakeSomeBody();
    EXPECT_EQ(engine_.CallsOf("SendShake").size(), 1u);
    EXPECT_TRUE(PaneHas(room_->hcvPrivate, RoomText("您发送窗口抖动过于频繁，请稍候再发。")));
    now_ += 100;
    room_->ShakeSomeBody();
    EXPECT_EQ(engine_.CallsOf("SendShake").size(), 2u);
}

TEST_F(RoomFormTest, FontChangeIsWrittenOnlyToAnExistingProfile) {
    Enter();
    const std::string config = AppDir + "Users/1000/Config.dat";
    room_->ChangeFont("A,9,0,0,0,0");
    EXPECT_EQ(UserFonts.Chat, "A,9,0,0,0,0");
    EXPECT_FALSE(std::ifstream(config).good());

    QDir().mkpath(QString::fromStdString(AppDir + "Users/1000"));
    std::ofstream(config) << "[Font]\n";
    room_->ChangeFont("B,10,0,1,0,0");
    EXPECT_EQ(IniFile(config).ReadString("Font", "Chat", ""), "B,10,0,1,0,0");
}

TEST_F(RoomFormTest, MissingPartsAnswerNeutrally) {
    Enter();
    EXPECT_EQ(std::string(engine_.Sink->GetGiftUnit(5)), RoomText("个"));
    EXPECT_EQ(engine_.Sink->IsTopGift(5), 0);
    room_->Parts().IsMasked = {};
    EXPECT_EQ(engine_.Sink->IsMasked(0), 0);
    room_->Parts().IsTopGift = [](std::int32_t gift) { return gift == 5; };
    EXPECT_EQ(engine_.Sink->IsTopGift(5), 1);
}

}  // namespace
