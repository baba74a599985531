// The room service in-process on a free loopback port, engines of the real
// module talking to it, and a stand-in UI thread: the application object
// queues what the module posts and the test pumps it.
#pragma once

#include <gtest/gtest.h>

#include <asio.hpp>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Database.h"
#include "ServerConfig.h"
#include "common/Cipher.h"
#include "common/GbkText.h"
#include "common/NetUtils.h"
#include "engine/ClientEngineInf.h"
#include "room/RoomService.h"

extern "C" IClientEngine* CreateClientEngine();
extern "C" void SetRoomServicePort(std::uint16_t port);

using namespace std::chrono_literals;

inline std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

class TestApp : public IApplication {
  public:
    void Post(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        cv_.notify_one();
    }
    // Runs posted tasks until `done` holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                if (!cv_.wait_until(lock, deadline, [&] { return !tasks_.empty(); }))
                    return done();
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
        return true;
    }
    void PumpFor(std::chrono::milliseconds d) {
        PumpUntil([] { return false; }, d);
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
};

TestApp& App();

struct Event {
    std::string name;
    std::vector<std::int64_t> n;
    std::vector<std::string> s;  // GBK
    bool Has(const std::string& gbk) const {
        for (const auto& t : s)
            if (t.find(gbk) != std::string::npos)
                return true;
        return false;
    }
};

class RecordingSink : public IClientViewSink {
  public:
    std::vector<Event> events;

    long QueryInterface(const TGuid&, void**) override { return kE_NOINTERFACE; }
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }

    void OnMessage(const char* html, std::uint8_t isPublic, std::uint16_t kind) override {
        Add("OnMessage", {isPublic, kind}, {html});
    }
    void OnRoomEntered(const char* name, std::int32_t, std::int32_t roomId, std::int32_t gold,
                       std::int32_t points, std::uint16_t role, std::int32_t) override {
        Add("OnRoomEntered", {roomId, gold, points, role}, {name});
    }
    void OnBalance(std::int32_t gold, std::int32_t points) override {
        Add("OnBalance", {gold, points}, {});
    }
    void OnEnterFailed(const char* text) override { Add("OnEnterFailed", {}, {text}); }
    void OnRollingTip(const char* text, std::uint16_t kind) override {
        Add("OnRollingTip", {kind}, {text});
    }
    void OnRoomNote(const char* text) override { Add("OnRoomNote", {}, {text}); }
    void OnHorn(const char* html) override { Add("OnHorn", {}, {html}); }
    void OnUserEnter(std::int32_t user, const char* nick, std::uint16_t face, std::uint16_t role,
                     std::uint16_t level, std::uint16_t star, std::int16_t mic, std::uint8_t camera,
                     std::uint8_t hidden, std::uint8_t banned, std::int32_t seal) override {
        Add("OnUserEnter", {user, face, role, level, star, mic, camera, hidden, banned, seal},
            {nick});
    }
    void OnUserLeave(std::int32_t user) override { Add("OnUserLeave", {user}, {}); }
    void OnUserMic(std::int32_t user, std::int32_t, std::int32_t, std::int32_t,
                   std::int16_t mic) override {
        Add("OnUserMic", {user, mic}, {});
    }
    void OnUserRole(std::int32_t user, std::uint16_t role) override {
        Add("OnUserRole", {user, role}, {});
    }
    void OnUserChanged(std::int32_t user, const char* nick, std::uint16_t face) override {
        Add("OnUserChanged", {user, face}, {nick});
    }
    void OnUserDetails(std::int32_t user, std::int32_t points, std::int32_t gold,
                       std::int32_t ip) override {
        Add("OnUserDetails", {user, points, gold, ip}, {});
    }
    void OnRoomName(std::int32_t roomId, const char* name) override {
        Add("OnRoomName", {roomId}, {name});
    }
    void OnVideoOpen(std::uint8_t self, std::int32_t user, const char* nick, std::uint16_t role,
                     std::uint16_t level, std::int16_t mic, std::uint16_t frame, std::int32_t a1,
                     std::int32_t a2, std::uint16_t port) override {
        Add("OnVideoOpen", {self, user, role, level, mic, frame, a1, a2, port}, {nick});
    }
    void OnVideoClose(std::int32_t user, std::uint16_t frame) override {
        Add("OnVideoClose", {user, frame}, {});
    }
    void OnPrivateMicCut(std::int32_t user, const char* nick) override {
        Add("OnPrivateMicCut", {user}, {nick});
    }
    void OnDisconnected(const char* text, std::int32_t mode) override {
        Add("OnDisconnected", {mode}, {text});
    }
    void OnChatToMe(std::int32_t user, const char* nick, std::int32_t) override {
        Add("OnChatToMe", {user}, {nick});
    }
    void OnColorWord(const char* sn, const char* rn, const char* msg, std::int32_t s,
                     std::int32_t r, std::uint16_t sr, std::uint16_t sl, std::uint16_t rr,
                     std::uint16_t rl, std::int32_t ss, std::int32_t rs) override {
        Add("OnColorWord", {s, r, sr, sl, rr, rl, ss, rs}, {sn, rn, msg});
    }
    void OnUserBanChat(std::int32_t user, std::int32_t, std::uint8_t banned) override {
        Add("OnUserBanChat", {user, banned}, {});
    }
    void OnGiftRecord(std::int32_t, std::int32_t, const char*, const char*, std::int32_t,
                      std::int32_t, std::int32_t, const char*, std::int32_t,
                      std::int32_t) override {
        Add("OnGiftRecord", {}, {});
    }
    void OnPrivateMicViewer(std::int32_t user, const char* nick, std::uint16_t level,
                            std::uint16_t second, std::uint16_t op) override {
        Add("OnPrivateMicViewer", {user, level, second, op}, {nick});
    }
    void OnUserSeal(std::int32_t user, std::int32_t seal) override {
        Add("OnUserSeal", {user, seal}, {});
    }
    void OnShake() override { Add("OnShake", {}, {}); }
    std::uint8_t IsTopGift(std::int32_t) override { return 0; }
    const char* GetGiftUnit(std::int32_t) override { return ""; }
    void OnRankReset() override { Add("OnRankReset", {}, {}); }
    std::uint8_t IsMasked(std::int32_t kind) override { return masked.count(kind) ? 1 : 0; }
    std::set<std::int32_t> masked;

    // Hook for callbacks that must act at once (as a room window would).
    std::function<void(const Event&)> onEvent;

  private:
    void Add(const char* name, std::vector<std::int64_t> n, std::vector<const char*> s) {
        Event e{name, std::move(n), {}};
        for (const char* t : s)
            e.s.emplace_back(t ? t : "");
        events.push_back(e);
        if (onEvent)
            onEvent(events.back());
    }
};

struct Account {
    std::int32_t id;
    const char* password;
};
// The service's demo accounts.
inline constexpr Account kAdmin{10000, "admin123"};    // role 255, level 1090
inline constexpr Account kOwner{10001, "owner123"};    // owner of 1001 and 1002, level 1070
inline constexpr Account kVip{10002, "vip123"};        // role 1, level 1010, 50000 gold
inline constexpr Account kUser{10003, "user123"};      // role 1, level 100
inline constexpr Account kPatrol{10006, "patrol123"};  // role 70

class Client {
  public:
    explicit Client(std::uint16_t port) : engine(CreateClientEngine()) {
        SetRoomServicePort(port);
        engine->SetViewSink(&sink);
        engine->AddServer(ResolveHost("127.0.0.1"));
    }
    ~Client() { Close(); }
    void Close() {
        if (!engine)
            return;
        engine->CloseEngine();
        engine->Release();
        engine = nullptr;
    }
    // A fresh module instance, as the room window makes after a lost connection.
    void Reload() {
        Close();
        engine = CreateClientEngine();
        engine->SetViewSink(&sink);
        engine->AddServer(ResolveHost("127.0.0.1"));
    }
    void Enter(std::int32_t roomId, Account a, const char* roomPassword = "", int hidden = 0) {
        id = a.id;
        digest = Md5Hex(a.password);
        engine->EnterRoom(roomId, a.id, roomPassword, digest.c_str(), 10086, hidden, 0);
    }
    // Enters and waits for the answer; true when entered.
    bool EnterAndWait(std::int32_t roomId, Account a, const char* roomPassword = "",
                      int hidden = 0) {
        std::size_t from = sink.events.size();
        Enter(roomId, a, roomPassword, hidden);
        auto e = Wait(
            [](const Event& ev) {
                return ev.name == "OnRoomEntered" || ev.name == "OnEnterFailed";
            },
            from);
        return e && e->name == "OnRoomEntered";
    }

    // The first event from index `from` on that matches, pumping until it comes.
    std::optional<Event> Wait(const std::function<bool(const Event&)>& match, std::size_t from = 0,
                              std::chrono::milliseconds limit = 5s) {
        std::optional<Event> found;
        App().PumpUntil(
            [&] {
                for (std::size_t i = from; i < sink.events.size(); ++i)
                    if (match(sink.events[i])) {
                        found = sink.events[i];
                        return true;
                    }
                return false;
            },
            limit);
        return found;
    }
    std::optional<Event> Wait(const std::string& name, std::size_t from = 0,
                              std::chrono::milliseconds limit = 5s) {
        return Wait([&](const Event& e) { return e.name == name; }, from, limit);
    }
    std::optional<Event> WaitText(const std::string& name, const std::string& gbk,
                                  std::size_t from = 0, std::chrono::milliseconds limit = 5s) {
        return Wait([&](const Event& e) { return e.name == name && e.Has(gbk); }, from, limit);
    }
    std::size_t Count(const std::function<bool(const Event&)>& match) const {
        std::size_t n = 0;
        for (const auto& e : sink.events)
            n += match(e) ? 1 : 0;
        return n;
    }
    std::size_t Mark() const { return sink.events.size(); }

    IClientEngine* engine;
    RecordingSink sink;
    std::int32_t id = 0;
    std::string digest;
};

// The service on its own io thread over a fresh (or kept) data folder.
class RoomHarness {
  public:
    explicit RoomHarness(std::function<void(roomsvc::Options&)> adjust = {},
                         std::filesystem::path dir = {}, std::uint16_t port = 0) {
        dir_ = dir.empty() ? Fresh() : dir;
        std::filesystem::create_directories(dir_);
        config_.dataDir = dir_.string();
        config_.passwordIterations = 1000;
        std::string error;
        db_ = Database::Open((dir_ / "chatroom.db").string(), config_, &error);
        EXPECT_TRUE(db_) << error;
        roomsvc::Options o;
        o.port = port;
        o.passwordIterations = 1000;
        o.visitorQuietMs = 0;
        o.chatPaceMs = 0;
        o.mediaAddress = ResolveHost("127.0.0.1");
        if (adjust)
            adjust(o);
        service_ = std::make_unique<roomsvc::RoomService>(io_, *db_, o);
        ok_ = service_->Start(&error);
        EXPECT_TRUE(ok_) << error;
        thread_ = std::thread([this] { io_.run(); });
    }
    ~RoomHarness() {
        Shutdown();
        if (removeDir_)
            std::filesystem::remove_all(dir_);
    }
    void Shutdown() {
        if (!service_)
            return;
        std::promise<void> done;
        asio::post(io_, [&] {
            service_->Stop();
            done.set_value();
        });
        done.get_future().wait();
        work_.reset();
        io_.stop();
        if (thread_.joinable())
            thread_.join();
        service_.reset();
        db_.reset();
    }
    // Runs `f` on the service's thread and waits for it.
    template <typename F>
    void OnIo(F&& f) {
        std::promise<void> done;
        asio::post(io_, [&] {
            f();
            done.set_value();
        });
        done.get_future().wait();
    }
    std::uint16_t Port() const { return service_ ? service_->Port() : 0; }
    Database& Db() { return *db_; }
    roomsvc::RoomService& Service() { return *service_; }
    const std::filesystem::path& Dir() const { return dir_; }
    void KeepDir() { removeDir_ = false; }
    bool Ok() const { return ok_; }

  private:
    static std::filesystem::path Fresh() {
        static int n = 0;
        return std::filesystem::temp_directory_path() /
               ("chatroom-room-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
    }
    std::filesystem::path dir_;
    ServerConfig config_;
    asio::io_context io_;
    asio::executor_work_guard<asio::io_context::executor_type> work_{asio::make_work_guard(io_)};
    std::unique_ptr<Database> db_;
    std::unique_ptr<roomsvc::RoomService> service_;
    std::thread thread_;
    bool ok_ = false;
    bool removeDir_ = true;
};
