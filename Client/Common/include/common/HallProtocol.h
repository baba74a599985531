// Records of the hall connection: route request and version reply, login
// request and login reply. Packed, little-endian, string fields hold a length
// byte followed by the text (the field size includes the length byte). Every
// request starts with kHallRequestTag and its code; every reply carries its
// code at offset 4. On the wire each record is framed (common/Framing.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/EngineRecords.h"

inline constexpr std::int32_t kHallRequestTag = 4424;
inline constexpr std::int32_t kHallRouteRequest = 4425;
inline constexpr std::int32_t kHallVersionReply = 4426;
inline constexpr std::int32_t kHallLoginRequest = 4437;
inline constexpr std::int32_t kHallLoginReply = 4438;

inline constexpr std::size_t kHallRoomServerCount = 20;
// Larger than every hall record; the framing refuses anything above it.
inline constexpr std::size_t kHallMaxRecordSize = 1024;

using LeUInt32 = LeInt<std::uint32_t>;

#pragma pack(push, 1)

struct THallRouteRequest {
    LeInt32 Tag;                  // 0: kHallRequestTag
    LeInt32 Code;                 // 4: kHallRouteRequest
    unsigned char ServerAddr[4];  // 8: IPv4 of the server just connected, network order
    LeUInt16 ServerPort;          // 12
    LeInt32 UserNumber;           // 14: the account text as a number, 0 when it is not one
};

struct THallVersionReply {
    LeInt32 Tag;                  // 0: kHallRequestTag (not read by the client)
    LeInt32 Code;                 // 4: kHallVersionReply
    unsigned char Reserved8[10];  // 8
    LeInt32 SessionValue;         // 18: kept by the client, not used
    unsigned char Reserved22[4];  // 22
    LeInt32 RequiredVersion;      // 26: packed a<<24 | b<<16 | c<<8 | d
};

struct THallLoginRequest {
    LeInt32 Tag;                  // 0: kHallRequestTag
    LeInt32 Code;                 // 4: kHallLoginRequest
    LeInt32 Zero8;                // 8
    LeInt16 Zero12;               // 12
    unsigned char Reserved14[6];  // 14
    LeInt32 Zero20;               // 20
    LeInt16 ByName;               // 24: 1 = by account name, 0 = by user number
    LeInt32 UserNumber;           // 26: 0 when logging in by name
    ShortString<32> AccountName;  // 30: empty when logging in by number
    LeInt32 TickCount;            // 62: the sender's milliseconds since start
    ShortString<34> PasswordMd5;  // 66: 32 lower-case hex digits
    ShortString<34> Password;     // 100: plain password; the service never reads it
    ShortString<19> MacAddress;   // 134: "AA-BB-CC-DD-EE-FF" or empty
};

struct THallLoginReply {
    LeInt32 Tag;                   // 0: kHallRequestTag (not read by the client)
    LeInt32 Code;                  // 4: kHallLoginReply
    unsigned char Reserved8[12];   // 8
    LeInt32 UserNumber;            // 20
    ShortString<152> ErrorText;    // 24: empty = login accepted
    ShortString<32> NickName;      // 176
    LeInt16 Face;                  // 208: head picture index (signed)
    unsigned char Reserved210[2];  // 210
    LeInt32 GiftPoints;            // 212
    LeInt32 Gold;                  // 216
    LeInt16 Role;                  // 220: 0-255
    LeInt16 Level;                 // 222
    LeInt16 Star;                  // 224
    LeInt16 LineType;              // 226: line type of the user's network
    ShortString<21> RoomServers[kHallRoomServerCount];  // 228: "address,linetype"; empty = unused
};

#pragma pack(pop)

static_assert(sizeof(THallRouteRequest) == 18);
static_assert(offsetof(THallRouteRequest, Code) == 4);
static_assert(offsetof(THallRouteRequest, ServerAddr) == 8);
static_assert(offsetof(THallRouteRequest, ServerPort) == 12);
static_assert(offsetof(THallRouteRequest, UserNumber) == 14);

static_assert(sizeof(THallVersionReply) == 30);
static_assert(offsetof(THallVersionReply, Code) == 4);
static_assert(offsetof(THallVersionReply, SessionValue) == 18);
static_assert(offsetof(THallVersionReply, RequiredVersion) == 26);

static_assert(sizeof(THallLoginRequest) == 153);
static_assert(offsetof(THallLoginRequest, Zero8) == 8);
static_assert(offsetof(THallLoginRequest, Zero12) == 12);
static_assert(offsetof(THallLoginRequest, Zero20) == 20);
static_assert(offsetof(THallLoginRequest, ByName) == 24);
static_assert(offsetof(THallLoginRequest, UserNumber) == 26);
static_assert(offsetof(THallLoginRequest, AccountName) == 30);
static_assert(offsetof(THallLoginRequest, TickCount) == 62);
static_assert(offsetof(THallLoginRequest, PasswordMd5) == 66);
static_assert(offsetof(THallLoginRequest, Password) == 100);
static_assert(offsetof(THallLoginRequest, MacAddress) == 134);

static_assert(sizeof(THallLoginReply) == 648);
static_assert(offsetof(THallLoginReply, UserNumber) == 20);
static_assert(offsetof(THallLoginReply, ErrorText) == 24);
static_assert(offsetof(THallLoginReply, NickName) == 176);
static_assert(offsetof(THallLoginReply, Face) == 208);
static_assert(offsetof(THallLoginReply, GiftPoints) == 212);
static_assert(offsetof(THallLoginReply, Gold) == 216);
static_assert(offsetof(THallLoginReply, Role) == 220);
static_assert(offsetof(THallLoginReply, Level) == 222);
static_assert(offsetof(THallLoginReply, Star) == 224);
static_assert(offsetof(THallLoginReply, LineType) == 226);
static_assert(offsetof(THallLoginReply, RoomServers) == 228);

static_assert(std::is_trivially_copyable_v<THallRouteRequest>);
static_assert(std::is_trivially_copyable_v<THallVersionReply>);
static_assert(std::is_trivially_copyable_v<THallLoginRequest>);
static_assert(std::is_trivially_copyable_v<THallLoginReply>);

// Code at offset 4 of any hall record; nothing when the record is shorter
// than 8 bytes.
std::optional<std::int32_t> HallRecordCode(std::string_view record);

// Builders: every byte not named is zero, tag and code are set.
THallRouteRequest MakeRouteRequest(std::uint32_t serverAddrNetworkOrder, std::uint16_t port,
                                   std::int32_t userNumber);
THallVersionReply MakeVersionReply(std::int32_t requiredVersion, std::int32_t sessionValue);
// `account` is the account text, blanks around it ignored: digits alone (in
// the int32 range) log in by number, anything else by name (cut to the field
// on a character boundary).
THallLoginRequest MakeLoginRequest(std::string_view account, std::string_view passwordMd5,
                                   std::string_view password, std::string_view macAddress,
                                   std::int32_t tickCount);
THallLoginReply MakeLoginError(std::string_view errorText);

// The IPv4 of a route request as a network-order value, as ResolveHost gives it.
std::uint32_t RouteServerAddr(const THallRouteRequest& r);

// The record's bytes, exactly sizeof(T) of them.
template <typename T>
std::string RecordBytes(const T& record) {
    static_assert(std::is_trivially_copyable_v<T>);
    return std::string(reinterpret_cast<const char*>(&record), sizeof(T));
}

// Decoders: nothing unless the size is exactly the record's, the code is the
// record's (and, for requests, the tag is kHallRequestTag) and every string
// field's length byte fits its field. A login request must also say by name
// (1) or by number (0).
std::optional<THallRouteRequest> DecodeRouteRequest(std::string_view record);
std::optional<THallVersionReply> DecodeVersionReply(std::string_view record);
std::optional<THallLoginRequest> DecodeLoginRequest(std::string_view record);
std::optional<THallLoginReply> DecodeLoginReply(std::string_view record);

// Digits alone, in the int32 range: the account text as a user number.
// Anything else (a sign, blanks, letters, empty) is nothing, so "-1" is a
// name.
std::optional<std::int32_t> ParseAccountNumber(std::string_view text);
