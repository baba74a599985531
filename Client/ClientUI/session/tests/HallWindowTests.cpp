// The hall and the login window together against the reference service:
// the login fills the top bar, and lobby room commands reach room windows
// through the room window interface, in the order the room relies on.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <fstream>

#include "TestServer.h"
#include "TestSupport.h"
#include "common/Cipher.h"
#include "common/NetUtils.h"
#include "session/HallForm.h"
#include "session/LoginForm.h"
#include "session/RoomWindowInf.h"

namespace {

// Posts module callbacks into the Qt event loop, as the program's
// application object does.
struct QtPostApplication : IApplication {
    void Post(std::function<void()> task) override {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    }
};

struct FakeRoom : QWidget, IRoomWindow {
    std::vector<std::string>& calls;
    std::int32_t roomId = 0;
    explicit FakeRoom(QWidget* owner, std::vector<std::string>& log)
        : QWidget(owner, Qt::Window), calls(log) {
        setAttribute(Qt::WA_DeleteOnClose);
    }
    QWidget* Window() override { return this; }
    std::int32_t RoomId() const override { return roomId; }
    void SetCloseHandler(std::function<void(TGiftStatistic&)> handler) override {
        calls.push_back(handler ? "close-handler" : "no close-handler");
    }
    void AddRoomServer(std::uint32_t address) override {
        calls.push_back("server " + IpToText(address));
    }
    void SetReconnectInterval(int ms) override {
        calls.push_back("interval " + std::to_string(ms));
    }
    void OpenRoom(std::int32_t id, std::int32_t user, bool hidden, std::uint16_t hall,
                  const std::string& digest, const std::string& password) override {
        roomId = id;
        calls.push_back("open " + std::to_string(id) + " " + std::to_string(user) + " " +
                        std::to_string(hidden) + " " + std::to_string(hall) + " " + digest + " [" +
                        password + "]");
    }
};

class HallWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        TestQtApp();
        ASSERT_TRUE(server_.Ok());
        const std::string dir = dir_.path().toStdString() + "/";
        std::ofstream(dir + "loginsl.dat")
            << "[server]\nServerCount=1\nServerPort=" << server_->HallPort()
            << "\nServer1=127.0.0.1\n";
        const QString built = QString(CHATROOM_TEST_APP_DIR) + "/";
        QFile::link(built + "libClientSocket.so",
                    QString::fromStdString(dir + "libClientSocket.so"));
        QFile::copy(built + "WebAddress.dat", QString::fromStdString(dir + "WebAddress.dat"));
        AppDir = dir;
    }
    void TearDown() override {
        SetRoomWindowFactory(nullptr);
        UseBuiltProgramFolder();
    }

    TestServer server_;
    QTemporaryDir dir_;
    QtPostApplication app_;
};

}  // namespace

TEST_F(HallWindow, LoginFillsTheTopBarAndRoomCommandsOpenRooms) {
    auto hall = std::make_unique<TfrmHall>(&app_);
    TfrmLogin login(*hall);
    hall->SetLoginWindow(&login);
    login.cbbUserID->setEditText("10001");
    login.edtPassword->setText("owner123");
    login.btnLogin->click();
    ASSERT_TRUE(PumpQt([&] { return login.result() == 1; }));
    EXPECT_TRUE(hall->Session().LoggedIn());
    EXPECT_EQ(hall->lbName->text(), QString::fromUtf8("室主小王(10001)"));
    EXPECT_EQ(hall->lbGoldScore->text(), "200000");
    EXPECT_EQ(hall->lbGiftScore->text(), "12000");
    EXPECT_EQ(hall->lbLevel->text(), QString::fromUtf8("室主(鲜花之星)"));
    EXPECT_EQ(hall->windowTitle(), QString::fromUtf8("大厅(室主小王)"));

    // Without a room window unit the command is taken and nothing opens.
    EXPECT_TRUE(hall->wbHallBeforeNavigate2(QUrl("room:1001,0,10086,0")));
    PumpQt([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(hall->OpenRoomCount(), 0);
    EXPECT_FALSE(hall->wbHallBeforeNavigate2(QUrl("http://127.0.0.1/other")));

    std::vector<std::string> calls;
    SetRoomWindowFactory(
        [&](QWidget* owner) -> IRoomWindow* { return new FakeRoom(owner, calls); });
    hall->wbHallBeforeNavigate2(QUrl("room:1001,0,10087,0"));
    ASSERT_TRUE(PumpQt([&] { return hall->OpenRoomCount() == 1; }));
    ASSERT_EQ(hall->Session().RoomServers().size(), calls.size() - 3);
    EXPECT_EQ(calls.front(), "close-handler");
    EXPECT_EQ(calls[1].rfind("server ", 0), 0u);
    EXPECT_EQ(calls[calls.size() - 2],
              "interval " + std::to_string(8000 * hall->Session().RoomServers().size()));
    EXPECT_EQ(calls.back(), "open 1001 10001 0 10087 " + Md5Hex("owner123") + " []");

    // The same room again only comes to the front; another one opens.
    calls.clear();
    hall->wbHallBeforeNavigate2(QUrl("room:1001,0,10087,0"));
    PumpQt([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_TRUE(calls.empty());
    hall->wbHallBeforeNavigate2(QUrl("room:1002,0,10086,0"));
    ASSERT_TRUE(PumpQt([&] { return hall->OpenRoomCount() == 2; }));

    hall->CloseAllRooms();
    PumpQt([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(hall->OpenRoomCount(), 0);
}
