#include "ServerConfig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "PasswordHash.h"
#include "TestServer.h"

namespace {

std::optional<std::string> Parse(std::vector<const char*> args, ServerConfig& c) {
    args.insert(args.begin(), "ChatRoomServer");
    return ParseServerArgs(static_cast<int>(args.size()), args.data(), c);
}

}  // namespace

TEST(ServerConfig, FlagsOverrideTheConfigFileWhichOverridesDefaults) {
    auto dir = FreshDataDir("cfg");
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "server.ini") << "[server]\nhall-port=7500\nweb-port=7580\n"
                                         "max-connections=9\nhost=0.0.0.0\n";
    ServerConfig c;
    std::string d = dir.string();
    ASSERT_FALSE(Parse({"--data", d.c_str(), "--web-port", "8000"}, c));
    EXPECT_EQ(c.dataDir, d);
    EXPECT_EQ(c.hallPort, 7500);
    EXPECT_EQ(c.webPort, 8000);
    EXPECT_EQ(c.roomPort, 7410);
    EXPECT_EQ(c.maxConnections, 9u);
    EXPECT_EQ(c.AdvertisedHost(), "127.0.0.1");

    std::ofstream(dir / "server.ini") << "[server]\nhall-port=70000\n";
    ServerConfig bad;
    auto error = Parse({"--data", d.c_str()}, bad);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("hall-port"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(ServerConfig, RefusesUnknownOrIncompleteFlags) {
    for (std::vector<const char*> args : {std::vector<const char*>{"--hall-port"},
                                          {"--hall-port", "x"},
                                          {"--port", "1"},
                                          {"positional"},
                                          {"--room-port", "-1"}}) {
        ServerConfig c;
        EXPECT_TRUE(Parse(args, c)) << args[0];
    }
    ServerConfig c;
    EXPECT_FALSE(Parse({"--data", "/nonexistent-dir-for-test", "--host", "::1"}, c));
    EXPECT_EQ(c.host, "::1");
}

TEST(PasswordHash, VerifiesOnlyTheSameSecret) {
    std::string h = HashPassword("e10adc3949ba59abbe56e057f20f883e", 1000);
    EXPECT_TRUE(VerifyPassword("e10adc3949ba59abbe56e057f20f883e", h));
    EXPECT_FALSE(VerifyPassword("e10adc3949ba59abbe56e057f20f883f", h));
    EXPECT_NE(h, HashPassword("e10adc3949ba59abbe56e057f20f883e", 1000)) << "salted";
    for (std::string bad :
         {std::string(), std::string("plain"), std::string("pbkdf2-sha256$x$00$00"),
          h.substr(0, h.size() - 2), "pbkdf2-sha256$0$" + h.substr(20)})
        EXPECT_FALSE(VerifyPassword("e10adc3949ba59abbe56e057f20f883e", bad)) << bad;
    auto p = RandomPassword(12);
    EXPECT_EQ(p.size(), 12u);
    EXPECT_NE(p, RandomPassword(12));
}
