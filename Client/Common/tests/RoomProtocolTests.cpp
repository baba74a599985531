#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "common/RoomProtocol.h"

using namespace room;

namespace {

std::string Le16(std::uint16_t v) {
    return {char(v & 0xFF), char(v >> 8)};
}
std::string Le32(std::uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}
std::string Str(std::string_view s) {
    return Le16(std::uint16_t(s.size())) + std::string(s) + '\0';
}

// A chat request built by hand, so the decoder is checked against the
// documented layout and not only against its own encoder.
std::string ChatRecord(std::string body, std::uint8_t whisper = 1) {
    return Le16(120) + Le32(7) + Str("bob") + char(whisper) + char(0) + body;
}

}  // namespace

TEST(RoomProtocol, ChatRequestMatchesTheDocumentedLayout) {
    ChatReq req;
    req.toUser = 7;
    req.toNick = "bob";
    req.whisper = 1;
    req.body = "<FONT STYLE=\"x\">hi</FONT>";
    EXPECT_EQ(Encode(req), ChatRecord(Str(req.body)));

    ChatReq back;
    ASSERT_TRUE(Decode(ChatRecord(Str(req.body)), back));
    EXPECT_EQ(back.toUser, 7);
    EXPECT_EQ(back.toNick, "bob");
    EXPECT_EQ(back.whisper, 1);
    EXPECT_EQ(back.autoReply, 0);
    EXPECT_EQ(back.body, req.body);
}

TEST(RoomProtocol, MalformedRecordsAreRefused) {
    const std::string good = ChatRecord(Str("hello"));
    ChatReq r;
    ASSERT_TRUE(Decode(good, r));
    struct Case {
        const char* what;
        std::string record;
    } cases[] = {
        {"empty", ""},
        {"code only half", good.substr(0, 1)},
        {"truncated inside the body", good.substr(0, good.size() - 3)},
        {"missing terminator", good.substr(0, good.size() - 1)},
        {"terminator replaced", good.substr(0, good.size() - 1) + "x"},
        {"trailing byte", good + "x"},
        {"embedded zero", ChatRecord(Le16(3) + std::string("a\0b", 3) + '\0')},
        {"length beyond the record", ChatRecord(Le16(60000) + "abc")},
        {"length beyond the field", ChatRecord(Str(std::string(kMaxBody + 1, 'a')))},
        {"flag not 0 or 1", ChatRecord(Str("hello"), 2)},
        {"other code", Le16(121) + good.substr(2)},
    };
    for (const auto& c : cases) {
        ChatReq out;
        EXPECT_FALSE(Decode(c.record, out)) << c.what;
    }
}

TEST(RoomProtocol, WriterCutsOverlongTextsOnACharacterBoundary) {
    ChatReq req;
    // "中" in GBK is two bytes; an odd limit must not split one.
    req.toNick = std::string(kMaxNick - 1, 'a') + "\xD6\xD0";
    req.body = std::string("ab\0cd", 5);
    ChatReq back;
    ASSERT_TRUE(Decode(Encode(req), back));
    EXPECT_EQ(back.toNick, std::string(kMaxNick - 1, 'a'));
    EXPECT_EQ(back.body, "ab");
}

TEST(RoomProtocol, BlobsKeepEveryByte) {
    EnterOkMsg msg;
    msg.roomId = 5;
    msg.me.UserID.Set(42);
    msg.me.NickName.Set("nick");
    msg.me.Reserved1[3] = 0xAB;
    msg.info.RoomName.Set("room");
    msg.info.Reserved130[5] = 0x5A;
    msg.texts.Notice3.Set("n3");
    std::string rec = Encode(msg);
    EXPECT_EQ(rec.size(), 2 + 4 + sizeof(TMyInfo) + sizeof(TRoomInfo) + sizeof(TRoomTexts));
    EnterOkMsg back;
    ASSERT_TRUE(Decode(rec, back));
    EXPECT_EQ(std::memcmp(&back.me, &msg.me, sizeof(TMyInfo)), 0);
    EXPECT_EQ(std::memcmp(&back.info, &msg.info, sizeof(TRoomInfo)), 0);
    EXPECT_EQ(back.texts.Notice3.Get(), "n3");
    EXPECT_FALSE(Decode(rec.substr(0, rec.size() - 1), back));
}

TEST(RoomProtocol, DispatchHandsOverTheRecordItsCodeNames) {
    using Seen = std::variant<std::monostate, UserMicMsg, UserRoleMsg>;
    Seen seen;
    auto handler = [&](const auto& r) {
        using T = std::decay_t<decltype(r)>;
        if constexpr (std::is_same_v<T, UserMicMsg> || std::is_same_v<T, UserRoleMsg>)
            seen = r;
    };
    UserRoleMsg role;
    role.userId = 9;
    role.role = 30;
    ASSERT_TRUE(Dispatch(ServiceRecords{}, Encode(role), handler));
    ASSERT_TRUE(std::holds_alternative<UserRoleMsg>(seen));
    EXPECT_EQ(std::get<UserRoleMsg>(seen).role, 30);

    seen = {};
    // A client record is unknown to the service-record list, and vice versa.
    EXPECT_FALSE(Dispatch(ServiceRecords{}, Encode(ChatReq{}), handler));
    EXPECT_FALSE(Dispatch(ClientRecords{}, Encode(role), handler));
    EXPECT_FALSE(Dispatch(ServiceRecords{}, Le16(216), handler));  // reserved, not built
    EXPECT_FALSE(Dispatch(ServiceRecords{}, Encode(role) + "x", handler));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(seen));
}

TEST(RoomProtocol, SanitizeBodyKeepsFontRunsAndDefusesMarkup) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"<FONT STYLE=\"font:10pt x; color:#000000\">a &lt; b</FONT>",
         "<FONT STYLE=\"font:10pt x; color:#000000\">a &lt; b</FONT>"},
        {"<font style=\"c\">x</font><FONT STYLE=\"d\">y</FONT>",
         "<FONT STYLE=\"c\">x</FONT><FONT STYLE=\"d\">y</FONT>"},
        {"\\ColorWord3", "\\ColorWord3"},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"<FONT STYLE=\"x\"><img src=a onerror=b></FONT>",
         "<FONT STYLE=\"x\">&lt;img src=a onerror=b&gt;</FONT>"},
        {"<FONT STYLE=\"x\" onclick=\"y\">z</FONT>", "<FONT STYLE=\"x onclick=y\">z</FONT>"},
        {"<FONT STYLE=\"x\">never closed", "&lt;FONT STYLE=\"x\"&gt;never closed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SanitizeBody(c.in), c.out) << c.in;
}
