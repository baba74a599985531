#include "session/HallRules.h"

#include <gtest/gtest.h>

#include "common/GbkText.h"
#include "common/NetUtils.h"

TEST(RoomAllowed, ByLevelAndRole) {
    struct Case {
        std::uint16_t level, role;
        int open;
        bool allowed;
    } cases[] = {
        {0, 1, 0, true},     {0, 1, 1, false},     // a plain user: one room
        {1010, 1, 1, true},  {1010, 1, 2, false},  // a VIP: two
        {2012, 1, 1, true},  {2012, 1, 2, false}, {1030, 1, 50, true},
        {1075, 1, 9, true},                        // inside 1050-1090
        {2019, 1, 9, true},  {2015, 1, 1, false},  // 2015 is not listed
        {2024, 1, 1, false}, {2040, 1, 3, true},  {0, 255, 200, true},
        {0, 60, 3, true},    {0, 50, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoomAllowed(c.level, c.role, c.open), c.allowed)
            << c.level << "/" << c.role << "/" << c.open;
}

TEST(RoomAllowed, MessageDependsOnRole) {
    EXPECT_EQ(GbkToUtf8(RoomLimitMessage(1)),
              "不能进入更多的房间了！\n\r如需进入更多房间，请购买会员.");
    EXPECT_EQ(GbkToUtf8(RoomLimitMessage(50)), "不能进入更多的房间了！请提升您的用户等级.");
}

TEST(HasHiddenRight, RolesAndSeniorHosts) {
    EXPECT_TRUE(HasHiddenRight(255, 0));
    EXPECT_TRUE(HasHiddenRight(70, 0));
    EXPECT_TRUE(HasHiddenRight(235, 0));
    EXPECT_TRUE(HasHiddenRight(10, 1050));
    EXPECT_FALSE(HasHiddenRight(10, 1040));
    EXPECT_FALSE(HasHiddenRight(50, 2040));
}

TEST(RoomServers, OwnLineFirstInReverseThenOthersInOrder) {
    std::vector<TRoomServer> servers;
    const char* entries[] = {"10.0.0.1,1", "10.0.0.2,0", "10.0.0.3,1", "10.0.0.4,0", "10.0.0.5,2"};
    for (const char* e : entries)
        if (auto s = ParseRoomServerEntry(e, &ResolveHost))
            AddRoomServer(servers, *s, 1);
    std::vector<std::string> order;
    for (const auto& s : servers)
        order.push_back(IpToText(s.Address));
    EXPECT_EQ(order, (std::vector<std::string>{"10.0.0.3", "10.0.0.1", "10.0.0.2", "10.0.0.4",
                                               "10.0.0.5"}));
    // Line types compare as 16-bit numbers.
    servers.clear();
    AddRoomServer(servers, *ParseRoomServerEntry("10.0.0.9,65537", &ResolveHost), 1);
    AddRoomServer(servers, *ParseRoomServerEntry("10.0.0.8,0", &ResolveHost), 1);
    EXPECT_EQ(IpToText(servers[0].Address), "10.0.0.9");
}

TEST(RoomServers, BadEntriesAreSkipped) {
    for (const char* bad : {"", "   ", "10.0.0.1", "10.0.0.1,x", "0.0.0.0,1"})
        EXPECT_FALSE(ParseRoomServerEntry(bad, &ResolveHost)) << bad;
    auto s = ParseRoomServerEntry(" 127.0.0.1,3 ", &ResolveHost);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->LineType, 3);
}
