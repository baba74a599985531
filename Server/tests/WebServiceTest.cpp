#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <regex>

#include "Database.h"
#include "TestServer.h"
#include "WebServer.h"
#include "common/Cipher.h"

namespace {

std::string Element(const std::string& html, const std::string& id) {
    std::smatch m;
    std::regex re("id=\"" + id + "\">([^<]*)<");
    return std::regex_search(html, m, re) ? m[1].str() : std::string("<missing>");
}

}  // namespace

class WebService : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ok());
        http = std::make_unique<httplib::Client>("127.0.0.1", server->WebPort());
    }
    std::string LobbyPath(int user, const std::string& password) {
        return "/lobby?user=" + std::to_string(user) + "&key=" + Md5Hex(password);
    }
    TestServer server;
    std::unique_ptr<httplib::Client> http;
};

TEST_F(WebService, LobbyListsRoomLinksOnlyForTheRightKey) {
    auto res = http->Get(LobbyPath(10003, "user123").c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    // id, unused, hall value, password flag
    EXPECT_NE(res->body.find("href=\"room:1001,0,10086,0\""), std::string::npos);
    EXPECT_NE(res->body.find("href=\"room:1003,0,10086,1\""), std::string::npos);
    EXPECT_NE(res->body.find("class=\"occupancy\">0<"), std::string::npos);
    EXPECT_EQ(res->body.find(",1\">隐身进入"), std::string::npos)
        << "plain users get no hidden links";

    auto master = http->Get(LobbyPath(10000, "admin123").c_str());
    ASSERT_TRUE(master);
    EXPECT_NE(master->body.find("href=\"room:1001,0,10086,0,1\""), std::string::npos);

    for (std::string bad : {LobbyPath(10003, "wrong"), LobbyPath(99999, "user123"),
                            LobbyPath(10004, "locked123"), std::string("/lobby?user=10003"),
                            std::string("/lobby?user=abc&key=") + Md5Hex("user123")}) {
        auto r = http->Get(bad.c_str());
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 403) << bad;
        EXPECT_EQ(r->body.find("room:"), std::string::npos) << bad;
    }
}

TEST_F(WebService, RegistrationCreatesAnAccountTheHallAccepts) {
    auto form = http->Get("/register?kind=0&promotion=7");
    ASSERT_TRUE(form);
    EXPECT_NE(form->body.find("<form method=\"post\" action=\"/register\""), std::string::npos);

    httplib::Params p{{"kind", "0"},        {"promotion", "7"},        {"name", "dave_1"},
                      {"nickname", "小戴"}, {"password", "pass-w0rd"}, {"password2", "pass-w0rd"}};
    auto res = http->Post("/register", p);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    std::string account = Element(res->body, "Account");
    EXPECT_EQ(Element(res->body, "LogonPassword"), "pass-w0rd");
    EXPECT_EQ(account, std::to_string(kFirstRegisteredNumber));
    auto stored = server->Db().FindAccountByName("DAVE_1");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->nickname, "小戴");
    EXPECT_EQ(stored->promotion, 7);
    EXPECT_EQ(stored->passwordHash.find("pass-w0rd"), std::string::npos);

    HallClient hall(server->HallPort());
    for (const std::string& login : {account, std::string("dave_1")}) {
        auto reply = hall.Login(login, "pass-w0rd");
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->ErrorText.Get(), "") << login;
    }

    // Refused forms come back with the reason and without an account.
    struct Case {
        const char* what;
        const char* name;
        const char* password;
        const char* again;
    } cases[] = {
        {"name taken", "Dave_1", "secret12", "secret12"},
        {"name all digits", "12345", "secret12", "secret12"},
        {"name with markup", "a<b>c", "secret12", "secret12"},
        {"short password", "erin", "123", "123"},
        {"passwords differ", "erin", "secret12", "secret13"},
    };
    for (const auto& c : cases) {
        httplib::Params q{{"name", c.name}, {"password", c.password}, {"password2", c.again}};
        auto r = http->Post("/register", q);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 400) << c.what;
        EXPECT_EQ(Element(r->body, "Account"), "<missing>") << c.what;
        EXPECT_NE(r->body.find("id=\"error\""), std::string::npos) << c.what;
        EXPECT_EQ(r->body.find("<b>"), std::string::npos) << c.what << ": input is escaped";
    }
    EXPECT_FALSE(server->Db().FindAccountByName("erin"));
}

TEST_F(WebService, VisitorPageCreatesAnAccountAtOnce) {
    auto res = http->Get("/register?kind=2&promotion=0");
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);
    std::string account = Element(res->body, "Account");
    std::string password = Element(res->body, "LogonPassword");
    EXPECT_EQ(account, std::to_string(kFirstVisitorNumber));
    EXPECT_EQ(password.size(), 8u);
    HallClient hall(server->HallPort());
    auto reply = hall.Login(account, password);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->ErrorText.Get(), "");
    EXPECT_EQ(reply->Role.Get(), 0);

    auto second = http->Get("/register?kind=2&promotion=0");
    ASSERT_TRUE(second);
    EXPECT_EQ(Element(second->body, "Account"), std::to_string(kFirstVisitorNumber + 1));
}

TEST(WebServiceLimits, VisitorCreationIsRateLimited) {
    TestServer s([](ServerConfig& c) { c.visitorsPerMinute = 2; });
    ASSERT_TRUE(s.Ok());
    httplib::Client http("127.0.0.1", s->WebPort());
    int created = 0, refused = 0;
    for (int i = 0; i < 4; ++i) {
        auto r = http.Get("/register?kind=2&promotion=0");
        ASSERT_TRUE(r);
        (r->status == 200 ? created : refused)++;
    }
    // The minute may turn over once during the loop.
    EXPECT_GE(created, 2);
    EXPECT_LE(created, 3);
    EXPECT_GE(refused, 1);
}

TEST_F(WebService, BannerPagesAndUpdateFile) {
    auto banner = http->Get("/loginbar.html");
    ASSERT_TRUE(banner);
    EXPECT_NE(banner->body.find("id=\"successed\""), std::string::npos);

    for (const char* path : {"/", "/tools.html", "/help.html", "/exchange.html", "/password.html",
                             "/addgold?user=10003&owner=10001"}) {
        auto r = http->Get(path);
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->status, 200) << path;
        EXPECT_NE(r->get_header_value("Content-Type").find("utf-8"), std::string::npos) << path;
    }
    auto missing = http->Get("/unused5.html");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);

    auto update = http->Get("/update/ChatRoomSetup.bin");
    ASSERT_TRUE(update);
    EXPECT_EQ(update->status, 200);
    auto size = std::filesystem::file_size(server.Dir() / "update" / "ChatRoomSetup.bin");
    EXPECT_EQ(update->get_header_value("Content-Length"), std::to_string(size));
    EXPECT_EQ(update->body.size(), size);
    EXPECT_GT(size, 1000u) << "progress needs a size of at least a kilobyte";
}

TEST_F(WebService, UserInformationShowsAndChangesTheNickname) {
    std::string key = Md5Hex("vip123");
    auto page = http->Get(("/userinfo?user=10002&key=" + key).c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(Element(page->body, "number"), "10002");
    EXPECT_EQ(Element(page->body, "nickname"), "蓝色会员");

    auto changed = http->Post(
        "/userinfo", httplib::Params{{"user", "10002"}, {"key", key}, {"nickname", "新名字"}});
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->status, 200);
    HallClient hall(server->HallPort());
    auto reply = hall.Login("10002", "vip123");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->NickName.Get(), Utf8ToGbk("新名字"));

    for (auto params :
         {httplib::Params{{"user", "10002"}, {"key", Md5Hex("x")}, {"nickname", "a"}},
          httplib::Params{{"user", "10002"}, {"key", key}, {"nickname", "<i>"}},
          httplib::Params{{"user", "10002"}, {"key", key}, {"nickname", std::string(40, 'n')}}}) {
        auto r = http->Post("/userinfo", params);
        ASSERT_TRUE(r);
        EXPECT_NE(r->status, 200);
    }
    EXPECT_EQ(server->Db().FindAccountByNumber(10002)->nickname, "新名字");
}
