// The room window against the real room service and the real engine module:
// entering fills the list, and after the service restarts the window
// reconnects by itself and the list fills again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include "RoomHarness.h"
#include "chat/HtmlChatView.h"
#include "engine/ClientEngineHelper.h"
#include "foundation/Globals.h"
#include "room/RoomForm.h"
#include "room/RoomTexts.h"
#include "room/UserListPanel.h"
#include "room/tests/RoomFakeEngine.h"

extern "C" void SetApplication(IApplication* application);

// The harness's stand-in application is not used here: the module posts to
// the Qt application, as in the program.
TestApp& App() {
    static TestApp app;
    return app;
}

namespace {

// Runs the Qt event loop until `done` holds or the time is up.
bool RunUntil(const std::function<bool()>& done, int ms = 8000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

bool PaneHas(THtmlChatView* pane, const std::string& text) {
    for (const std::string& line : pane->ShownLines()) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

class RoomAgainstService : public ::testing::Test {
  protected:
    void SetUp() override {
        RoomTestApp();
        SetApplication(TChatApplication::Instance());
        AppDir = std::string(CHATROOM_TEST_APP_DIR) + "/";
        TfrmRoom::SetMessageBoxHandler([this](QWidget*, const std::string& text, const std::string&,
                                              TfrmRoom::TBoxIcon) { boxes_.push_back(text); });
    }
    void TearDown() override {
        TfrmRoom::SetMessageBoxHandler({});
        SetApplication(nullptr);
    }
    std::vector<std::string> boxes_;
};

TEST_F(RoomAgainstService, ReconnectsAfterTheServiceRestartsAndRefills) {
    auto service = std::make_unique<RoomHarness>();
    ASSERT_TRUE(service->Ok());
    service->KeepDir();
    const std::uint16_t port = service->Port();
    const auto dir = service->Dir();
    SetRoomServicePort(port);

    QPointer<TfrmRoom> room = new TfrmRoom(nullptr);
    ASSERT_TRUE(room->Created());
    room->AddRoomServer(ResolveHost("127.0.0.1"));
    room->SetReconnectInterval(300);
    const int entriesBefore = EnterCount;
    room->OpenRoom(1002, kUser.id, false, 0, Md5Hex(kUser.password), "");
    ASSERT_TRUE(RunUntil([&] { return room->isVisible(); })) << "not entered";
    ASSERT_TRUE(RunUntil([&] { return room->pnlUserList->FindUser(kUser.id) != nullptr; }));

    // A second client comes in and shows in the list.
    auto other = std::make_unique<TClientEngineHelper>();
    ASSERT_TRUE(other->CreateInstance());
    RecordingSink otherSink;
    other->Engine->SetViewSink(&otherSink);
    other->Engine->AddServer(ResolveHost("127.0.0.1"));
    other->Engine->EnterRoom(1002, kVip.id, "", Md5Hex(kVip.password).c_str(), 0, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return room->pnlUserList->FindUser(kVip.id) != nullptr; }));

    service->Shutdown();
    ASSERT_TRUE(RunUntil([&] { return room->Reconnecting(); })) << "no reconnect started";
    EXPECT_EQ(room->pnlUserList->Model().AllCount(), 0);
    EXPECT_TRUE(room->tmrReConnect->isActive());

    // Attempts against the stopped service fail silently.
    RunUntil([] { return false; }, 1000);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(PaneHas(room->hcvPrivate, RoomText("正在重连服务器....")));

    RoomHarness again({}, dir, port);
    ASSERT_TRUE(again.Ok());
    ASSERT_TRUE(RunUntil([&] { return !room->Reconnecting(); }, 10000)) << "did not reconnect";
    EXPECT_FALSE(room->tmrReConnect->isActive());
    EXPECT_EQ(EnterCount, entriesBefore + 2);
    ASSERT_TRUE(RunUntil([&] { return room->pnlUserList->FindUser(kUser.id) != nullptr; }));

    // The other client comes back the same way and fills the list again.
    other->CreateInstance();
    other->Engine->SetViewSink(&otherSink);
    other->Engine->AddServer(ResolveHost("127.0.0.1"));
    other->Engine->EnterRoom(1002, kVip.id, "", Md5Hex(kVip.password).c_str(), 0, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return room->pnlUserList->FindUser(kVip.id) != nullptr; }));
    other->Engine->LeaveRoom();
    EXPECT_TRUE(RunUntil([&] { return room->pnlUserList->FindUser(kVip.id) == nullptr; }));

    other.reset();
    room->close();
    RunUntil([&] { return room.isNull(); }, 2000);
    std::filesystem::remove_all(dir);
}

}  // namespace
