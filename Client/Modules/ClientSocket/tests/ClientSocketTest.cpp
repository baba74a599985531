// The module as the hall loads it (dlopen from the program folder), against
// the reference service and against small misbehaving servers.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <asio.hpp>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "TestServer.h"
#include "common/Cipher.h"
#include "common/Framing.h"
#include "common/HallProtocol.h"
#include "session/ClientSocketInf.h"

using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

// Runs posted tasks on the test thread, as the UI thread would.
class FakeApplication : public IApplication {
  public:
    void Post(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        cv_.notify_one();
    }
    // Runs tasks until `done` holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms) {
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
    // Runs whatever arrives within `span`.
    void PumpFor(std::chrono::milliseconds span) {
        PumpUntil([] { return false; }, span);
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
};

struct Event {
    enum Kind { Connected, Received, Closed } kind;
    long code;
    std::string data;
    std::thread::id thread;
};

class RecordingSink : public IClientSocketSink {
  public:
    long QueryInterface(const TGuid& iid, void** object) override {
        if (iid == IID_IClientSocketSink) {
            *object = static_cast<IClientSocketSink*>(this);
            AddRef();
            return kS_OK;
        }
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return ++refs; }
    unsigned long Release() override { return --refs; }
    long OnConnected(long error, std::uint32_t, IUnknownBase*) override {
        events.push_back({Event::Connected, error, {}, std::this_thread::get_id()});
        if (onConnected)
            onConnected(error);
        return -1;
    }
    long OnReceive(const void* data, std::uint32_t size, IUnknownBase*) override {
        events.push_back({Event::Received, 0, std::string(static_cast<const char*>(data), size),
                          std::this_thread::get_id()});
        return -1;
    }
    long OnClosed(IUnknownBase*, std::uint32_t reason) override {
        events.push_back(
            {Event::Closed, static_cast<long>(reason), {}, std::this_thread::get_id()});
        return -1;
    }
    int Count(Event::Kind k) const {
        int n = 0;
        for (const auto& e : events)
            n += e.kind == k;
        return n;
    }
    std::vector<Event> events;
    std::function<void(long)> onConnected;
    long refs = 0;
};

class Module {
  public:
    Module() {
        // The program folder: from the environment, else beside the test
        // folder as the build lays it out.
        const char* env = std::getenv("CHATROOM_APP_DIR");
        std::filesystem::path dir =
            env && *env
                ? std::filesystem::path(env)
                : std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() /
                      "app";
        std::string path = (dir / "libClientSocket.so").string();
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_)
            return;
        setApp = reinterpret_cast<SetApplicationProc>(dlsym(handle_, "SetApplication"));
        create = reinterpret_cast<CreateClientSocketProc>(dlsym(handle_, "CreateClientSocket"));
    }
    ~Module() {
        if (handle_)
            dlclose(handle_);
    }
    bool Loaded() const { return handle_ && setApp && create; }
    SetApplicationProc setApp = nullptr;
    CreateClientSocketProc create = nullptr;

  private:
    void* handle_ = nullptr;
};

// One socket with sink and application set; closed and released at the end
// as the hall does it.
class SocketTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(module.Loaded()) << dlerror();
        module.setApp(&app);
        socket = module.create();
        ASSERT_NE(socket, nullptr);
        ASSERT_EQ(socket->SetSink(&sink), kS_OK);
    }
    void TearDown() override {
        if (socket) {
            socket->Close(0);
            socket->Release();
        }
        app.PumpFor(50ms);
        if (module.Loaded())
            module.setApp(nullptr);
        EXPECT_EQ(sink.refs, 0) << "the module keeps no reference to the sink after Close";
    }
    bool WaitFor(Event::Kind k, int count, std::chrono::milliseconds limit = 5000ms) {
        return app.PumpUntil([&] { return sink.Count(k) >= count; }, limit);
    }

    Module module;
    FakeApplication app;
    RecordingSink sink;
    IClientSocket* socket = nullptr;
};

// A server that accepts one connection and then does what it is told.
class ScriptedServer {
  public:
    explicit ScriptedServer(std::function<void(asio::ip::tcp::socket&)> script)
        : acceptor_(io_, {asio::ip::make_address("127.0.0.1"), 0}) {
        port = acceptor_.local_endpoint().port();
        thread_ = std::thread([this, script] {
            asio::error_code ec;
            asio::ip::tcp::socket s(io_);
            acceptor_.accept(s, ec);
            if (!ec)
                script(s);
        });
    }
    ~ScriptedServer() {
        asio::error_code ec;
        acceptor_.close(ec);
        thread_.join();
    }
    std::uint16_t port;

  private:
    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
    std::thread thread_;
};

std::string ReadFrame(asio::ip::tcp::socket& s) {
    FrameDecoder d(4096);
    char buf[512];
    asio::error_code ec;
    while (true) {
        if (auto r = d.Next())
            return *r;
        std::size_t n = s.read_some(asio::buffer(buf), ec);
        if (ec)
            return {};
        d.Feed(buf, n);
    }
}

}  // namespace

TEST_F(SocketTest, LogsInAgainstTheServiceOnTheUiThread) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    ASSERT_EQ(socket->Connect("127.0.0.1", server->HallPort()), kS_OK);
    EXPECT_EQ(socket->GetState(), long(ClientSocketState::Connecting));
    ASSERT_TRUE(WaitFor(Event::Connected, 1));
    EXPECT_EQ(sink.events[0].code, 0);
    EXPECT_EQ(socket->GetState(), long(ClientSocketState::Connected));

    auto route = RecordBytes(MakeRouteRequest(0x0100007F, server->HallPort(), 10003));
    ASSERT_EQ(socket->Send(route.data(), route.size()), kS_OK);
    auto login = RecordBytes(MakeLoginRequest("10003", Md5Hex("user123"), "", "", 1));
    ASSERT_EQ(socket->Send(login.data(), login.size()), kS_OK);
    ASSERT_TRUE(WaitFor(Event::Received, 2));
    app.PumpFor(100ms);  // nothing more may come

    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_TRUE(DecodeVersionReply(sink.events[1].data));
    auto reply = DecodeLoginReply(sink.events[2].data);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->UserNumber.Get(), 10003);
    for (const auto& e : sink.events)
        EXPECT_EQ(e.thread, std::this_thread::get_id());
}

TEST_F(SocketTest, RefusedConnectionIsReportedOnceAndSendFails) {
    std::uint16_t port;
    {
        asio::io_context io;
        asio::ip::tcp::acceptor a(io, {asio::ip::make_address("127.0.0.1"), 0});
        port = a.local_endpoint().port();
    }  // closed again: nothing listens there now
    ASSERT_EQ(socket->Connect("127.0.0.1", port), kS_OK);
    ASSERT_TRUE(WaitFor(Event::Connected, 1));
    app.PumpFor(100ms);
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_NE(sink.events[0].code, 0);
    EXPECT_EQ(socket->GetLastError(), sink.events[0].code);
    EXPECT_EQ(socket->GetState(), long(ClientSocketState::Idle));
    EXPECT_NE(socket->Send("x", 1), kS_OK);

    EXPECT_EQ(socket->Connect("", 7400), kE_INVALIDARG);
    EXPECT_EQ(socket->Connect("127.0.0.1", 0), kE_INVALIDARG);
}

TEST_F(SocketTest, GarbledOrEndedStreamsEndTheConnectionOnce) {
    struct Case {
        const char* what;
        std::string reply;
        long reason;
    } cases[] = {
        {"oversized length", "\xFF\xFF\xFF\x7F"s, kSocketBadStream},
        {"empty record", "\x00\x00\x00\x00"s, kSocketBadStream},
        {"closed mid-record",
         "\x10\x00\x00\x00"s
         "abc",
         kSocketPeerClosed},
    };
    for (const auto& c : cases) {
        sink.events.clear();
        ScriptedServer server([&](asio::ip::tcp::socket& s) {
            ReadFrame(s);
            // One good record first: it is delivered before the stream breaks.
            asio::write(s, asio::buffer(EncodeFrame("ok") + c.reply));
            std::this_thread::sleep_for(50ms);
        });
        ASSERT_EQ(socket->Connect("127.0.0.1", server.port), kS_OK);
        ASSERT_TRUE(WaitFor(Event::Connected, 1)) << c.what;
        ASSERT_EQ(socket->Send("hi", 2), kS_OK);
        ASSERT_TRUE(WaitFor(Event::Closed, 1)) << c.what;
        app.PumpFor(100ms);
        ASSERT_EQ(sink.events.size(), 3u) << c.what;
        EXPECT_EQ(sink.events[1].data, "ok") << c.what;
        EXPECT_EQ(sink.events[2].code, c.reason) << c.what;
        EXPECT_EQ(socket->GetState(), long(ClientSocketState::Idle)) << c.what;
    }
}

TEST_F(SocketTest, ServerThatNeverAnswersTimesOut) {
    ScriptedServer server([](asio::ip::tcp::socket& s) {
        ReadFrame(s);
        std::this_thread::sleep_for(1500ms);
    });
    socket->SetReplyTimeout(200);
    ASSERT_EQ(socket->Connect("127.0.0.1", server.port), kS_OK);
    ASSERT_TRUE(WaitFor(Event::Connected, 1));
    ASSERT_EQ(socket->Send("hi", 2), kS_OK);
    ASSERT_TRUE(WaitFor(Event::Closed, 1, 1000ms));
    EXPECT_EQ(sink.events.back().code, kSocketTimedOut);
}

TEST_F(SocketTest, SupersededAttemptIsReportedCancelledAndCloseSilencesEverything) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    ASSERT_EQ(socket->Connect("127.0.0.1", server->HallPort()), kS_OK);
    ASSERT_EQ(socket->Connect("127.0.0.1", server->HallPort()), kS_OK);
    ASSERT_TRUE(WaitFor(Event::Connected, 2));
    app.PumpFor(100ms);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0].code, kSocketCancelled);
    EXPECT_EQ(sink.events[1].code, 0);

    // A reply already on its way when Close is called never reaches the sink.
    auto route = RecordBytes(MakeRouteRequest(0x0100007F, server->HallPort(), 0));
    ASSERT_EQ(socket->Send(route.data(), route.size()), kS_OK);
    std::this_thread::sleep_for(200ms);  // the reply is posted by now
    socket->Close(0);
    app.PumpFor(100ms);
    EXPECT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(socket->Connect("127.0.0.1", server->HallPort()), kE_FAIL);
}

TEST(ClientSocketModule, NeedsTheApplicationObject) {
    Module module;
    ASSERT_TRUE(module.Loaded()) << dlerror();
    module.setApp(nullptr);
    EXPECT_EQ(module.create(), nullptr);
}
