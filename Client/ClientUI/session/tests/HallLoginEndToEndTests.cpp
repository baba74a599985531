// The hall's login against the reference service on free loopback ports,
// through the real socket module.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "TestServer.h"
#include "TestSupport.h"
#include "common/GbkText.h"
#include "common/NetUtils.h"
#include "session/HallConnection.h"
#include "session/HallSession.h"

namespace {

struct RecordingView : IHallSessionView {
    std::string account, password;
    std::vector<std::string> events;
    THallUser user;
    std::string AccountText() const override { return account; }
    std::string PasswordText() const override { return password; }
    void ShowLoginError(const std::string& text) override { events.push_back("error:" + text); }
    void CompleteLogin(int outcome) override {
        events.push_back("complete:" + std::to_string(outcome));
    }
    void VersionMismatch() override { events.push_back("mismatch"); }
    void LoginAccepted(const THallUser& u) override {
        events.push_back("accepted");
        user = u;
    }
};

class HallLoginEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        UseBuiltProgramFolder();
        ASSERT_TRUE(server_.Ok());
        ASSERT_TRUE(connection_.Open(&app_)) << "socket module missing in " << AppDir;
    }

    // A session over `hosts` (all on the service's hall port).
    std::unique_ptr<THallSession> Session(std::vector<std::string> hosts) {
        std::string path = dir_.path().toStdString() + "/loginsl.dat";
        std::ofstream ini(path);
        ini << "[server]\nServerCount=" << hosts.size() << "\nServerPort=" << server_->HallPort()
            << "\n";
        for (std::size_t i = 0; i < hosts.size(); ++i)
            ini << "Server" << i + 1 << "=" << hosts[i] << "\n";
        ini.close();
        THallSession::TEnvironment env;
        env.LoadServers = [path] { return LoadHallServerList(path, &ResolveHost); };
        env.ProgramVersion = 0x01000001;  // what the demo service requires
        env.MacAddress = [] { return std::string(); };
        env.TickCount = [] { return 1; };
        auto session = std::make_unique<THallSession>(view_, &connection_, env);
        connection_.Attach(session.get());
        session->LoadServerList();
        return session;
    }

    bool Login(THallSession& session, const char* account, const char* password) {
        view_.account = account;
        view_.password = password;
        view_.events.clear();
        session.BeginLogin();
        return app_.Pump([&] { return !session.Busy(); });
    }

    TestServer server_;
    TQueuedApplication app_;
    THallConnection connection_;
    QTemporaryDir dir_;
    RecordingView view_;
};

}  // namespace

TEST_F(HallLoginEndToEnd, AcceptsADemoAccountWithItsData) {
    auto session = Session({"127.0.0.1"});
    ASSERT_TRUE(Login(*session, "10001", "owner123"));
    EXPECT_EQ(view_.events, (std::vector<std::string>{"complete:0", "accepted"}));
    EXPECT_EQ(view_.user.UserNumber, 10001);
    EXPECT_EQ(GbkToUtf8(view_.user.NickName), "室主小王");
    EXPECT_EQ(view_.user.Gold, 200000);
    EXPECT_EQ(view_.user.Role, 50);
    EXPECT_FALSE(session->RoomServers().empty());
    EXPECT_TRUE(session->LoggedIn());

    // By account name as well.
    auto byName = Session({"127.0.0.1"});
    ASSERT_TRUE(Login(*byName, "vip", "vip123"));
    EXPECT_EQ(view_.user.UserNumber, 10002);
}

TEST_F(HallLoginEndToEnd, WrongPasswordShowsTheServicesText) {
    auto session = Session({"127.0.0.1"});
    ASSERT_TRUE(Login(*session, "10001", "not-it"));
    ASSERT_EQ(view_.events.size(), 1u);
    EXPECT_EQ(GbkToUtf8(view_.events[0]), "error:密码错误，请重新输入！");
    EXPECT_FALSE(session->LoggedIn());
    // The window is usable again: the next try logs in.
    ASSERT_TRUE(Login(*session, "10001", "owner123"));
    EXPECT_EQ(view_.events.back(), "accepted");
}

TEST_F(HallLoginEndToEnd, SkipsAServerThatRefuses) {
    // Nothing listens on 127.0.0.2 (the service binds 127.0.0.1 only).
    auto session = Session({"127.0.0.2", "127.0.0.1"});
    ASSERT_TRUE(Login(*session, "10003", "user123"));
    EXPECT_EQ(view_.events.back(), "accepted");
    EXPECT_EQ(session->HallServers(), std::vector<std::string>{"127.0.0.1"});

    auto none = Session({"127.0.0.2"});
    ASSERT_TRUE(Login(*none, "10003", "user123"));
    EXPECT_EQ(view_.events, std::vector<std::string>{"error:" + THallSession::TextTimedOut()});
}
