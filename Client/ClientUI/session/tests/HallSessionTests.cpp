#include "session/HallSession.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "common/Cipher.h"
#include "common/HallProtocol.h"
#include "common/NetUtils.h"
#include "session/ClientSocketInf.h"

namespace {

struct FakeTransport : IHallTransport {
    std::vector<std::string> connects;
    std::vector<std::string> sent;
    void Connect(const std::string& host, std::uint16_t port) override {
        connects.push_back(host + ":" + std::to_string(port));
    }
    void Send(std::string_view record) override { sent.emplace_back(record); }
};

struct FakeView : IHallSessionView {
    std::string account = "10001", password = "pw";
    std::vector<std::string> events;
    std::optional<THallUser> accepted;
    std::string AccountText() const override { return account; }
    std::string PasswordText() const override { return password; }
    void ShowLoginError(const std::string& text) override { events.push_back("error:" + text); }
    void CompleteLogin(int outcome) override {
        events.push_back("complete:" + std::to_string(outcome));
    }
    void VersionMismatch() override { events.push_back("mismatch"); }
    void LoginAccepted(const THallUser& user) override {
        events.push_back("accepted");
        accepted = user;
    }
};

constexpr std::uint32_t kVersion = 0x01000001;

struct Fixture {
    FakeTransport transport;
    FakeView view;
    std::vector<std::string> servers{"10.0.0.1", "10.0.0.2"};
    THallSession session{view, &transport, Env()};

    THallSession::TEnvironment Env() {
        THallSession::TEnvironment env;
        env.LoadServers = [this] { return THallServerList{servers, 7400}; };
        env.ProgramVersion = kVersion;
        env.MacAddress = [] { return std::string("00-11-22-33-44-55"); };
        env.TickCount = [] { return 1234; };
        return env;
    }

    // Connects, answers the route request with this version.
    void Route(std::uint32_t version = kVersion) {
        session.BeginLogin();
        session.OnConnected(0);
        session.OnReceive(RecordBytes(MakeVersionReply(static_cast<std::int32_t>(version), 9)));
    }
};

THallLoginReply Accepted() {
    THallLoginReply r = MakeLoginError("");
    r.UserNumber.Set(10001);
    r.NickName.Set("nick");
    r.Face.Set(3);
    r.GiftPoints.Set(77);
    r.Gold.Set(5000);
    r.Role.Set(255);
    r.Level.Set(1010);
    r.Star.Set(2016);
    r.LineType.Set(1);
    r.RoomServers[0].Set("127.0.0.1,0");
    r.RoomServers[2].Set("127.0.0.2,1");
    r.RoomServers[3].Set("garbage");
    return r;
}

}  // namespace

TEST(HallSession, WalksServersDroppingEachThatRefuses) {
    Fixture f;
    f.session.LoadServerList();
    f.session.BeginLogin();
    f.session.OnConnected(111);
    EXPECT_EQ(f.transport.connects, (std::vector<std::string>{"10.0.0.1:7400", "10.0.0.2:7400"}));
    f.session.OnConnected(111);
    EXPECT_EQ(f.view.events, std::vector<std::string>{"error:" + THallSession::TextTimedOut()});
    EXPECT_FALSE(f.session.Busy());
    // The emptied list is read again on the next try.
    f.servers = {};
    f.session.BeginLogin();
    EXPECT_EQ(f.view.events.back(), "error:" + THallSession::TextNoServer());
}

TEST(HallSession, RouteRequestCarriesServerPortAndAccountNumber) {
    for (auto [account, number] : {std::pair{" 10001 ", 10001}, {"alice", 0}, {"-1", 0}}) {
        Fixture f;
        f.view.account = account;
        f.session.BeginLogin();
        f.session.OnConnected(0);
        ASSERT_EQ(f.transport.sent.size(), 1u);
        auto route = DecodeRouteRequest(f.transport.sent[0]);
        ASSERT_TRUE(route);
        EXPECT_EQ(RouteServerAddr(*route), ResolveHost("10.0.0.1"));
        EXPECT_EQ(route->ServerPort.Get(), 7400);
        EXPECT_EQ(route->UserNumber.Get(), number) << account;
    }
}

TEST(HallSession, SameVersionSendsLoginByNumberOrName) {
    Fixture f;
    f.view.account = "  10001 ";
    f.Route();
    ASSERT_EQ(f.transport.sent.size(), 2u);
    auto login = DecodeLoginRequest(f.transport.sent[1]);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->ByName.Get(), 0);
    EXPECT_EQ(login->UserNumber.Get(), 10001);
    EXPECT_EQ(login->PasswordMd5.Get(), Md5Hex("pw"));
    EXPECT_EQ(login->Password.Get(), "pw");
    EXPECT_EQ(login->MacAddress.Get(), "00-11-22-33-44-55");

    Fixture byName;
    byName.view.account = "-1";
    byName.Route();
    auto named = DecodeLoginRequest(byName.transport.sent.at(1));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->ByName.Get(), 1);
    EXPECT_EQ(named->AccountName.Get(), "-1");
}

TEST(HallSession, OtherVersionEndsWithTheUpdateQuestion) {
    Fixture f;
    f.Route(kVersion + 1);
    EXPECT_EQ(f.transport.sent.size(), 1u);  // no login request
    EXPECT_EQ(f.view.events, (std::vector<std::string>{"complete:1", "mismatch"}));

    // An unreadable own version never matches.
    FakeTransport t;
    FakeView v;
    THallSession::TEnvironment env;
    env.LoadServers = [] { return THallServerList{{"10.0.0.1"}, 7400}; };
    THallSession s(v, &t, env);
    s.BeginLogin();
    s.OnConnected(0);
    s.OnReceive(RecordBytes(MakeVersionReply(-1, 0)));
    EXPECT_EQ(v.events.front(), "complete:1");
}

TEST(HallSession, RefusedLoginShowsTheServersText) {
    Fixture f;
    f.Route();
    f.session.OnReceive(RecordBytes(MakeLoginError("bad password")));
    EXPECT_EQ(f.view.events, std::vector<std::string>{"error:bad password"});
    EXPECT_FALSE(f.session.LoggedIn());
    // A retry connects again to the same (first remaining) server.
    f.session.BeginLogin();
    EXPECT_EQ(f.transport.connects.back(), "10.0.0.1:7400");
}

TEST(HallSession, AcceptedLoginKeepsUserAndOrdersRoomServers) {
    Fixture f;
    f.Route();
    f.session.OnReceive(RecordBytes(Accepted()));
    EXPECT_EQ(f.view.events, (std::vector<std::string>{"complete:0", "accepted"}));
    ASSERT_TRUE(f.view.accepted);
    const THallUser& u = *f.view.accepted;
    EXPECT_EQ(u.UserNumber, 10001);
    EXPECT_EQ(u.NickName, "nick");
    EXPECT_EQ(u.Face, 3);
    EXPECT_EQ(u.GiftPoints, 77);
    EXPECT_EQ(u.Gold, 5000);
    EXPECT_EQ(u.Role, 255);
    EXPECT_EQ(u.Level, 1010);
    EXPECT_EQ(u.Star, 2016);
    EXPECT_EQ(u.LineType, 1);
    EXPECT_TRUE(f.session.LoggedIn());
    ASSERT_EQ(f.session.RoomServers().size(), 2u);
    EXPECT_EQ(IpToText(f.session.RoomServers()[0].Address), "127.0.0.2");  // own line first
    EXPECT_EQ(IpToText(f.session.RoomServers()[1].Address), "127.0.0.1");

    // A second accepted login (after a refused lock) does not double the list.
    f.session.BeginLogin();
    f.session.OnConnected(0);
    f.session.OnReceive(RecordBytes(MakeVersionReply(kVersion, 0)));
    f.session.OnReceive(RecordBytes(Accepted()));
    EXPECT_EQ(f.session.RoomServers().size(), 2u);
}

TEST(HallSession, BrokenExchangesEndInAnErrorAndStrayRecordsAreIgnored) {
    Fixture f;
    // Replies nobody asked for change nothing.
    f.session.OnReceive(RecordBytes(Accepted()));
    f.session.OnReceive(RecordBytes(MakeVersionReply(kVersion, 0)));
    f.session.OnReceive("xx");
    EXPECT_TRUE(f.view.events.empty());
    EXPECT_TRUE(f.transport.sent.empty());

    f.session.BeginLogin();
    f.session.OnConnected(0);
    f.session.OnClosed(kSocketTimedOut);  // no reply in time
    EXPECT_EQ(f.view.events.back(), "error:" + THallSession::TextTimedOut());
    f.Route();
    f.session.OnClosed(kSocketBadStream);
    EXPECT_EQ(f.view.events.back(), "error:" + THallSession::TextNoServer());
    f.Route();
    std::string truncated = RecordBytes(Accepted()).substr(0, 300);
    f.session.OnReceive(truncated);  // the code is right, the size is not
    EXPECT_EQ(f.view.events.back(), "error:" + THallSession::TextNoServer());
    EXPECT_FALSE(f.session.Busy());
    // Waiting for the login reply, a version reply is no answer either.
    f.Route();
    f.view.events.clear();
    f.session.OnReceive(RecordBytes(MakeVersionReply(kVersion, 0)));
    EXPECT_EQ(f.view.events, std::vector<std::string>{"error:" + THallSession::TextNoServer()});
    EXPECT_FALSE(f.session.Busy());
}

TEST(HallSession, NoSocketModuleReportsNoServer) {
    FakeView v;
    THallSession::TEnvironment env;
    env.LoadServers = [] { return THallServerList{{"10.0.0.1"}, 7400}; };
    THallSession s(v, nullptr, env);
    s.BeginLogin();
    EXPECT_EQ(v.events, std::vector<std::string>{"error:" + THallSession::TextNoServer()});
}

TEST(LoadHallServerList, ResolvesSkipsAndRefusesMalformedFiles) {
    QTemporaryDir dir;
    auto write = [&](const std::string& text) {
        std::string path = dir.path().toStdString() + "/loginsl.dat";
        std::ofstream(path) << text;
        return path;
    };
    auto list =
        LoadHallServerList(write("[server]\nServerCount=3\nServerPort=7500\nServer1=127.0.0.1\n"
                                 "Server2=no.such.host.invalid\nServer3=10.1.2.3\n"),
                           &ResolveHost);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Port, 7500);
    EXPECT_EQ(list->Addresses, (std::vector<std::string>{"127.0.0.1", "10.1.2.3"}));

    auto defaults = LoadHallServerList(write("[server]\n"), &ResolveHost);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->Port, 7400);
    EXPECT_TRUE(defaults->Addresses.empty());

    for (const char* bad : {"[server]\nServerCount=two\n", "[server]\nServerCount=-1\n",
                            "[server]\nServerCount=1\nServerPort=70000\nServer1=127.0.0.1\n"})
        EXPECT_FALSE(LoadHallServerList(write(bad), &ResolveHost)) << bad;
    EXPECT_FALSE(LoadHallServerList(dir.path().toStdString() + "/missing.dat", &ResolveHost));
}
