// Records shared with the chat engine module: packed, little-endian, read in
// place. Field types below store their bytes, so the layout does not depend
// on the host's alignment or byte order, and a copy keeps every byte,
// including the ones the client never reads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/GbkText.h"

template <typename T>
struct LeInt {
    static_assert(sizeof(T) <= 8);
    unsigned char bytes[sizeof(T)];

    T Get() const {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t(bytes[i]) << (8 * i);
        return static_cast<T>(v);
    }
    void Set(T value) {
        auto v = static_cast<std::uint64_t>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<unsigned char>(v >> (8 * i));
    }
};
using LeInt16 = LeInt<std::int16_t>;
using LeInt32 = LeInt<std::int32_t>;
using LeUInt16 = LeInt<std::uint16_t>;

// Length byte followed by the text; Size includes the length byte.
template <std::size_t Size>
struct ShortString {
    static_assert(Size >= 1 && Size <= 256);
    unsigned char bytes[Size];

    static constexpr std::size_t Capacity = Size - 1;
    std::string Get() const {
        std::size_t n = bytes[0] < Capacity ? bytes[0] : Capacity;
        return std::string(reinterpret_cast<const char*>(bytes + 1), n);
    }
    // Cut to the capacity on a character boundary; the padding after the text
    // is left as it was.
    void Set(std::string_view text) {
        std::size_t n = GbkSafePrefix(text, Capacity);
        bytes[0] = static_cast<unsigned char>(n);
        std::memcpy(bytes + 1, text.data(), n);
    }
};

// Zero-terminated text in a fixed array; a full array without a zero byte is
// read whole.
template <std::size_t Size>
struct CharArray {
    char bytes[Size];

    std::string Get() const {
        const void* z = std::memchr(bytes, 0, Size);
        std::size_t n = z ? static_cast<std::size_t>(static_cast<const char*>(z) - bytes) : Size;
        return std::string(bytes, n);
    }
    // Keeps room for the terminator and never splits a character.
    void Set(std::string_view text) {
        std::size_t n = GbkSafePrefix(text, Size - 1);
        std::memcpy(bytes, text.data(), n);
        std::memset(bytes + n, 0, Size - n);
    }
};

#pragma pack(push, 1)

struct TMyInfo {
    LeInt32 UserID;               // 0
    ShortString<100> NickName;    // 4
    LeInt16 Face;                 // 104
    LeInt32 GiftPoints;           // 106
    LeInt32 Gold;                 // 110
    LeInt16 Role;                 // 114 (some rules look at the low byte only)
    LeInt16 Level;                // 116
    unsigned char Reserved1[24];  // 118, not read by the client
    LeInt16 MyMic;                // 142
    unsigned char Reserved2[3];   // 144, not read by the client
    unsigned char ChatBanned;     // 147
    unsigned char Reserved3[8];   // 148, not read by the client
};

struct TRoomInfo {
    unsigned char Reserved0[4];   // 0, not read by the client
    ShortString<51> RoomName;     // 4
    LeInt32 OwnerID;              // 55
    LeInt32 DeputyID1;            // 59
    LeInt32 DeputyID2;            // 63
    LeInt32 DeputyID3;            // 67
    LeInt32 DeputyID4;            // 71
    unsigned char HasPassword;    // 75
    ShortString<34> Password;     // 76
    unsigned char Reserved110[6]; // 110, not read by the client
    LeInt32 GiftSpeed;            // 116: 200, 100, 66, 40 or 20
    unsigned char Reserved120;    // 120, not read by the client
    unsigned char AllowDice;      // 121
    unsigned char FreePublicMic;  // 122
    unsigned char FreePrivateMic; // 123
    unsigned char RoomClosed;     // 124
    unsigned char AllowColorWord; // 125
    unsigned char AllowPublicChat;  // 126
    unsigned char AllowPrivateChat; // 127
    unsigned char AllowRoomNotice;  // 128
    unsigned char ShowEnterLeave;   // 129
    unsigned char Reserved130[6];   // 130, not read by the client
};

struct TRoomTexts {
    CharArray<501> Greeting;  // may hold "{style}" followed by style text
    CharArray<501> Notice1;
    CharArray<501> Notice2;
    CharArray<501> Notice3;
};

#pragma pack(pop)

static_assert(sizeof(TMyInfo) == 156);
static_assert(offsetof(TMyInfo, NickName) == 4);
static_assert(offsetof(TMyInfo, Face) == 104);
static_assert(offsetof(TMyInfo, GiftPoints) == 106);
static_assert(offsetof(TMyInfo, Gold) == 110);
static_assert(offsetof(TMyInfo, Role) == 114);
static_assert(offsetof(TMyInfo, Level) == 116);
static_assert(offsetof(TMyInfo, MyMic) == 142);
static_assert(offsetof(TMyInfo, ChatBanned) == 147);

static_assert(sizeof(TRoomInfo) == 136);
static_assert(offsetof(TRoomInfo, RoomName) == 4);
static_assert(offsetof(TRoomInfo, OwnerID) == 55);
static_assert(offsetof(TRoomInfo, DeputyID1) == 59);
static_assert(offsetof(TRoomInfo, DeputyID4) == 71);
static_assert(offsetof(TRoomInfo, HasPassword) == 75);
static_assert(offsetof(TRoomInfo, Password) == 76);
static_assert(offsetof(TRoomInfo, GiftSpeed) == 116);
static_assert(offsetof(TRoomInfo, AllowDice) == 121);
static_assert(offsetof(TRoomInfo, RoomClosed) == 124);
static_assert(offsetof(TRoomInfo, AllowPublicChat) == 126);
static_assert(offsetof(TRoomInfo, ShowEnterLeave) == 129);

static_assert(sizeof(TRoomTexts) == 2004);
static_assert(offsetof(TRoomTexts, Notice1) == 501);
static_assert(offsetof(TRoomTexts, Notice2) == 1002);
static_assert(offsetof(TRoomTexts, Notice3) == 1503);

// Records are plain bytes: copies keep everything, including reserved bytes.
static_assert(std::is_trivially_copyable_v<TMyInfo>);
static_assert(std::is_trivially_copyable_v<TRoomInfo>);
static_assert(std::is_trivially_copyable_v<TRoomTexts>);
