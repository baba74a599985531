// The chat engine module ("ClientModule.dll", libClientModule.so here): one
// engine per room window, created through the export "CreateClientEngine".
// Texts are zero-terminated GBK; integers 32-bit; records are those of
// common/EngineRecords.h, owned by the engine and read in place.
#pragma once

#include <cstdint>

#include "common/EngineRecords.h"
#include "common/ModuleApi.h"
#include "engine/ClientViewSinkInf.h"

// {CAD39E0B-CF59-4349-A5EC-2BB004F049E1}
inline constexpr TGuid IID_IClientEngine = {
    0xCAD39E0B, 0xCF59, 0x4349, {0xA5, 0xEC, 0x2B, 0xB0, 0x04, 0xF0, 0x49, 0xE1}};

// Slots 3 to 41, in declaration order. Flags are 0 or 1.
class IClientEngine : public IUnknownBase {
  public:
    // 3: the room registers itself after every load of the module.
    virtual void SetViewSink(IClientViewSink* sink) = 0;
    // 4: an IPv4 address in network byte order.
    virtual void AddServer(std::uint32_t address) = 0;
    // 5
    virtual void ClearServers() = 0;
    // 6: answered by OnRoomEntered or OnEnterFailed.
    virtual void EnterRoom(std::int32_t roomId, std::int32_t userId, const char* roomPassword,
                           const char* passwordDigest, std::uint16_t hallValue, std::int32_t hidden,
                           std::int32_t enterCount) = 0;
    // 7
    virtual void LeaveRoom() = 0;
    // 8: mic type 1..4.
    virtual void RequestMic(std::int32_t micType) = 0;
    // 9: kind 1 or 3.
    virtual void InviteToMic(std::int32_t kind, std::int32_t userId) = 0;
    // 10
    virtual void ReleaseMic() = 0;
    // 11
    virtual void CancelMic(std::int32_t userId) = 0;
    // 12: never called; keeps the later slots in place.
    virtual void Reserved12() = 0;
    // 13: toUserId 0 = everybody.
    virtual void SendChat(std::int32_t toUserId, const char* toNick, std::int32_t isPrivate,
                          std::int32_t autoReply, const char* html) = 0;
    // 14
    virtual void SendGift(std::int32_t toUserId, std::int32_t giftId, std::int32_t count,
                          const char* message, std::int32_t world) = 0;
    // 15
    virtual void SendCheque(std::int32_t toUserId, std::int32_t giftId, std::int32_t amount,
                            const char* toNick) = 0;
    // 16: valid from OnRoomEntered on; ask afresh at every use.
    virtual TMyInfo* GetMyInfo() = 0;
    // 17: newDigest empty keeps the password.
    virtual void ModifyMyInfo(const char* currentDigest, const char* nickName,
                              const char* newDigest, std::int32_t face) = 0;
    // 18
    virtual void ExchangePoints(std::int32_t points) = 0;
    // 19
    virtual void ThrowDice(std::int32_t value) = 0;
    // 20
    virtual void AddFavoriteRoom() = 0;
    // 21: answered by OnUserDetails.
    virtual void QueryUserDetails(std::int32_t userId) = 0;
    // 22
    virtual void SendSeal(std::int32_t userId, std::int32_t sealKey, const char* nickName) = 0;
    // 23
    virtual void ClearSeal(std::int32_t userId, const char* nickName) = 0;
    // 24
    virtual void QueryUserIP(std::int32_t userId) = 0;
    // 25
    virtual void AddTempManager(std::int32_t userId) = 0;
    // 26
    virtual void RemoveTempManager(std::int32_t userId) = 0;
    // 27
    virtual void AddRoomManager(std::int32_t userId) = 0;
    // 28: 1 kick, 2 kick and blacklist, 3 kick and IP ban, 4 blacklist.
    virtual void PunishUser(std::int32_t mode, std::int32_t userId) = 0;
    // 29
    virtual void SendRoomNotice(const char* text) = 0;
    // 30
    virtual void SendSystemNotice(const char* text) = 0;
    // 31
    virtual void SendHorn(const char* html, std::int32_t world) = 0;
    // 32
    virtual TRoomInfo* GetRoomInfo() = 0;
    // 33
    virtual TRoomTexts* GetRoomTexts() = 0;
    // 34: the engine copies what it keeps.
    virtual void ModifyRoomInfo(const TRoomInfo* room, std::int32_t roomChanged,
                                const TRoomTexts* texts, std::int32_t textsChanged) = 0;
    // 35
    virtual void ConnectPrivateMic(std::int32_t userId) = 0;
    // 36
    virtual void DisconnectPrivateMic(std::int32_t userId) = 0;
    // 37
    virtual void CutPrivateMicViewer(std::int32_t userId) = 0;
    // 38: accept 1, refuse 0.
    virtual void AnswerMicRequest(std::int32_t userId, std::int32_t accept) = 0;
    // 39
    virtual void SetBanChat(std::int32_t userId, std::int32_t kind, std::int32_t milliseconds,
                            std::int32_t on) = 0;
    // 40: before the last release.
    virtual void CloseEngine() = 0;
    // 41
    virtual void SendShake(std::int32_t userId) = 0;

  protected:
    ~IClientEngine() = default;
};

extern "C" {
// The module's exports. SetApplication is bound when the program loads (the
// program links the module); null at shutdown.
void SetApplication(IApplication* application);
// Looked up at run time by name; the engine comes with one reference.
using CreateClientEngineFunc = IClientEngine* (*)();
}
