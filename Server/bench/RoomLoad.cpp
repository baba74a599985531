// Load tool for the room service: N engines of the real module in one room on
// loopback, chatting at a fixed total rate. Measures, from SendChat to
// OnMessage at every receiver, the p50/p99/max latency and the delivered
// lines per second, and the service's resident memory per connected user.
//
//   RoomLoad [--clients N] [--rate LINES_PER_S] [--seconds S] [--parallel-from M]
//
// --parallel-from sets the room size from which lines are written by two
// threads (0: one thread only).
//
// The service runs in a child process (its memory is measured alone); this
// process is the clients' UI thread and the module's worker thread.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "Database.h"
#include "PasswordHash.h"
#include "ServerConfig.h"
#include "common/Cipher.h"
#include "common/NetUtils.h"
#include "engine/ClientEngineInf.h"
#include "room/RoomService.h"

extern "C" IClientEngine* CreateClientEngine();
extern "C" void SetRoomServicePort(std::uint16_t port);

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int32_t kFirstUser = 500000;
constexpr std::int32_t kRoom = 1001;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// CPU seconds (user + system) a process has used so far.
double CpuSeconds(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(f)), {});
    auto close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i)
        if (i == 14 || i == 15)
            ticks += std::stod(field);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long RssKiB(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

double Percentile(std::vector<std::int64_t>& v, double p) {
    if (v.empty())
        return 0;
    std::size_t k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), v.begin() + static_cast<long>(k), v.end());
    return static_cast<double>(v[k]) / 1e6;
}

// ---- The service (child process) ------------------------------------------

[[noreturn]] void RunService(int clients, int parallelFrom, int portPipe) {
    auto dir = std::filesystem::temp_directory_path() / ("roomload-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    ServerConfig config;
    config.dataDir = dir.string();
    config.passwordIterations = 1;
    std::string error;
    auto db = Database::Open((dir / "chatroom.db").string(), config, &error);
    if (!db) {
        std::fprintf(stderr, "database: %s\n", error.c_str());
        std::_Exit(1);
    }
    const std::string hash = HashPassword(Md5Hex("load"), 1);
    db->Transaction([&](sqlite3* h) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h,
                           "INSERT INTO accounts(number, nickname, password_hash, role, level) "
                           "VALUES(?, ?, ?, 1, 1010)",
                           -1, &s, nullptr);
        for (int i = 0; i < clients; ++i) {
            std::string nick = "load" + std::to_string(i);
            sqlite3_bind_int(s, 1, kFirstUser + i);
            sqlite3_bind_text(s, 2, nick.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(s, 3, hash.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        return true;
    });
    asio::io_context io;
    roomsvc::Options o;
    o.port = 0;
    o.passwordIterations = 1;
    o.visitorQuietMs = 0;
    o.maxConnections = static_cast<std::size_t>(clients) + 16;
    std::vector<std::int64_t> fanOut;
    fanOut.reserve(1 << 20);
    o.fanOutNs = &fanOut;
    if (parallelFrom >= 0)
        o.parallelFanOutFrom = static_cast<std::size_t>(parallelFrom);
    roomsvc::RoomService service(io, *db, o);
    if (!service.Start(&error)) {
        std::fprintf(stderr, "service: %s\n", error.c_str());
        std::_Exit(1);
    }
    std::uint16_t port = service.Port();
    if (write(portPipe, &port, sizeof port) != sizeof port)
        std::_Exit(1);
    close(portPipe);
    asio::signal_set stop(io, SIGTERM);
    stop.async_wait([&](const asio::error_code&, int) {
        service.Stop();
        io.stop();
    });
    io.run();
    if (!fanOut.empty()) {
        double last = static_cast<double>(*std::max_element(fanOut.begin(), fanOut.end())) / 1e6;
        std::printf(
            "service fan-out    p50 %.3f ms, p99 %.3f ms, max %.3f ms (read to last send)\n",
            Percentile(fanOut, 0.50), Percentile(fanOut, 0.99), last);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(dir);
    std::_Exit(0);
}

// ---- The clients (this process) --------------------------------------------

class PumpApp : public IApplication {
  public:
    void Post(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        if (tasks_.size() == 1)
            cv_.notify_one();
    }
    // Runs tasks until `deadline`; `tick` is called whenever it is due.
    void RunUntil(Clock::time_point deadline, Clock::time_point* nextTick = nullptr,
                  const std::function<void()>& tick = {}) {
        std::deque<std::function<void()>> batch;
        while (Clock::now() < deadline) {
            if (nextTick && Clock::now() >= *nextTick)
                tick();
            auto until = nextTick ? std::min(deadline, *nextTick) : deadline;
            {
                std::unique_lock lock(mutex_);
                cv_.wait_until(lock, until, [&] { return !tasks_.empty(); });
                batch.swap(tasks_);
            }
            for (auto& t : batch)
                t();
            batch.clear();
        }
    }
    std::size_t Pending() {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
};

struct Stats {
    std::vector<std::int64_t> latencies;  // ns
    std::size_t entered = 0;
    std::size_t failed = 0;
    std::size_t disconnected = 0;
};

class LoadSink : public IClientViewSink {
  public:
    explicit LoadSink(Stats& stats) : stats_(stats) {}
    long QueryInterface(const TGuid&, void**) override { return kE_NOINTERFACE; }
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }
    void OnMessage(const char* html, std::uint8_t, std::uint16_t kind) override {
        if (kind != 1)
            return;
        const char* t = std::strstr(html, "T:");
        if (!t)
            return;
        std::int64_t sent = std::strtoll(t + 2, nullptr, 10);
        stats_.latencies.push_back(NowNs() - sent);
    }
    void OnRoomEntered(const char*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::uint16_t, std::int32_t) override {
        ++stats_.entered;
    }
    void OnEnterFailed(const char*) override { ++stats_.failed; }
    void OnDisconnected(const char*, std::int32_t) override { ++stats_.disconnected; }
    void OnBalance(std::int32_t, std::int32_t) override {}
    void OnRollingTip(const char*, std::uint16_t) override {}
    void OnRoomNote(const char*) override {}
    void OnHorn(const char*) override {}
    void OnUserEnter(std::int32_t, const char*, std::uint16_t, std::uint16_t, std::uint16_t,
                     std::uint16_t, std::int16_t, std::uint8_t, std::uint8_t, std::uint8_t,
                     std::int32_t) override {}
    void OnUserLeave(std::int32_t) override {}
    void OnUserMic(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int16_t) override {}
    void OnUserRole(std::int32_t, std::uint16_t) override {}
    void OnUserChanged(std::int32_t, const char*, std::uint16_t) override {}
    void OnUserDetails(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void OnRoomName(std::int32_t, const char*) override {}
    void OnVideoOpen(std::uint8_t, std::int32_t, const char*, std::uint16_t, std::uint16_t,
                     std::int16_t, std::uint16_t, std::int32_t, std::int32_t,
                     std::uint16_t) override {}
    void OnVideoClose(std::int32_t, std::uint16_t) override {}
    void OnPrivateMicCut(std::int32_t, const char*) override {}
    void OnChatToMe(std::int32_t, const char*, std::int32_t) override {}
    void OnColorWord(const char*, const char*, const char*, std::int32_t, std::int32_t,
                     std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t, std::int32_t,
                     std::int32_t) override {}
    void OnUserBanChat(std::int32_t, std::int32_t, std::uint8_t) override {}
    void OnGiftRecord(std::int32_t, std::int32_t, const char*, const char*, std::int32_t,
                      std::int32_t, std::int32_t, const char*, std::int32_t,
                      std::int32_t) override {}
    void OnPrivateMicViewer(std::int32_t, const char*, std::uint16_t, std::uint16_t,
                            std::uint16_t) override {}
    void OnUserSeal(std::int32_t, std::int32_t) override {}
    void OnShake() override {}
    std::uint8_t IsTopGift(std::int32_t) override { return 0; }
    const char* GetGiftUnit(std::int32_t) override { return ""; }
    void OnRankReset() override {}
    std::uint8_t IsMasked(std::int32_t) override { return 0; }

  private:
    Stats& stats_;
};

}  // namespace

int main(int argc, char** argv) {
    int clients = 200, rate = 50, seconds = 10, parallelFrom = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string flag = argv[i];
        int value = std::atoi(argv[i + 1]);
        if (flag == "--clients")
            clients = value;
        if (flag == "--rate")
            rate = value;
        if (flag == "--seconds")
            seconds = value;
        if (flag == "--parallel-from")
            parallelFrom = value;
    }
    if (clients < 1 || rate < 1 || seconds < 1) {
        std::fprintf(
            stderr, "usage: RoomLoad [--clients N] [--rate L] [--seconds S] [--parallel-from M]\n");
        return 2;
    }

    int fds[2];
    if (pipe(fds) != 0)
        return 1;
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        RunService(clients, parallelFrom, fds[1]);
    }
    close(fds[1]);
    std::uint16_t port = 0;
    if (read(fds[0], &port, sizeof port) != sizeof port) {
        std::fprintf(stderr, "the service did not start\n");
        return 1;
    }
    close(fds[0]);
    long rssBefore = RssKiB(child);

    PumpApp app;
    SetApplication(&app);
    SetRoomServicePort(port);
    Stats stats;
    stats.latencies.reserve(static_cast<std::size_t>(clients) * rate * (seconds + 2));
    std::vector<std::unique_ptr<LoadSink>> sinks;
    std::vector<IClientEngine*> engines;
    const std::string digest = Md5Hex("load");
    const std::uint32_t loopback = ResolveHost("127.0.0.1");

    auto start = Clock::now();
    for (int i = 0; i < clients; ++i) {
        sinks.push_back(std::make_unique<LoadSink>(stats));
        IClientEngine* e = CreateClientEngine();
        e->SetViewSink(sinks.back().get());
        e->AddServer(loopback);
        engines.push_back(e);
        e->EnterRoom(kRoom, kFirstUser + i, "", digest.c_str(), 10086, 0, 0);
        // Enter in waves so the arrival storm stays bounded.
        if ((i + 1) % 100 == 0 || i + 1 == clients) {
            auto limit = Clock::now() + std::chrono::seconds(60);
            while (stats.entered + stats.failed < static_cast<std::size_t>(i + 1) &&
                   Clock::now() < limit)
                app.RunUntil(Clock::now() + std::chrono::milliseconds(20));
        }
    }
    // Let the arrival announcements drain.
    for (int quiet = 0; quiet < 5;) {
        app.RunUntil(Clock::now() + std::chrono::milliseconds(200));
        quiet = app.Pending() == 0 ? quiet + 1 : 0;
    }
    double enterSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    long rssAfter = RssKiB(child);

    // Chat: `rate` lines per second in total, senders taken in turn.
    std::size_t sent = 0;
    auto interval = std::chrono::nanoseconds(1000000000LL / rate);
    auto next = Clock::now();
    auto end = next + std::chrono::seconds(seconds);
    stats.latencies.clear();
    double serviceCpu = CpuSeconds(child), clientCpu = CpuSeconds(getpid());
    app.RunUntil(end, &next, [&] {
        IClientEngine* e = engines[(sent * 7919) % engines.size()];
        std::string body = "<FONT STYLE=\"font:10pt\">T:" + std::to_string(NowNs()) + ";</FONT>";
        e->SendChat(0, "", 0, 0, body.c_str());
        ++sent;
        next += interval;
    });
    app.RunUntil(Clock::now() + std::chrono::seconds(2));
    serviceCpu = CpuSeconds(child) - serviceCpu;
    clientCpu = CpuSeconds(getpid()) - clientCpu;

    std::size_t delivered = stats.latencies.size();
    double p50 = Percentile(stats.latencies, 0.50);
    double p99 = Percentile(stats.latencies, 0.99);
    double pmax = stats.latencies.empty() ? 0
                                          : static_cast<double>(*std::max_element(
                                                stats.latencies.begin(), stats.latencies.end())) /
                                                1e6;
    std::printf("clients            %d (entered %zu, refused %zu, lost %zu, %.1f s to enter)\n",
                clients, stats.entered, stats.failed, stats.disconnected, enterSeconds);
    std::printf("lines sent         %zu at %d/s for %d s\n", sent, rate, seconds);
    std::printf("lines delivered    %zu of %zu expected (%.0f/s)\n", delivered,
                sent * static_cast<std::size_t>(clients), static_cast<double>(delivered) / seconds);
    std::printf("latency            p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", p50, p99, pmax);
    double perLine = delivered ? 1e6 / static_cast<double>(delivered) : 0;
    std::printf(
        "cpu while chatting service %.2f s (%.1f us per delivered line), clients %.2f s "
        "(%.1f us per line)\n",
        serviceCpu, serviceCpu * perLine, clientCpu, clientCpu * perLine);
    std::printf("service memory     %ld KiB before, %ld KiB with users: %.1f KiB per user\n",
                rssBefore, rssAfter,
                static_cast<double>(rssAfter - rssBefore) / static_cast<double>(clients));

    for (IClientEngine* e : engines) {
        e->CloseEngine();
        e->Release();
    }
    app.RunUntil(Clock::now() + std::chrono::milliseconds(300));
    SetApplication(nullptr);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return 0;
}
