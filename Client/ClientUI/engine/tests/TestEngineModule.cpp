// A stand-in engine module that reports to the test what is done with its
// engine and when it is unloaded.
#include "engine/ClientEngineInf.h"

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using Recorder = void (*)(const char* event);
Recorder recorder = nullptr;
// 0: a working engine; 1: the factory returns null.
int mode = 0;

void Record(const char* event) {
    if (recorder != nullptr) {
        recorder(event);
    }
}

class FakeEngine final : public IClientEngine {
  public:
    long QueryInterface(const TGuid& iid, void** object) override {
        if (iid == IID_IClientEngine) {
            *object = static_cast<IClientEngine*>(this);
            AddRef();
            return kS_OK;
        }
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return ++references_; }
    unsigned long Release() override {
        Record("Release");
        const unsigned long left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    void SetViewSink(IClientViewSink*) override {}
    void AddServer(std::uint32_t) override {}
    void ClearServers() override {}
    void EnterRoom(std::int32_t, std::int32_t, const char*, const char*, std::uint16_t,
                   std::int32_t, std::int32_t) override {}
    void LeaveRoom() override {}
    void RequestMic(std::int32_t) override {}
    void InviteToMic(std::int32_t, std::int32_t) override {}
    void ReleaseMic() override {}
    void CancelMic(std::int32_t) override {}
    void Reserved12() override {}
    void SendChat(std::int32_t, const char*, std::int32_t, std::int32_t, const char*) override {}
    void SendGift(std::int32_t, std::int32_t, std::int32_t, const char*, std::int32_t) override {}
    void SendCheque(std::int32_t, std::int32_t, std::int32_t, const char*) override {}
    TMyInfo* GetMyInfo() override { return &myInfo_; }
    void ModifyMyInfo(const char*, const char*, const char*, std::int32_t) override {}
    void ExchangePoints(std::int32_t) override {}
    void ThrowDice(std::int32_t) override {}
    void AddFavoriteRoom() override {}
    void QueryUserDetails(std::int32_t) override {}
    void SendSeal(std::int32_t, std::int32_t, const char*) override {}
    void ClearSeal(std::int32_t, const char*) override {}
    void QueryUserIP(std::int32_t) override {}
    void AddTempManager(std::int32_t) override {}
    void RemoveTempManager(std::int32_t) override {}
    void AddRoomManager(std::int32_t) override {}
    void PunishUser(std::int32_t, std::int32_t) override {}
    void SendRoomNotice(const char*) override {}
    void SendSystemNotice(const char*) override {}
    void SendHorn(const char*, std::int32_t) override {}
    TRoomInfo* GetRoomInfo() override { return &roomInfo_; }
    TRoomTexts* GetRoomTexts() override { return &roomTexts_; }
    void ModifyRoomInfo(const TRoomInfo*, std::int32_t, const TRoomTexts*, std::int32_t) override {}
    void ConnectPrivateMic(std::int32_t) override {}
    void DisconnectPrivateMic(std::int32_t) override {}
    void CutPrivateMicViewer(std::int32_t) override {}
    void AnswerMicRequest(std::int32_t, std::int32_t) override {}
    void SetBanChat(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void CloseEngine() override { Record("CloseEngine"); }
    void SendShake(std::int32_t) override {}

  private:
    ~FakeEngine() = default;

    unsigned long references_ = 1;
    TMyInfo myInfo_{};
    TRoomInfo roomInfo_{};
    TRoomTexts roomTexts_{};
};

// Runs when the module is really unmapped, not merely closed once.
__attribute__((destructor)) void ModuleUnloaded() {
    Record("unload");
}

}  // namespace

TEST_EXPORT void TestEngineSetRecorder(Recorder r, int m) {
    recorder = r;
    mode = m;
}

TEST_EXPORT IClientEngine* CreateClientEngine() {
    Record("CreateClientEngine");
    if (mode == 1) {
        return nullptr;
    }
    return new FakeEngine();
}
