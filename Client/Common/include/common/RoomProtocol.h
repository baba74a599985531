// The room protocol between the chat engine module and the room service.
//
// Every record travels in a frame of common/Framing.h. A record is a 16-bit
// little-endian code followed by the record's fields in order; integers are
// little-endian, strings are a 16-bit byte count, the GBK bytes and a zero
// terminator, blobs are a fixed number of raw bytes. Every string field has a
// hard maximum; flags must be 0 or 1; a record must be consumed exactly. A
// record that breaks any rule is refused whole (docs/room-protocol.md).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/EngineRecords.h"

namespace room {

inline constexpr std::uint16_t kProtocolVersion = 1;
// The room servers handed to the client are addresses only: every room
// service listens on this port.
inline constexpr std::uint16_t kDefaultPort = 7410;

// Hard limits. A frame never holds more than kMaxRecord bytes.
inline constexpr std::size_t kMaxRecord = 8192;
inline constexpr std::size_t kMaxNick = 99;      // fits TMyInfo.NickName
inline constexpr std::size_t kMaxPassword = 33;  // fits TRoomInfo.Password
inline constexpr std::size_t kMaxDigest = 32;    // MD5 as lower-case hex, or empty
inline constexpr std::size_t kMaxBody = 2048;    // chat, notice and horn message bodies
inline constexpr std::size_t kMaxText = 2048;    // texts and finished fragments from the service
inline constexpr std::size_t kMaxNote = 4096;    // room note page

enum class Code : std::uint16_t {
    // Client to service.
    Enter = 101,
    Leave = 102,
    Ping = 103,
    RequestMic = 110,
    ReleaseMic = 111,
    InviteToMic = 112,
    CancelMic = 113,
    ConnectPrivateMic = 114,
    DisconnectPrivateMic = 115,
    CutPrivateMicViewer = 116,
    AnswerMicRequest = 117,
    Chat = 120,
    SendRoomNotice = 121,
    SendSystemNotice = 122,
    SendHorn = 123,
    SendShake = 124,
    ThrowDice = 125,
    ModifyMyInfo = 130,
    AddFavoriteRoom = 131,
    QueryUser = 132,
    SetManager = 140,
    Punish = 141,
    SetBanChat = 142,
    ModifyRoomInfo = 143,
    // 150..159 reserved for gifts, cheques, points exchange and seals.
    ReservedGift = 150,
    ReservedCheque = 151,
    ReservedExchange = 152,
    ReservedSeal = 153,
    ReservedClearSeal = 154,

    // Service to client.
    EnterOk = 201,
    EnterFailed = 202,
    Pong = 203,
    Closed = 204,
    UserEnter = 210,
    UserLeave = 211,
    UserMic = 212,
    UserRole = 213,
    UserChanged = 214,
    UserBanChat = 215,
    // 216 reserved: a user's seal changed.
    ChatLine = 220,
    Notice = 221,
    Horn = 222,
    RollingTip = 223,
    RoomNote = 224,
    Shake = 225,
    Dice = 226,
    RoomNoticeLine = 227,
    SystemNoticeLine = 228,
    Greeting = 229,
    VideoOpen = 230,
    VideoClose = 231,
    PrivateMicCut = 232,
    PrivateMicViewer = 233,
    MicConsentAsk = 234,
    UserDetails = 240,
    Balance = 242,
    RoomSettings = 243,
    RankReset = 244,
    MyInfo = 245,
    // 250..259 reserved for gift records, seals and exchange answers.
};

// ---------------------------------------------------------------------------
// Field codecs.

class RecordWriter {
  public:
    explicit RecordWriter(Code code) { U16(static_cast<std::uint16_t>(code)); }
    void U8(const std::uint8_t& v) { out_.push_back(static_cast<char>(v)); }
    void Flag(const std::uint8_t& v) { U8(v ? 1 : 0); }
    void U16(const std::uint16_t& v) { Le(v, 2); }
    void I16(const std::int16_t& v) { Le(static_cast<std::uint16_t>(v), 2); }
    void I32(const std::int32_t& v) { Le(static_cast<std::uint32_t>(v), 4); }
    void U32(const std::uint32_t& v) { Le(v, 4); }
    // Writers cut an overlong text to the field's limit (on a character
    // boundary) and stop at an embedded zero, so what they send always decodes.
    void Str(const std::string& s, std::size_t max);
    template <typename T>
    void Blob(const T& record) {
        static_assert(std::is_trivially_copyable_v<T>);
        out_.append(reinterpret_cast<const char*>(&record), sizeof(T));
    }
    std::string Take() { return std::move(out_); }

  private:
    void Le(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    std::string out_;
};

class RecordReader {
  public:
    explicit RecordReader(std::string_view record) : data_(record) {}
    void U8(std::uint8_t& v) { v = Byte(); }
    void Flag(std::uint8_t& v) {
        v = Byte();
        if (v > 1)
            ok_ = false;
    }
    void U16(std::uint16_t& v) { v = static_cast<std::uint16_t>(Le(2)); }
    void I16(std::int16_t& v) { v = static_cast<std::int16_t>(static_cast<std::uint16_t>(Le(2))); }
    void I32(std::int32_t& v) { v = static_cast<std::int32_t>(Le(4)); }
    void U32(std::uint32_t& v) { v = Le(4); }
    void Str(std::string& s, std::size_t max);
    template <typename T>
    void Blob(T& record) {
        static_assert(std::is_trivially_copyable_v<T>);
        if (!Need(sizeof(T)))
            return;
        std::memcpy(&record, data_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
    }
    // True when every field was well formed and nothing is left over.
    bool Done() const { return ok_ && pos_ == data_.size(); }
    bool Ok() const { return ok_; }

  private:
    bool Need(std::size_t n) {
        if (!ok_ || data_.size() - pos_ < n) {
            ok_ = false;
            return false;
        }
        return true;
    }
    std::uint8_t Byte() {
        if (!Need(1))
            return 0;
        return static_cast<std::uint8_t>(data_[pos_++]);
    }
    std::uint32_t Le(int n) {
        if (!Need(static_cast<std::size_t>(n)))
            return 0;
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= std::uint32_t(static_cast<unsigned char>(data_[pos_ + i])) << (8 * i);
        pos_ += static_cast<std::size_t>(n);
        return v;
    }
    std::string_view data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// The code of a record, or 0 when it is too short to hold one.
std::uint16_t PeekCode(std::string_view record);

// ---------------------------------------------------------------------------
// Records. Each has its code and one field list used for both directions.

#define ROOM_FIELDS                   \
    template <typename V, typename S> \
    static void Fields(V& v, S& s)
#define ROOM_EMPTY(Name, CodeValue)                    \
    struct Name {                                      \
        static constexpr Code kCode = Code::CodeValue; \
        template <typename V, typename S>              \
        static void Fields(V&, S&) {}                  \
    }

// --- Client to service -----------------------------------------------------

struct EnterReq {
    static constexpr Code kCode = Code::Enter;
    std::uint16_t version = kProtocolVersion;
    std::int32_t roomId = 0;
    std::int32_t userId = 0;
    std::string roomPassword;
    std::string passwordDigest;
    std::uint16_t hallValue = 0;
    std::uint8_t hidden = 0;
    std::int32_t enterCount = 0;
    ROOM_FIELDS {
        v.U16(s.version);
        v.I32(s.roomId);
        v.I32(s.userId);
        v.Str(s.roomPassword, kMaxPassword);
        v.Str(s.passwordDigest, kMaxDigest);
        v.U16(s.hallValue);
        v.Flag(s.hidden);
        v.I32(s.enterCount);
    }
};
ROOM_EMPTY(LeaveReq, Leave);
struct PingReq {
    static constexpr Code kCode = Code::Ping;
    std::uint32_t seq = 0;
    ROOM_FIELDS { v.U32(s.seq); }
};
struct RequestMicReq {
    static constexpr Code kCode = Code::RequestMic;
    std::int16_t micType = 0;
    ROOM_FIELDS { v.I16(s.micType); }
};
ROOM_EMPTY(ReleaseMicReq, ReleaseMic);
struct InviteToMicReq {
    static constexpr Code kCode = Code::InviteToMic;
    std::uint8_t kind = 0;  // 1 public mic, 3 VIP private mic
    std::int32_t userId = 0;
    ROOM_FIELDS {
        v.U8(s.kind);
        v.I32(s.userId);
    }
};
// One target user; the code says what to do with him.
template <Code C>
struct UserReq {
    static constexpr Code kCode = C;
    std::int32_t userId = 0;
    ROOM_FIELDS { v.I32(s.userId); }
};
using CancelMicReq = UserReq<Code::CancelMic>;
using ConnectPrivateMicReq = UserReq<Code::ConnectPrivateMic>;
using DisconnectPrivateMicReq = UserReq<Code::DisconnectPrivateMic>;
using CutPrivateMicViewerReq = UserReq<Code::CutPrivateMicViewer>;
using SendShakeReq = UserReq<Code::SendShake>;
struct AnswerMicRequestReq {
    static constexpr Code kCode = Code::AnswerMicRequest;
    std::int32_t userId = 0;
    std::uint8_t agree = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Flag(s.agree);
    }
};
struct ChatReq {
    static constexpr Code kCode = Code::Chat;
    std::int32_t toUser = 0;
    std::string toNick;
    std::uint8_t whisper = 0;
    std::uint8_t autoReply = 0;
    std::string body;
    ROOM_FIELDS {
        v.I32(s.toUser);
        v.Str(s.toNick, kMaxNick);
        v.Flag(s.whisper);
        v.Flag(s.autoReply);
        v.Str(s.body, kMaxBody);
    }
};
template <Code C>
struct TextReq {
    static constexpr Code kCode = C;
    std::string text;
    ROOM_FIELDS { v.Str(s.text, kMaxBody); }
};
using SendRoomNoticeReq = TextReq<Code::SendRoomNotice>;
using SendSystemNoticeReq = TextReq<Code::SendSystemNotice>;
struct SendHornReq {
    static constexpr Code kCode = Code::SendHorn;
    std::string body;
    std::uint8_t world = 0;
    ROOM_FIELDS {
        v.Str(s.body, kMaxBody);
        v.Flag(s.world);
    }
};
struct ThrowDiceReq {
    static constexpr Code kCode = Code::ThrowDice;
    std::int32_t count = 1;
    ROOM_FIELDS { v.I32(s.count); }
};
struct ModifyMyInfoReq {
    static constexpr Code kCode = Code::ModifyMyInfo;
    std::string currentDigest;
    std::string nick;
    std::string newDigest;  // empty: the password stays
    std::int16_t face = 0;
    ROOM_FIELDS {
        v.Str(s.currentDigest, kMaxDigest);
        v.Str(s.nick, kMaxNick);
        v.Str(s.newDigest, kMaxDigest);
        v.I16(s.face);
    }
};
ROOM_EMPTY(AddFavoriteRoomReq, AddFavoriteRoom);
enum class QueryKind : std::uint8_t { Details = 1, Ip = 2 };
struct QueryUserReq {
    static constexpr Code kCode = Code::QueryUser;
    std::uint8_t what = 0;  // QueryKind
    std::int32_t userId = 0;
    ROOM_FIELDS {
        v.U8(s.what);
        v.I32(s.userId);
    }
};
enum class ManagerOp : std::uint8_t { AddTemp = 1, RemoveTemp = 2, AddRoom = 3 };
struct SetManagerReq {
    static constexpr Code kCode = Code::SetManager;
    std::uint8_t op = 0;  // ManagerOp
    std::int32_t userId = 0;
    ROOM_FIELDS {
        v.U8(s.op);
        v.I32(s.userId);
    }
};
struct PunishReq {
    static constexpr Code kCode = Code::Punish;
    std::uint8_t mode = 0;  // 1 kick, 2 kick and blacklist, 3 kick and IP ban, 4 blacklist
    std::int32_t userId = 0;
    ROOM_FIELDS {
        v.U8(s.mode);
        v.I32(s.userId);
    }
};
struct SetBanChatReq {
    static constexpr Code kCode = Code::SetBanChat;
    std::int32_t userId = 0;
    std::uint8_t kind = 2;
    std::int32_t durationMs = 0;
    std::uint8_t on = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.U8(s.kind);
        v.I32(s.durationMs);
        v.Flag(s.on);
    }
};
struct ModifyRoomInfoReq {
    static constexpr Code kCode = Code::ModifyRoomInfo;
    TRoomInfo info{};
    std::uint8_t infoChanged = 0;
    TRoomTexts texts{};
    std::uint8_t textsChanged = 0;
    ROOM_FIELDS {
        v.Blob(s.info);
        v.Flag(s.infoChanged);
        v.Blob(s.texts);
        v.Flag(s.textsChanged);
    }
};

// --- Service to client -----------------------------------------------------

struct EnterOkMsg {
    static constexpr Code kCode = Code::EnterOk;
    std::int32_t roomId = 0;
    TMyInfo me{};
    TRoomInfo info{};
    TRoomTexts texts{};
    ROOM_FIELDS {
        v.I32(s.roomId);
        v.Blob(s.me);
        v.Blob(s.info);
        v.Blob(s.texts);
    }
};
template <Code C>
struct TextMsg {
    static constexpr Code kCode = C;
    std::string text;
    ROOM_FIELDS { v.Str(s.text, kMaxText); }
};
using EnterFailedMsg = TextMsg<Code::EnterFailed>;
using ClosedMsg = TextMsg<Code::Closed>;  // the session ends for good; the connection closes
using GreetingMsg = TextMsg<Code::Greeting>;
struct PongMsg {
    static constexpr Code kCode = Code::Pong;
    std::uint32_t seq = 0;
    ROOM_FIELDS { v.U32(s.seq); }
};
struct UserEnterMsg {
    static constexpr Code kCode = Code::UserEnter;
    std::int32_t userId = 0;
    std::string nick;
    std::int16_t face = 0;
    std::uint16_t role = 0;
    std::uint16_t level = 0;
    std::uint16_t star = 0;
    std::int16_t mic = 0;
    std::uint8_t camera = 0;
    std::uint8_t hidden = 0;
    std::uint8_t chatBanned = 0;
    std::int32_t seal = 0;
    std::uint8_t announce = 0;  // 1: show the enter line (a new arrival, not the list at entry)
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.I16(s.face);
        v.U16(s.role);
        v.U16(s.level);
        v.U16(s.star);
        v.I16(s.mic);
        v.Flag(s.camera);
        v.Flag(s.hidden);
        v.Flag(s.chatBanned);
        v.I32(s.seal);
        v.Flag(s.announce);
    }
};
struct UserLeaveMsg {
    static constexpr Code kCode = Code::UserLeave;
    std::int32_t userId = 0;
    std::string nick;
    std::uint8_t announce = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.Flag(s.announce);
    }
};
struct UserMicMsg {
    static constexpr Code kCode = Code::UserMic;
    std::int32_t userId = 0;
    std::string nick;
    std::int16_t mic = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.I16(s.mic);
    }
};
struct UserRoleMsg {
    static constexpr Code kCode = Code::UserRole;
    std::int32_t userId = 0;
    std::uint16_t role = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.U16(s.role);
    }
};
struct UserChangedMsg {
    static constexpr Code kCode = Code::UserChanged;
    std::int32_t userId = 0;
    std::string nick;
    std::int16_t face = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.I16(s.face);
    }
};
struct UserBanChatMsg {
    static constexpr Code kCode = Code::UserBanChat;
    std::int32_t userId = 0;
    std::uint8_t banned = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Flag(s.banned);
    }
};
// One party of a chat line as the receivers show it.
struct Party {
    std::int32_t userId = 0;
    std::string nick;
    std::uint16_t role = 0;
    std::uint16_t level = 0;
    std::int32_t seal = 0;
    template <typename V, typename S>
    static void Fields(V& v, S& s) {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.U16(s.role);
        v.U16(s.level);
        v.I32(s.seal);
    }
};
struct ChatLineMsg {
    static constexpr Code kCode = Code::ChatLine;
    Party from;
    Party to;  // userId 0: everybody
    std::uint8_t whisper = 0;
    std::uint8_t autoReply = 0;
    std::string body;
    ROOM_FIELDS {
        Party::Fields(v, s.from);
        Party::Fields(v, s.to);
        v.Flag(s.whisper);
        v.Flag(s.autoReply);
        v.Str(s.body, kMaxBody);
    }
};
// A system line; the text is the service's own (trusted) text.
struct NoticeMsg {
    static constexpr Code kCode = Code::Notice;
    std::string text;
    std::uint8_t isPublic = 0;
    ROOM_FIELDS {
        v.Str(s.text, kMaxText);
        v.Flag(s.isPublic);
    }
};
// Horn, temporary room notice and system notice: a sender and a message body.
template <Code C>
struct BroadcastMsg {
    static constexpr Code kCode = C;
    std::int32_t userId = 0;
    std::string nick;
    std::int32_t roomId = 0;
    std::uint8_t world = 0;
    std::string body;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.I32(s.roomId);
        v.Flag(s.world);
        v.Str(s.body, kMaxBody);
    }
};
using HornMsg = BroadcastMsg<Code::Horn>;
using RoomNoticeLineMsg = BroadcastMsg<Code::RoomNoticeLine>;
using SystemNoticeLineMsg = BroadcastMsg<Code::SystemNoticeLine>;
struct RollingTipMsg {
    static constexpr Code kCode = Code::RollingTip;
    std::string html;
    std::uint16_t kind = 0;
    ROOM_FIELDS {
        v.Str(s.html, kMaxText);
        v.U16(s.kind);
    }
};
struct RoomNoteMsg {
    static constexpr Code kCode = Code::RoomNote;
    std::string html;
    ROOM_FIELDS { v.Str(s.html, kMaxNote); }
};
// A user named by number and nickname; the code says what happened.
template <Code C>
struct UserNickMsg {
    static constexpr Code kCode = C;
    std::int32_t userId = 0;
    std::string nick;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
    }
};
using ShakeMsg = UserNickMsg<Code::Shake>;
using PrivateMicCutMsg = UserNickMsg<Code::PrivateMicCut>;
struct DiceMsg {
    static constexpr Code kCode = Code::Dice;
    std::int32_t userId = 0;
    std::string nick;
    std::uint8_t value = 0;  // 1..6
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.U8(s.value);
    }
};
// Bit 15 of the frame index marks a private mic.
inline constexpr std::uint16_t kPrivateFrame = 0x8000;
struct VideoOpenMsg {
    static constexpr Code kCode = Code::VideoOpen;
    std::int32_t userId = 0;
    std::string nick;
    std::uint16_t role = 0;
    std::uint16_t level = 0;
    std::int16_t mic = 0;
    std::uint16_t frame = 0;
    std::uint32_t address1 = 0;  // media relay, network byte order
    std::uint32_t address2 = 0;
    std::uint16_t port = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.U16(s.role);
        v.U16(s.level);
        v.I16(s.mic);
        v.U16(s.frame);
        v.U32(s.address1);
        v.U32(s.address2);
        v.U16(s.port);
    }
};
struct VideoCloseMsg {
    static constexpr Code kCode = Code::VideoClose;
    std::int32_t userId = 0;
    std::uint16_t frame = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.U16(s.frame);
    }
};
struct PrivateMicViewerMsg {
    static constexpr Code kCode = Code::PrivateMicViewer;
    std::int32_t userId = 0;
    std::string nick;
    std::uint16_t level = 0;
    std::uint16_t second = 0;
    std::uint16_t op = 0;  // 0 removed, 1 added
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.U16(s.level);
        v.U16(s.second);
        v.U16(s.op);
    }
};
// Asks the holder of a consent mic (type 4) to let a user watch.
struct MicConsentAskMsg {
    static constexpr Code kCode = Code::MicConsentAsk;
    std::int32_t userId = 0;
    std::string nick;
    std::uint16_t level = 0;
    ROOM_FIELDS {
        v.I32(s.userId);
        v.Str(s.nick, kMaxNick);
        v.U16(s.level);
    }
};
struct UserDetailsMsg {
    static constexpr Code kCode = Code::UserDetails;
    std::int32_t userId = 0;
    std::int32_t points = 0;
    std::int32_t gold = 0;
    std::uint32_t ip = 0;  // network byte order
    ROOM_FIELDS {
        v.I32(s.userId);
        v.I32(s.points);
        v.I32(s.gold);
        v.U32(s.ip);
    }
};
struct BalanceMsg {
    static constexpr Code kCode = Code::Balance;
    std::int32_t gold = 0;
    std::int32_t points = 0;
    ROOM_FIELDS {
        v.I32(s.gold);
        v.I32(s.points);
    }
};
// The room's settings as the receiver may see them (the password only for
// those who may change it).
struct RoomSettingsMsg {
    static constexpr Code kCode = Code::RoomSettings;
    TRoomInfo info{};
    TRoomTexts texts{};
    ROOM_FIELDS {
        v.Blob(s.info);
        v.Blob(s.texts);
    }
};
ROOM_EMPTY(RankResetMsg, RankReset);
// The receiver's own record, after the service changed it.
struct MyInfoMsg {
    static constexpr Code kCode = Code::MyInfo;
    TMyInfo me{};
    ROOM_FIELDS { v.Blob(s.me); }
};

#undef ROOM_FIELDS
#undef ROOM_EMPTY

// ---------------------------------------------------------------------------
// Encoding and decoding.

template <typename T>
std::string Encode(const T& record) {
    RecordWriter w(T::kCode);
    T::Fields(w, record);
    return w.Take();
}

// Whole record, code included. False (and `out` unspecified) on any fault.
template <typename T>
bool Decode(std::string_view record, T& out) {
    if (PeekCode(record) != static_cast<std::uint16_t>(T::kCode))
        return false;
    RecordReader r(record.substr(2));
    T::Fields(r, out);
    return r.Done();
}

template <typename... T>
struct RecordList {};

using ClientRecords =
    RecordList<EnterReq, LeaveReq, PingReq, RequestMicReq, ReleaseMicReq, InviteToMicReq,
               CancelMicReq, ConnectPrivateMicReq, DisconnectPrivateMicReq, CutPrivateMicViewerReq,
               AnswerMicRequestReq, ChatReq, SendRoomNoticeReq, SendSystemNoticeReq, SendHornReq,
               SendShakeReq, ThrowDiceReq, ModifyMyInfoReq, AddFavoriteRoomReq, QueryUserReq,
               SetManagerReq, PunishReq, SetBanChatReq, ModifyRoomInfoReq>;

using ServiceRecords =
    RecordList<EnterOkMsg, EnterFailedMsg, PongMsg, ClosedMsg, UserEnterMsg, UserLeaveMsg,
               UserMicMsg, UserRoleMsg, UserChangedMsg, UserBanChatMsg, ChatLineMsg, NoticeMsg,
               HornMsg, RollingTipMsg, RoomNoteMsg, ShakeMsg, DiceMsg, RoomNoticeLineMsg,
               SystemNoticeLineMsg, GreetingMsg, VideoOpenMsg, VideoCloseMsg, PrivateMicCutMsg,
               PrivateMicViewerMsg, MicConsentAskMsg, UserDetailsMsg, BalanceMsg, RoomSettingsMsg,
               RankResetMsg, MyInfoMsg>;

// Decodes `record` as whichever listed record its code names and hands it to
// `handler(const T&)`. False for an unknown code or a malformed record; the
// handler is then not called.
template <typename... T, typename H>
bool Dispatch(RecordList<T...>, std::string_view record, H&& handler) {
    const std::uint16_t code = PeekCode(record);
    bool known = false, ok = false;
    (
        [&] {
            if (known || code != static_cast<std::uint16_t>(T::kCode))
                return;
            known = true;
            T r{};
            if (Decode(record, r)) {
                ok = true;
                handler(static_cast<const T&>(r));
            }
        }(),
        ...);
    return ok;
}

// ---------------------------------------------------------------------------
// Message bodies.

// A message body as it may be shown: a run of `<FONT STYLE="...">text</FONT>`
// elements and plain text. Anything else that looks like markup is escaped,
// style values lose quotes and angle brackets, and texts keep no raw angle
// bracket, so a body from a modified client cannot carry script or tags.
std::string SanitizeBody(std::string_view body);

}  // namespace room
