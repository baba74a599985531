#include "common/HallProtocol.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace std::string_literals;

namespace {

std::int32_t I32(const std::string& b, std::size_t at) {
    return std::int32_t(std::uint32_t((unsigned char)b[at]) |
                        std::uint32_t((unsigned char)b[at + 1]) << 8 |
                        std::uint32_t((unsigned char)b[at + 2]) << 16 |
                        std::uint32_t((unsigned char)b[at + 3]) << 24);
}
int I16(const std::string& b, std::size_t at) {
    return std::int16_t((unsigned char)b[at] | (unsigned char)b[at + 1] << 8);
}
std::string Str(const std::string& b, std::size_t at) {
    return b.substr(at + 1, (unsigned char)b[at]);
}

}  // namespace

TEST(HallProtocol, RouteRequestBytes) {
    std::uint32_t addr;
    std::memcpy(&addr, "\x7F\x00\x00\x01", 4);
    std::string b = RecordBytes(MakeRouteRequest(addr, 7400, 10001));
    EXPECT_EQ(b,
              "\x48\x11\x00\x00"s
              "\x49\x11\x00\x00"s
              "\x7F\x00\x00\x01"s
              "\xE8\x1C"s
              "\x11\x27\x00\x00"s);
    auto back = DecodeRouteRequest(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(RouteServerAddr(*back), addr);
    EXPECT_EQ(back->UserNumber.Get(), 10001);
}

TEST(HallProtocol, VersionReplyBytes) {
    std::string b = RecordBytes(MakeVersionReply((1 << 24) | 1, 77));
    ASSERT_EQ(b.size(), 30u);
    EXPECT_EQ(I32(b, 4), 4426);
    EXPECT_EQ(I32(b, 18), 77);
    EXPECT_EQ(b.substr(26), "\x01\x00\x00\x01"s);
    EXPECT_EQ(b.substr(8, 10), std::string(10, '\0'));
    EXPECT_EQ(DecodeVersionReply(b)->RequiredVersion.Get(), 0x01000001);
}

TEST(HallProtocol, LoginRequestByNumberAndByName) {
    const std::string md5 = "e10adc3949ba59abbe56e057f20f883e";
    struct Case {
        std::string account;
        int byName;
        std::int32_t number;
        std::string name;
    } cases[] = {
        {"10001", 0, 10001, ""},  {"  10001 ", 0, 10001, ""},            // blanks around a number
        {"-1", 1, 0, "-1"},                                              // a sign makes it a name
        {"alice", 1, 0, "alice"}, {"99999999999", 1, 0, "99999999999"},  // beyond 32 bits
    };
    for (const auto& c : cases) {
        std::string b = RecordBytes(MakeLoginRequest(c.account, md5, "123456", "AA-BB", 5000));
        ASSERT_EQ(b.size(), 153u);
        EXPECT_EQ(I32(b, 0), 4424);
        EXPECT_EQ(I32(b, 4), 4437);
        EXPECT_EQ(b.substr(8, 16), std::string(16, '\0'));  // zeros and reserved bytes
        EXPECT_EQ(I16(b, 24), c.byName) << c.account;
        EXPECT_EQ(I32(b, 26), c.number) << c.account;
        EXPECT_EQ(Str(b, 30), c.name) << c.account;
        EXPECT_EQ(I32(b, 62), 5000);
        EXPECT_EQ(Str(b, 66), md5);
        EXPECT_EQ(Str(b, 100), "123456");
        EXPECT_EQ(Str(b, 134), "AA-BB");
        // Padding after each string stays zero.
        EXPECT_EQ(b[30 + 1 + c.name.size()], '\0');
        EXPECT_TRUE(DecodeLoginRequest(b));
    }
}

TEST(HallProtocol, LongGbkNameIsCutOnCharacterBoundary) {
    std::string name;
    for (int i = 0; i < 20; ++i)
        name += "\xC4\xE3";  // 40 bytes of double-byte characters
    auto r = MakeLoginRequest(name, "", "", "", 0);
    EXPECT_EQ(r.AccountName.Get(), name.substr(0, 30));
}

TEST(HallProtocol, LoginReplyBytes) {
    THallLoginReply r = MakeLoginError("");
    r.UserNumber.Set(10001);
    r.NickName.Set("Nick");
    r.Face.Set(-2);
    r.GiftPoints.Set(300);
    r.Gold.Set(5000);
    r.Role.Set(255);
    r.Level.Set(1010);
    r.Star.Set(2016);
    r.LineType.Set(1);
    r.RoomServers[0].Set("127.0.0.1,0");
    r.RoomServers[19].Set("10.0.0.2,1");
    std::string b = RecordBytes(r);
    ASSERT_EQ(b.size(), 648u);
    EXPECT_EQ(I32(b, 4), 4438);
    EXPECT_EQ(I32(b, 20), 10001);
    EXPECT_EQ(b[24], '\0');
    EXPECT_EQ(Str(b, 176), "Nick");
    EXPECT_EQ(I16(b, 208), -2);
    EXPECT_EQ(I32(b, 212), 300);
    EXPECT_EQ(I32(b, 216), 5000);
    EXPECT_EQ(I16(b, 220), 255);
    EXPECT_EQ(I16(b, 222), 1010);
    EXPECT_EQ(I16(b, 224), 2016);
    EXPECT_EQ(I16(b, 226), 1);
    EXPECT_EQ(Str(b, 228), "127.0.0.1,0");
    EXPECT_EQ(Str(b, 228 + 21), "");
    EXPECT_EQ(Str(b, 228 + 19 * 21), "10.0.0.2,1");
    EXPECT_TRUE(DecodeLoginReply(b));

    std::string err = RecordBytes(MakeLoginError("bad"));
    EXPECT_EQ(Str(err, 24), "bad");
    EXPECT_EQ(DecodeLoginReply(err)->ErrorText.Get(), "bad");
}

TEST(HallProtocol, DecodersRefuseMalformedRecords) {
    const std::string login = RecordBytes(MakeLoginRequest("alice", "d", "p", "", 0));
    const std::string route = RecordBytes(MakeRouteRequest(0, 7400, 0));
    const std::string reply = RecordBytes(MakeLoginError(""));
    using Edit = std::function<void(std::string&)>;
    struct Case {
        const char* what;
        const std::string* base;
        Edit edit;
    } cases[] = {
        {"truncated login", &login, [](std::string& b) { b.pop_back(); }},
        {"oversized login", &login, [](std::string& b) { b.push_back('\0'); }},
        {"login with route code", &login, [](std::string& b) { b[4] = '\x49'; }},
        {"login without tag", &login, [](std::string& b) { b[0] = 0; }},
        {"login neither by name nor number", &login, [](std::string& b) { b[24] = 2; }},
        {"name length beyond field", &login, [](std::string& b) { b[30] = 32; }},
        {"mac length beyond field", &login, [](std::string& b) { b[134] = (char)200; }},
        {"truncated route", &route, [](std::string& b) { b.resize(17); }},
        {"route with login code", &route, [](std::string& b) { b[4] = '\x55'; }},
        {"reply error text beyond field", &reply, [](std::string& b) { b[24] = (char)152; }},
        {"reply server entry beyond field", &reply, [](std::string& b) { b[228 + 21] = 21; }},
        {"truncated reply", &reply, [](std::string& b) { b.resize(647); }},
    };
    for (const auto& c : cases) {
        std::string b = *c.base;
        c.edit(b);
        bool ok = c.base == &login   ? bool(DecodeLoginRequest(b))
                  : c.base == &route ? bool(DecodeRouteRequest(b))
                                     : bool(DecodeLoginReply(b));
        EXPECT_FALSE(ok) << c.what;
    }
    EXPECT_FALSE(HallRecordCode("\x48\x11\x00\x00\x49\x11\x00"s));
    EXPECT_EQ(HallRecordCode(route), 4425);
}
