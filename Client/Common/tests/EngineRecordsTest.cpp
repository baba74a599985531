#include "common/EngineRecords.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <typename R>
const unsigned char* Raw(const R& r) {
    return reinterpret_cast<const unsigned char*>(&r);
}

TEST(EngineRecords, FieldsLieAtTheirOffsetsLittleEndian) {
    TMyInfo me;
    std::memset(&me, 0, sizeof me);
    me.UserID.Set(0x01020304);
    me.Gold.Set(-2);
    me.Level.Set(1070);
    me.MyMic.Set(-1);
    const unsigned char* b = Raw(me);
    EXPECT_EQ(std::vector<unsigned char>(b, b + 4), (std::vector<unsigned char>{4, 3, 2, 1}));
    EXPECT_EQ(std::vector<unsigned char>(b + 110, b + 114),
              (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(b[116] | b[117] << 8, 1070);
    EXPECT_EQ(b[142], 0xFF);
    EXPECT_EQ(b[143], 0xFF);
    EXPECT_EQ(me.MyMic.Get(), -1);
    EXPECT_EQ(me.Gold.Get(), -2);

    TRoomInfo room;
    std::memset(&room, 0, sizeof room);
    room.OwnerID.Set(77);
    room.GiftSpeed.Set(200);
    room.Password.Set("pw");
    EXPECT_EQ(Raw(room)[55], 77);
    EXPECT_EQ(Raw(room)[116], 200);
    EXPECT_EQ(Raw(room)[76], 2);
    EXPECT_EQ(std::memcmp(Raw(room) + 77, "pw", 2), 0);
}

TEST(EngineRecords, ShortStrings) {
    TMyInfo me;
    std::memset(&me, 0xAA, sizeof me);
    me.NickName.bytes[0] = 0;
    EXPECT_EQ(me.NickName.Get(), "");
    me.NickName.bytes[0] = 200;  // a length beyond the field reads only the field
    EXPECT_EQ(me.NickName.Get().size(), 99u);

    TRoomInfo room;
    std::memset(&room, 0x20, sizeof room);
    // 49 ASCII bytes and a double-byte character: the character does not fit in 50.
    std::string name = std::string(49, 'r') + Utf8ToGbk("房");
    room.RoomName.Set(name);
    EXPECT_EQ(room.RoomName.Get(), std::string(49, 'r'));
    EXPECT_EQ(Raw(room)[55], 0x20);  // the next field is untouched
}

TEST(EngineRecords, CharArrays) {
    TRoomTexts texts;
    std::memset(&texts, 'x', sizeof texts);
    EXPECT_EQ(texts.Greeting.Get(), std::string(501, 'x'));  // no zero byte: read whole

    texts.Notice1.Set(std::string(499, 'n') + Utf8ToGbk("告"));
    EXPECT_EQ(texts.Notice1.Get(), std::string(499, 'n'));
    EXPECT_EQ(Raw(texts)[501 + 499], 0);
    EXPECT_EQ(Raw(texts)[1002], 'x');  // Notice2 untouched
    texts.Notice2.Set("{style}color:red");
    EXPECT_EQ(texts.Notice2.Get(), "{style}color:red");
}

TEST(EngineRecords, CopyKeepsReservedBytes) {
    TRoomInfo room;
    for (std::size_t i = 0; i < sizeof room; ++i)
        reinterpret_cast<unsigned char*>(&room)[i] = static_cast<unsigned char>(i * 7);
    TRoomInfo copy = room;
    copy.AllowDice = 1;
    EXPECT_EQ(std::memcmp(copy.Reserved110, room.Reserved110, sizeof room.Reserved110), 0);
    EXPECT_EQ(std::memcmp(Raw(copy), Raw(room), 121), 0);
    EXPECT_EQ(std::memcmp(Raw(copy) + 122, Raw(room) + 122, sizeof room - 122), 0);
}

}  // namespace
