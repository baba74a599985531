// The callbacks through which the chat engine module reports room events to
// the room window (and asks it three questions). The module calls them on the
// UI thread; texts are zero-terminated GBK owned by the caller and valid only
// during the call. Arguments the room does not use are still passed (declared
// as `unused` int32_t) so every slot keeps its place.
#pragma once

#include <cstdint>

#include "common/ModuleApi.h"

// {83C12571-31B7-4D51-AD31-7C4F1B5A28AE}
inline constexpr TGuid IID_IClientViewSink = {
    0x83C12571, 0x31B7, 0x4D51, {0xAD, 0x31, 0x7C, 0x4F, 0x1B, 0x5A, 0x28, 0xAE}};

// Slots 3 to 31, in declaration order. Mic types are 16-bit and may be -1, so
// they are declared signed.
class IClientViewSink : public IUnknownBase {
  public:
    // 3
    virtual void OnMessage(const char* html, std::uint8_t isPublic, std::uint16_t kind) = 0;
    // 4
    virtual void OnRoomEntered(const char* roomName, std::int32_t unused1, std::int32_t roomId,
                               std::int32_t gold, std::int32_t points, std::uint16_t role,
                               std::int32_t unused2) = 0;
    // 5
    virtual void OnBalance(std::int32_t gold, std::int32_t points) = 0;
    // 6
    virtual void OnEnterFailed(const char* text) = 0;
    // 7: kind 0 temporary, 1 permanent.
    virtual void OnRollingTip(const char* text, std::uint16_t kind) = 0;
    // 8
    virtual void OnRoomNote(const char* text) = 0;
    // 9
    virtual void OnHorn(const char* html) = 0;
    // 10
    virtual void OnUserEnter(std::int32_t user, const char* nickName, std::uint16_t face,
                             std::uint16_t role, std::uint16_t level, std::uint16_t star,
                             std::int16_t micType, std::uint8_t camera, std::uint8_t hidden,
                             std::uint8_t chatBanned, std::int32_t sealKey) = 0;
    // 11
    virtual void OnUserLeave(std::int32_t user) = 0;
    // 12
    virtual void OnUserMic(std::int32_t user, std::int32_t unused1, std::int32_t unused2,
                           std::int32_t unused3, std::int16_t micType) = 0;
    // 13
    virtual void OnUserRole(std::int32_t user, std::uint16_t role) = 0;
    // 14
    virtual void OnUserChanged(std::int32_t user, const char* nickName, std::uint16_t face) = 0;
    // 15: the address as the module holds it (network byte order).
    virtual void OnUserDetails(std::int32_t user, std::int32_t points, std::int32_t gold,
                               std::int32_t ipAddress) = 0;
    // 16
    virtual void OnRoomName(std::int32_t roomId, const char* name) = 0;
    // 17
    virtual void OnVideoOpen(std::uint8_t self, std::int32_t user, const char* nickName,
                             std::uint16_t role, std::uint16_t level, std::int16_t micType,
                             std::uint16_t frameIndex, std::int32_t address1, std::int32_t address2,
                             std::uint16_t port) = 0;
    // 18: bit 15 of the index marks a private-mic window.
    virtual void OnVideoClose(std::int32_t user, std::uint16_t frameIndex) = 0;
    // 19
    virtual void OnPrivateMicCut(std::int32_t user, const char* nickName) = 0;
    // 20: mode 0 final, 1 reconnect.
    virtual void OnDisconnected(const char* text, std::int32_t mode) = 0;
    // 21
    virtual void OnChatToMe(std::int32_t user, const char* nickName, std::int32_t unused) = 0;
    // 22
    virtual void OnColorWord(const char* senderNick, const char* receiverNick, const char* message,
                             std::int32_t sender, std::int32_t receiver, std::uint16_t senderRole,
                             std::uint16_t senderLevel, std::uint16_t receiverRole,
                             std::uint16_t receiverLevel, std::int32_t senderSealKey,
                             std::int32_t receiverSealKey) = 0;
    // 23
    virtual void OnUserBanChat(std::int32_t user, std::int32_t unused, std::uint8_t banned) = 0;
    // 24
    virtual void OnGiftRecord(std::int32_t giver, std::int32_t receiver, const char* giverNick,
                              const char* receiverNick, std::int32_t gift, std::int32_t giftKind,
                              std::int32_t count, const char* giftName, std::int32_t cost,
                              std::int32_t gain) = 0;
    // 25: operation 0 removes the viewer, 1 adds him.
    virtual void OnPrivateMicViewer(std::int32_t user, const char* nickName, std::uint16_t level,
                                    std::uint16_t second, std::uint16_t operation) = 0;
    // 26
    virtual void OnUserSeal(std::int32_t user, std::int32_t sealKey) = 0;
    // 27
    virtual void OnShake() = 0;
    // 28: 1 when the gift is the highest-priced of its catalogue, else 0.
    virtual std::uint8_t IsTopGift(std::int32_t gift) = 0;
    // 29: a text owned by the gift catalogue, valid while it lives.
    virtual const char* GetGiftUnit(std::int32_t gift) = 0;
    // 30
    virtual void OnRankReset() = 0;
    // 31: 1 when the user masks that kind of message.
    virtual std::uint8_t IsMasked(std::int32_t maskKind) = 0;

  protected:
    ~IClientViewSink() = default;
};
