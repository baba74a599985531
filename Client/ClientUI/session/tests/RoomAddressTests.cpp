#include "session/RoomAddress.h"

#include <gtest/gtest.h>

using Items = std::vector<std::string>;

TEST(SplitDelimitedText, SeparatesAtCommasBlanksAndKeepsQuotedItems) {
    struct Case {
        std::string text;
        Items items;
    } cases[] = {
        {"1001,0,10086,0", {"1001", "0", "10086", "0"}},
        {"  a , b ", {"a", "b"}},
        {"a b,c", {"a", "b", "c"}},  // a blank separates too
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},  // a trailing comma adds an empty item
        {"\"x y\",\"say \"\"hi\"\"\"", {"x y", "say \"hi\""}},
        {"a\tb\r\nc", {"a", "b", "c"}},
        {std::string("a,b\0,c", 6), {"a", "b"}},  // a zero byte ends the text
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitDelimitedText(c.text), c.items) << c.text;
}

TEST(ParseRoomAddress, ReadsItemsWithDefaults) {
    auto r = ParseRoomAddress("room:1001,0,65042,1,1");
    ASSERT_TRUE(r.Command);
    EXPECT_EQ(r.Command->RoomId, 1001);
    EXPECT_EQ(r.Command->HallValue, 65042);
    EXPECT_TRUE(r.Command->HasPassword);
    EXPECT_TRUE(r.Command->HiddenGiven);
    EXPECT_TRUE(r.Command->Hidden);

    r = ParseRoomAddress("room:1002,x,abc,0");
    ASSERT_TRUE(r.Command);
    EXPECT_EQ(r.Command->HallValue, kDefaultHallValue);  // not a number
    EXPECT_FALSE(r.Command->HasPassword);
    EXPECT_FALSE(r.Command->HiddenGiven);

    EXPECT_EQ(ParseRoomAddress("room:1,0,70000,0").Command->HallValue, kDefaultHallValue);
    EXPECT_EQ(ParseRoomAddress("room:abc,0,1,0").Command->RoomId, 0);
}

TEST(ParseRoomAddress, RefusesShortAndNegativeAndLeavesOtherSchemes) {
    auto shortOne = ParseRoomAddress("room:1001,0,10086");
    EXPECT_TRUE(shortOne.IsRoomScheme);
    EXPECT_FALSE(shortOne.Command);
    EXPECT_NE(shortOne.Error.find("3 items"), std::string::npos);

    EXPECT_FALSE(ParseRoomAddress("room:-5,0,1,0").Command);

    for (const char* other : {"http://x/room:1,0,1,0", "Room:1,0,1,0", "rooms:1,0,1,0", "room"}) {
        auto r = ParseRoomAddress(other);
        EXPECT_FALSE(r.IsRoomScheme) << other;
        EXPECT_FALSE(r.Command) << other;
    }
}
