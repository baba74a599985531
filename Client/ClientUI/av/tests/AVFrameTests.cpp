#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <set>

#include "av/AVCtrl2_TLB.h"
#include "av/AVShowFrame.h"
#include "av/ControlFrame.h"
#include "foundation/ChatApplication.h"
#include "foundation/Globals.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "AVTests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        return static_cast<QApplication*>(new TChatApplication(argc, argv));
    }();
    return *app;
}

// Records the calls the frame makes on its control.
class TRecordingControl : public IAVEngine {
  public:
    std::vector<std::string> Calls;
    std::int32_t CaptureAnswer = 1;

    long QueryInterface(const TGuid&, void** object) override {
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }
    long StartAV(const char* address, std::uint16_t port, std::int32_t quality,
                 std::uint8_t local) override {
        Calls.push_back(std::string("StartAV(") + address + "," + std::to_string(port) + "," +
                        std::to_string(quality) + "," + std::to_string(local) + ")");
        return kS_OK;
    }
    long StopAV() override { return Log("StopAV()"); }
    long SetTuningA(std::int32_t v) override {
        return Log("SetTuningA(" + std::to_string(v) + ")");
    }
    long SetTuningB(std::int32_t v) override {
        return Log("SetTuningB(" + std::to_string(v) + ")");
    }
    long Reserved7() override { return Log("Reserved7()"); }
    long Reserved8() override { return Log("Reserved8()"); }
    long Reserved9() override { return Log("Reserved9()"); }
    long ShowVideo(std::int32_t on) override {
        return Log("ShowVideo(" + std::to_string(on) + ")");
    }
    long PlayAudio(std::int32_t on) override {
        return Log("PlayAudio(" + std::to_string(on) + ")");
    }
    long ZoomIn() override { return Log("ZoomIn()"); }
    long Capture(const char* path, std::int32_t* saved) override {
        Calls.push_back(std::string("Capture(") + path + ")");
        *saved = CaptureAnswer;
        return kS_OK;
    }

  private:
    long Log(const std::string& call) {
        Calls.push_back(call);
        return kS_OK;
    }
};

TEST(RankIcon, RoleThenMemberLevelThenRole) {
    struct TCase {
        std::uint16_t Role, Level;
        const char* Icon;
    };
    const TCase cases[] = {
        {50, 1060, "/app/Dat/50.gif"},  // owner roles win over a VIP level
        {49, 2012, "/app/Dat/49.gif"},
        {100, 1010, "/app/Dat/100.gif"},
        {0x100 | 200, 1010, "/app/Dat/200.gif"},  // low byte decides
        {1, 1010, "/app/Dat/1010.gif"},
        {1, 2030, "/app/Dat/2030.gif"},
        {1, 100, "/app/Dat/1.gif"},
        {30, 2500, "/app/Dat/30.gif"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Icon);
        EXPECT_EQ(RankIconPath("/app/", c.Role, c.Level), c.Icon);
    }
}

TEST(CaptureNames, CountOnPastTakenNames) {
    std::set<std::string> taken;
    auto exists = [&taken](const std::string& path) { return taken.count(path) != 0; };
    int count = 0;
    EXPECT_EQ(NextCapturePath("/c", 25, count, exists), "/c/25001.bmp");
    EXPECT_EQ(NextCapturePath("/c", 25, count, exists), "/c/25002.bmp");
    taken = {"/c/25003.bmp", "/c/25004.bmp"};
    EXPECT_EQ(NextCapturePath("/c", 25, count, exists), "/c/25005.bmp");
    EXPECT_EQ(count, 5);
    count = 999;
    EXPECT_EQ(NextCapturePath("/c", 7, count, exists), "/c/71000.bmp");
}

TEST(MicState, SkinsByMicType) {
    EXPECT_EQ(MicStateSkinName(-1), "button_mic_state_-1");
    EXPECT_EQ(MicStateSkinName(0), "button_mic_state_-1");
    for (int type = 1; type <= 4; ++type) {
        EXPECT_EQ(MicStateSkinName(type), "button_mic_state_" + std::to_string(type));
    }
    EXPECT_EQ(MicStateSkinName(5), "");

    App();
    TframeControl strip;
    std::vector<int> modes;
    strip.OnMicRequest = [&modes](int mode) { modes.push_back(mode); };
    for (QAction* item : {strip.N1, strip.N2, strip.VIP1, strip.N3, strip.N4})
        item->trigger();
    EXPECT_EQ(modes, (std::vector<int>{1, 2, 3, 4, 0}));
    strip.SetMicState(3);
    EXPECT_EQ(strip.MicStateSkin(), "button_mic_state_3");
    strip.SetMicState(9);  // no picture: the button keeps its state
    EXPECT_EQ(strip.MicStateSkin(), "button_mic_state_3");
    strip.SetMicState(0);
    EXPECT_EQ(strip.MicStateSkin(), "button_mic_state_-1");
}

class VideoFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        frame_ = std::make_unique<TframeAVShow>();
        frame_->avngn->SetControlForTests(&control_);
    }
    void TearDown() override {
        frame_->avngn->SetControlForTests(nullptr);
        frame_.reset();
    }
    TRecordingControl control_;
    std::unique_ptr<TframeAVShow> frame_;
};

TEST_F(VideoFrameTest, StartsTuningFirstAndMutesOnlyTheOwnMicrophone) {
    frame_->StartShow(false, 25, "a", 1, 1010, 1, "10.0.0.1", 5000, 100, false);
    EXPECT_EQ(control_.Calls,
              (std::vector<std::string>{"SetTuningA(2500)", "SetTuningB(2500)",
                                        "StartAV(10.0.0.1,5000,100,0)", "PlayAudio(1)"}));
    EXPECT_TRUE(frame_->AudioOn);
    EXPECT_FALSE(frame_->btnAudioSwitch->isChecked());
    EXPECT_TRUE(frame_->btnGift1->isEnabled());
    EXPECT_FALSE(frame_->btnZoomIn->isHidden());
    EXPECT_TRUE(frame_->Timer1->isActive());

    control_.Calls.clear();
    frame_->StartShow(true, 1000, "me", 1, 1010, 1, "10.0.0.1", 5000, 100, true);
    EXPECT_EQ(control_.Calls.back(), "PlayAudio(0)");
    EXPECT_EQ(control_.Calls[2], "StartAV(10.0.0.1,5000,100,1)");
    EXPECT_FALSE(frame_->AudioOn);
    EXPECT_TRUE(frame_->btnAudioSwitch->isChecked());

    // The switches flip the control.
    control_.Calls.clear();
    frame_->btnAudioSwitchClick();
    frame_->btnVideoSwitchClick();
    EXPECT_EQ(control_.Calls, (std::vector<std::string>{"PlayAudio(1)", "ShowVideo(0)"}));
    EXPECT_FALSE(frame_->imgVideoBack->isHidden());
}

TEST_F(VideoFrameTest, AnEmptyFrameOffersNothing) {
    frame_->StartShow(false, 25, "a", 1, 1010, 1, "10.0.0.1", 5000, 100, false);
    frame_->ClearShow();
    EXPECT_EQ(control_.Calls.back(), "StopAV()");
    EXPECT_EQ(frame_->ShownUserId, 0);
    EXPECT_EQ(frame_->MicType, -1);
    EXPECT_TRUE(frame_->btnZoomIn->isHidden());
    EXPECT_TRUE(frame_->btnCaptureVideo->isHidden());
    EXPECT_FALSE(frame_->btnGift1->isEnabled());
    EXPECT_FALSE(frame_->btnGift2->isEnabled());
    EXPECT_FALSE(frame_->Timer1->isActive());
    EXPECT_TRUE(frame_->lblName->text().isEmpty());

    // Switches and menu do nothing without a holder.
    control_.Calls.clear();
    frame_->btnAudioSwitchClick();
    frame_->btnVideoSwitchClick();
    frame_->btnVideoRecvMenuClick();
    EXPECT_TRUE(control_.Calls.empty());
    EXPECT_FALSE(frame_->popMenu->isVisible());
    int picked = 0;
    frame_->OnSelectUserToChat = [&picked](std::int32_t, const std::string&) { ++picked; };
    frame_->SelectHolder();
    EXPECT_EQ(picked, 0);
}

TEST_F(VideoFrameTest, MenuAndClicksNameTheHolder) {
    frame_->StartShow(false, 25, "a", 1, 1010, 2, "10.0.0.1", 5000, 100, false);
    frame_->popMenuPopup();
    EXPECT_FALSE(frame_->N4->isVisible());  // cancelling is for public mics
    frame_->MicType = 1;
    frame_->popMenuPopup();
    EXPECT_TRUE(frame_->N4->isVisible());

    std::vector<std::string> events;
    auto record = [&events](const char* what) {
        return [&events, what](std::int32_t user, const std::string& nick) {
            events.push_back(std::string(what) + std::to_string(user) + nick);
        };
    };
    frame_->OnSelectUserToChat = record("chat");
    frame_->OnSelectUserToGift = record("gift");
    frame_->OnFindUserInUserList = record("find");
    frame_->OnCancelMic = record("cancel");
    frame_->SelectHolder();
    frame_->N4->trigger();
    EXPECT_EQ(events, (std::vector<std::string>{"chat25a", "gift25a", "find25a", "cancel25a"}));

    std::int32_t gift = 0;
    frame_->OnGiveGift = [&gift](std::int32_t user) { gift = user; };
    frame_->btnGift1->click();
    EXPECT_EQ(gift, 25);
}

TEST_F(VideoFrameTest, CaptureReportsOnlySavedPictures) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string savedAppDir = AppDir;
    AppDir = dir.path().toStdString() + "/";
    CurrentUserId = "tester";
    frame_->StartShow(false, 25, "a", 1, 1010, 1, "10.0.0.1", 5000, 100, false);
    std::vector<std::string> paths;
    frame_->OnCaptureVideo = [&paths](const std::string& path) { paths.push_back(path); };
    frame_->btnCaptureVideoClick();
    control_.CaptureAnswer = 0;
    frame_->btnCaptureVideoClick();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], AppDir + "Users/tester/capture/25001.bmp");
    EXPECT_TRUE(QDir(QString::fromStdString(AppDir + "Users/tester/capture")).exists());
    EXPECT_EQ(frame_->CaptureCount, 2);
    AppDir = savedAppDir;
}

TEST(VideoFrameWithoutModule, WorksAroundTheMissingControl) {
    App();
    TframeAVShow frame;
    EXPECT_FALSE(frame.avngn->HasControl());
    frame.StartShow(false, 25, "a", 1, 1010, 1, "10.0.0.1", 5000, 100, false);
    EXPECT_EQ(frame.ShownUserId, 25);
    EXPECT_EQ(frame.avngn->Capture("/tmp/x.bmp"), 0);
    frame.ClearShow();
    EXPECT_FALSE(frame.imgVideoBack->isHidden());
}

}  // namespace
