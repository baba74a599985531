// A recording engine for the room's tests: every call becomes one line
// "Name(arg,arg,...)" in Calls; GetMyInfo and GetRoomInfo answer records the
// test fills in.
#pragma once

#include <QApplication>
#include <cstring>
#include <string>
#include <vector>

#include "engine/ClientEngineInf.h"
#include "foundation/ChatApplication.h"
#include "room/RoomForm.h"

class TRecordingEngine : public IClientEngine {
  public:
    TRecordingEngine() {
        std::memset(&MyInfo, 0, sizeof MyInfo);
        std::memset(&RoomInfo, 0, sizeof RoomInfo);
        std::memset(&RoomTexts, 0, sizeof RoomTexts);
    }
    virtual ~TRecordingEngine() = default;

    std::vector<std::string> Calls;
    IClientViewSink* Sink = nullptr;
    TMyInfo MyInfo;
    TRoomInfo RoomInfo;
    TRoomTexts RoomTexts;

    void SetMe(std::int32_t id, const std::string& nick, std::int16_t role, std::int16_t level,
               std::int16_t mic = 0) {
        MyInfo.UserID.Set(id);
        MyInfo.NickName.Set(nick);
        MyInfo.Role.Set(role);
        MyInfo.Level.Set(level);
        MyInfo.MyMic.Set(mic);
    }
    // Calls that start with `name` + "(".
    std::vector<std::string> CallsOf(const std::string& name) const {
        std::vector<std::string> out;
        for (const std::string& c : Calls) {
            if (c.rfind(name + "(", 0) == 0)
                out.push_back(c);
        }
        return out;
    }

    long QueryInterface(const TGuid&, void** object) override {
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }

    void SetViewSink(IClientViewSink* sink) override {
        Sink = sink;
        Log("SetViewSink");
    }
    void AddServer(std::uint32_t address) override { Log("AddServer", address); }
    void ClearServers() override { Log("ClearServers"); }
    void EnterRoom(std::int32_t roomId, std::int32_t userId, const char* roomPassword,
                   const char* passwordDigest, std::uint16_t hallValue, std::int32_t hidden,
                   std::int32_t enterCount) override {
        Calls.push_back("EnterRoom(" + std::to_string(roomId) + "," + std::to_string(userId) + "," +
                        roomPassword + "," + passwordDigest + "," + std::to_string(hallValue) +
                        "," + std::to_string(hidden) + "," + std::to_string(enterCount) + ")");
    }
    void LeaveRoom() override { Log("LeaveRoom"); }
    void RequestMic(std::int32_t micType) override { Log("RequestMic", micType); }
    void InviteToMic(std::int32_t kind, std::int32_t userId) override {
        Log("InviteToMic", kind, userId);
    }
    void ReleaseMic() override { Log("ReleaseMic"); }
    void CancelMic(std::int32_t userId) override { Log("CancelMic", userId); }
    void Reserved12() override { Log("Reserved12"); }
    void SendChat(std::int32_t toUserId, const char*, std::int32_t isPrivate,
                  std::int32_t autoReply, const char* html) override {
        Calls.push_back("SendChat(" + std::to_string(toUserId) + "," + std::to_string(isPrivate) +
                        "," + std::to_string(autoReply) + "," + html + ")");
    }
    void SendGift(std::int32_t toUserId, std::int32_t giftId, std::int32_t count,
                  const char* message, std::int32_t world) override {
        Calls.push_back("SendGift(" + std::to_string(toUserId) + "," + std::to_string(giftId) +
                        "," + std::to_string(count) + "," + message + "," + std::to_string(world) +
                        ")");
    }
    void SendCheque(std::int32_t toUserId, std::int32_t giftId, std::int32_t amount,
                    const char*) override {
        Log("SendCheque", toUserId, giftId, amount);
    }
    TMyInfo* GetMyInfo() override { return &MyInfo; }
    void ModifyMyInfo(const char*, const char*, const char*, std::int32_t face) override {
        Log("ModifyMyInfo", face);
    }
    void ExchangePoints(std::int32_t points) override { Log("ExchangePoints", points); }
    void ThrowDice(std::int32_t value) override { Log("ThrowDice", value); }
    void AddFavoriteRoom() override { Log("AddFavoriteRoom"); }
    void QueryUserDetails(std::int32_t userId) override { Log("QueryUserDetails", userId); }
    void SendSeal(std::int32_t userId, std::int32_t sealKey, const char*) override {
        Log("SendSeal", userId, sealKey);
    }
    void ClearSeal(std::int32_t userId, const char* nickName) override {
        Calls.push_back("ClearSeal(" + std::to_string(userId) + "," + nickName + ")");
    }
    void QueryUserIP(std::int32_t userId) override { Log("QueryUserIP", userId); }
    void AddTempManager(std::int32_t userId) override { Log("AddTempManager", userId); }
    void RemoveTempManager(std::int32_t userId) override { Log("RemoveTempManager", userId); }
    void AddRoomManager(std::int32_t userId) override { Log("AddRoomManager", userId); }
    void PunishUser(std::int32_t mode, std::int32_t userId) override {
        Log("PunishUser", mode, userId);
    }
    void SendRoomNotice(const char*) override { Log("SendRoomNotice"); }
    void SendSystemNotice(const char*) override { Log("SendSystemNotice"); }
    void SendHorn(const char*, std::int32_t world) override { Log("SendHorn", world); }
    TRoomInfo* GetRoomInfo() override { return &RoomInfo; }
    TRoomTexts* GetRoomTexts() override { return &RoomTexts; }
    void ModifyRoomInfo(const TRoomInfo*, std::int32_t, const TRoomTexts*, std::int32_t) override {
        Log("ModifyRoomInfo");
    }
    void ConnectPrivateMic(std::int32_t userId) override { Log("ConnectPrivateMic", userId); }
    void DisconnectPrivateMic(std::int32_t userId) override { Log("DisconnectPrivateMic", userId); }
    void CutPrivateMicViewer(std::int32_t userId) override { Log("CutPrivateMicViewer", userId); }
    void AnswerMicRequest(std::int32_t userId, std::int32_t accept) override {
        Log("AnswerMicRequest", userId, accept);
    }
    void SetBanChat(std::int32_t userId, std::int32_t kind, std::int32_t milliseconds,
                    std::int32_t on) override {
        Log("SetBanChat", userId, kind, milliseconds, on);
    }
    void CloseEngine() override { Log("CloseEngine"); }
    void SendShake(std::int32_t userId) override { Log("SendShake", userId); }

  private:
    template <typename... Args>
    void Log(const char* name, Args... args) {
        std::string line = std::string(name) + "(";
        bool first = true;
        ((line += (first ? "" : ",") + std::to_string(args), first = false), ...);
        Calls.push_back(line + ")");
    }
};

// Hands the room a recording engine; every (re)load counts and keeps the
// same engine object, so a test sees the calls across reloads.
class TFakeEngineSource : public IRoomEngineSource {
  public:
    explicit TFakeEngineSource(TRecordingEngine& engine, bool loads = true)
        : engine_(engine), loads_(loads) {}
    bool CreateInstance() override {
        ++Creates;
        held_ = loads_;
        return loads_;
    }
    void CloseInstance() override {
        if (held_) {
            ++Closes;
            engine_.Calls.push_back("CloseInstance()");
        }
        held_ = false;
    }
    IClientEngine* Engine() override { return held_ ? &engine_ : nullptr; }

    int Creates = 0;
    int Closes = 0;

  private:
    TRecordingEngine& engine_;
    bool loads_;
    bool held_ = false;
};

// The application object the room's widget tests need (shared with any
// other test of the binary that made one first).
inline QApplication& RoomTestApp() {
    static int argc = 1;
    static char name[] = "RoomTests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        return static_cast<QApplication*>(new TChatApplication(argc, argv));
    }();
    return *app;
}
