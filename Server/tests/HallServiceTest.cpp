#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Database.h"
#include "HallLogic.h"
#include "TestServer.h"
#include "common/GbkText.h"

using namespace std::string_literals;

namespace {

std::string RouteRecord() {
    std::uint32_t addr;
    std::memcpy(&addr, "\x7F\x00\x00\x01", 4);
    return RecordBytes(MakeRouteRequest(addr, 7400, 0));
}

// A fresh connection still gets its version reply.
void ExpectHallAnswers(std::uint16_t port) {
    HallClient c(port);
    ASSERT_TRUE(c.Connected());
    c.Send(RouteRecord());
    auto reply = c.Receive();
    ASSERT_TRUE(reply);
    auto version = DecodeVersionReply(*reply);
    ASSERT_TRUE(version);
}

}  // namespace

TEST(HallService, RouteRequestGetsRequiredVersion) {
    TestServer s;
    ASSERT_TRUE(s.Ok());
    HallClient c(s->HallPort());
    c.Send(RouteRecord());
    auto reply = c.Receive();
    ASSERT_TRUE(reply);
    auto version = DecodeVersionReply(*reply);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->RequiredVersion.Get(), (1 << 24) | 1);
    // The connection stays open for the login that follows.
    auto login = c.Login("10003", "user123");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->ErrorText.Get(), "");
}

TEST(HallService, LoginAcceptsNumberOrNameAndFillsTheReply) {
    TestServer s;
    ASSERT_TRUE(s.Ok());
    struct Case {
        const char* account;
        const char* password;
        std::int32_t number;
    } cases[] = {{"10000", "admin123", 10000},
                 {"admin", "admin123", 10000},
                 {"ADMIN", "admin123", 10000},
                 {" 10001 ", "owner123", 10001}};
    for (const auto& c : cases) {
        HallClient client(s->HallPort());
        auto r = client.Login(c.account, c.password);
        ASSERT_TRUE(r) << c.account;
        EXPECT_EQ(r->ErrorText.Get(), "") << c.account;
        EXPECT_EQ(r->UserNumber.Get(), c.number) << c.account;
    }
    HallClient client(s->HallPort());
    auto owner = client.Login("owner", "owner123");
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->NickName.Get(), Utf8ToGbk("室主小王"));
    EXPECT_EQ(owner->Role.Get(), 50);
    EXPECT_EQ(owner->Level.Get(), 1070);
    EXPECT_EQ(owner->Star.Get(), 2016);
    EXPECT_EQ(owner->Gold.Get(), 200000);
    EXPECT_EQ(owner->GiftPoints.Get(), 12000);
    EXPECT_EQ(owner->Face.Get(), 2);
    EXPECT_EQ(owner->RoomServers[0].Get(), "127.0.0.1,0");
    EXPECT_EQ(owner->RoomServers[1].Get(), "127.0.0.1,1");
    EXPECT_EQ(owner->RoomServers[2].Get(), "");
}

TEST(HallService, RefusedLoginsCarryTheirTexts) {
    TestServer s;
    ASSERT_TRUE(s.Ok());
    struct Case {
        const char* account;
        const char* password;
        const std::string& text;
    } cases[] = {
        {"10003", "wrong", HallTextWrongPassword()},
        {"user", "USER123", HallTextWrongPassword()},
        {"99999", "user123", HallTextUnknownAccount()},
        {"nobody", "user123", HallTextUnknownAccount()},
        {"-1", "user123", HallTextUnknownAccount()},
        {"locked", "locked123", HallTextLocked()},
        {"10005", "banned123", HallTextBanned()},
        // Status is only told to someone who knows the password.
        {"locked", "guess", HallTextWrongPassword()},
    };
    for (const auto& c : cases) {
        HallClient client(s->HallPort());
        auto r = client.Login(c.account, c.password);
        ASSERT_TRUE(r) << c.account;
        EXPECT_EQ(r->ErrorText.Get(), c.text) << c.account << "/" << c.password;
        EXPECT_EQ(r->UserNumber.Get(), 0);
    }
    EXPECT_FALSE(HallTextWrongPassword().empty());
    EXPECT_NE(HallTextLocked(), HallTextBanned());
}

TEST(HallService, BadInputClosesOnlyThatConnection) {
    TestServer s;
    ASSERT_TRUE(s.Ok());
    std::string route = RouteRecord();
    std::string unknown = route;
    unknown[4] = '\x50';  // code 4432
    std::string login = RecordBytes(MakeLoginRequest("10003", "x", "", "", 0));
    login[30] = 40;  // name length beyond its field
    const std::pair<const char*, std::string> cases[] = {
        {"garbage", "GET / HTTP/1.1\r\nHost: x\r\n\r\n"s},
        {"oversized length", "\x00\x00\x10\x00"s + std::string(64, 'x')},
        {"empty record", "\x00\x00\x00\x00"s},
        {"short record", EncodeFrame("\x48\x11\x00")},
        {"route cut short", EncodeFrame(route.substr(0, 17))},
        {"unknown code", EncodeFrame(unknown)},
        {"bad string length", EncodeFrame(login)},
    };
    // A client in the middle of its own exchange the whole time.
    HallClient bystander(s->HallPort());
    bystander.Send(route);
    ASSERT_TRUE(bystander.Receive());
    for (const auto& [what, bytes] : cases) {
        HallClient bad(s->HallPort());
        bad.SendRaw(bytes);
        EXPECT_TRUE(bad.ClosedByPeer()) << what;
        bystander.Send(route);
        EXPECT_TRUE(bystander.Receive()) << "after " << what;
    }
    ExpectHallAnswers(s->HallPort());
}

TEST(HallService, RecordSplitAcrossWritesAndCutStream) {
    TestServer s;
    ASSERT_TRUE(s.Ok());
    std::string frame = EncodeFrame(RouteRecord());
    HallClient c(s->HallPort());
    for (char b : frame)
        c.SendRaw(std::string(1, b));
    EXPECT_TRUE(c.Receive());
    // A client that goes away mid-record harms nobody.
    {
        HallClient cut(s->HallPort());
        cut.SendRaw(frame.substr(0, 9));
    }
    ExpectHallAnswers(s->HallPort());
}

TEST(HallService, ConnectionCapRefusesTheExtraConnection) {
    TestServer s([](ServerConfig& c) { c.maxConnections = 2; });
    ASSERT_TRUE(s.Ok());
    HallClient a(s->HallPort()), b(s->HallPort());
    a.Send(RouteRecord());
    b.Send(RouteRecord());
    ASSERT_TRUE(a.Receive());
    ASSERT_TRUE(b.Receive());
    HallClient third(s->HallPort());
    EXPECT_TRUE(third.ClosedByPeer());
    a.Send(RouteRecord());
    EXPECT_TRUE(a.Receive()) << "the admitted ones keep working";
}

TEST(HallService, ByteAllowanceAndIdleTimeCloseConnections) {
    TestServer s([](ServerConfig& c) {
        c.maxBytesPerConnection = 1024;
        c.idleTimeoutMs = 300;
    });
    ASSERT_TRUE(s.Ok());
    {
        HallClient chatty(s->HallPort());
        std::string frame = EncodeFrame(RouteRecord());  // 22 bytes
        int answered = 0;
        for (int i = 0; i < 60 && answered == i; ++i) {
            chatty.SendRaw(frame);
            if (chatty.Receive())
                ++answered;
        }
        EXPECT_EQ(answered, 1024 / 22);
        EXPECT_TRUE(chatty.ClosedByPeer());
    }
    {
        HallClient idle(s->HallPort(), std::chrono::milliseconds(3000));
        auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(idle.ClosedByPeer());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    }
    ExpectHallAnswers(s->HallPort());
}

TEST(HallService, RepeatedWrongPasswordsEndTheConnection) {
    TestServer s;
    ASSERT_TRUE(s.Ok());
    HallClient c(s->HallPort());
    for (int i = 0; i < HallLogic::kMaxFailedLogins; ++i) {
        auto r = c.Login("10003", "nope");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->ErrorText.Get(), HallTextWrongPassword());
    }
    EXPECT_TRUE(c.ClosedByPeer());
}

TEST(HallService, DataSurvivesRestartAndSeedIsNotRepeated) {
    auto dir = FreshDataDir("restart");
    std::int32_t number = 0;
    {
        TestServer s({}, dir);
        ASSERT_TRUE(s.Ok());
        s.KeepDir();
        NewAccount a;
        a.name = "carol";
        a.passwordMd5 = Md5Hex("secret1");
        auto created = s->Db().CreateAccount(a, nullptr);
        ASSERT_TRUE(created);
        number = created->number;
        EXPECT_EQ(number, kFirstRegisteredNumber);
    }
    TestServer again({}, dir);
    ASSERT_TRUE(again.Ok());
    HallClient c(again->HallPort());
    auto r = c.Login("carol", "secret1");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->UserNumber.Get(), number);
    EXPECT_EQ(again->Db().ListRooms().size(), 4u);
    std::string error;
    NewAccount dup;
    dup.name = "Carol";
    dup.passwordMd5 = Md5Hex("x");
    EXPECT_FALSE(again->Db().CreateAccount(dup, &error));
    EXPECT_EQ(error, "name taken");
}

TEST(HallService, StartFailsCleanlyOnAPortInUse) {
    TestServer first;
    ASSERT_TRUE(first.Ok());
    ServerConfig c;
    c.dataDir = FreshDataDir("busy").string();
    c.hallPort = first->HallPort();
    c.webPort = 0;
    c.passwordIterations = 1000;
    ChatServer second(c);
    std::string error;
    EXPECT_FALSE(second.Start(&error));
    EXPECT_NE(error.find("hall port"), std::string::npos) << error;
    std::filesystem::remove_all(c.dataDir);
    ExpectHallAnswers(first->HallPort());
}
