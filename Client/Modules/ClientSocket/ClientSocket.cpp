// The hall socket module. Each socket owns a worker thread running its own
// io_context; the UI thread talks to it by posting into that context, and the
// worker reports back by posting through the application object. Reports
// carry the number of the connection they belong to, and the UI side drops
// any report of a connection it has since ended, so each attempt is reported
// exactly once and nothing arrives after Disconnect or Close.
#include <asio.hpp>

#include <atomic>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <thread>

#include "common/Framing.h"
#include "common/ModuleApi.h"
#include "session/ClientSocketInf.h"

#define CLIENTSOCKET_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::atomic<IApplication*> g_app{nullptr};

constexpr TGuid kIID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr std::uint32_t kDefaultConnectTimeoutMs = 5000;
constexpr std::uint32_t kDefaultReplyTimeoutMs = 15000;
constexpr std::uint32_t kDefaultMaxRecord = 65536;

void PostToUi(std::function<void()> task) {
    if (IApplication* app = g_app.load())
        app->Post(std::move(task));
}

long ErrorCode(const asio::error_code& ec) {
    if (ec == asio::error::eof)
        return kSocketPeerClosed;
    if (ec == asio::error::operation_aborted)
        return kSocketCancelled;
    if (ec == asio::error::host_not_found || ec == asio::error::host_not_found_try_again ||
        ec == asio::error::no_data)
        return kSocketUnresolved;
    return ec.value() != 0 ? ec.value() : kE_FAIL;
}

class ClientSocket;

// What the UI thread knows; touched on the UI thread only. Posted reports hold
// it, so they stay safe after the socket object is gone.
struct UiState {
    ClientSocket* owner = nullptr;  // null once closed
    IClientSocketSink* sink = nullptr;
    std::uint64_t current = 0;  // number of the live connection or attempt
    ClientSocketState state = ClientSocketState::Idle;
    long lastError = 0;
};

// One connection attempt and, when it succeeds, the connection; lives on the
// worker thread.
class Connection : public std::enable_shared_from_this<Connection> {
  public:
    struct Settings {
        std::uint32_t connectTimeoutMs;
        std::uint32_t replyTimeoutMs;
        std::uint32_t maxRecord;
    };

    Connection(asio::io_context& io, std::shared_ptr<UiState> ui, std::uint64_t number,
               Settings settings)
        : ui_(std::move(ui)),
          number_(number),
          settings_(settings),
          resolver_(io),
          socket_(io),
          connectTimer_(io),
          replyTimer_(io),
          decoder_(settings.maxRecord) {}

    void Start(std::string host, std::uint16_t port) {
        auto self = shared_from_this();
        connectTimer_.expires_after(std::chrono::milliseconds(settings_.connectTimeoutMs));
        connectTimer_.async_wait([self](const asio::error_code& ec) {
            if (!ec && !self->connected_)
                self->ReportConnected(kSocketTimedOut);
        });
        resolver_.async_resolve(
            host, std::to_string(port),
            [self](const asio::error_code& ec, asio::ip::tcp::resolver::results_type results) {
                if (self->done_)
                    return;
                if (ec) {
                    self->ReportConnected(ErrorCode(ec));
                    return;
                }
                asio::async_connect(
                    self->socket_, results,
                    [self](const asio::error_code& e, const asio::ip::tcp::endpoint&) {
                        if (self->done_)
                            return;
                        if (e) {
                            self->ReportConnected(ErrorCode(e));
                            return;
                        }
                        self->connected_ = true;
                        self->connectTimer_.cancel();
                        asio::error_code ignored;
                        self->socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
                        self->ReportConnected(0);
                        self->Read();
                    });
            });
    }

    void Write(std::string frame) {
        if (done_ || !connected_)
            return;
        queue_.push_back(std::move(frame));
        if (settings_.replyTimeoutMs != 0 && !awaitingReply_) {
            awaitingReply_ = true;
            replyTimer_.expires_after(std::chrono::milliseconds(settings_.replyTimeoutMs));
            replyTimer_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
                if (!ec && self->awaitingReply_)
                    self->End(kSocketTimedOut);
            });
        }
        if (queue_.size() == 1)
            WriteNext();
    }

    // Ends quietly: the UI side has already forgotten this connection.
    void Stop() { Shut(); }

  private:
    void ReportConnected(long error) {
        if (done_)
            return;
        if (error != 0)
            Shut();
        PostToUi([ui = ui_, n = number_, error] {
            if (!ui->owner || ui->current != n || ui->state != ClientSocketState::Connecting)
                return;
            ui->state = error == 0 ? ClientSocketState::Connected : ClientSocketState::Idle;
            ui->lastError = error;
            if (IClientSocketSink* sink = ui->sink) {
                sink->AddRef();
                sink->OnConnected(error, 0, nullptr);
                sink->Release();
            }
        });
    }

    void Read() {
        socket_.async_read_some(
            asio::buffer(buffer_),
            [self = shared_from_this()](const asio::error_code& ec, std::size_t n) {
                if (self->done_)
                    return;
                if (ec) {
                    self->End(ErrorCode(ec));
                    return;
                }
                bool good = self->decoder_.Feed(self->buffer_, n);
                while (auto record = self->decoder_.Next()) {
                    self->awaitingReply_ = false;
                    self->replyTimer_.cancel();
                    self->Deliver(std::move(*record));
                }
                if (!good) {
                    self->End(kSocketBadStream);
                    return;
                }
                self->Read();
            });
    }

    void Deliver(std::string record) {
        PostToUi([ui = ui_, n = number_, record = std::move(record)] {
            if (!ui->owner || ui->current != n || ui->state != ClientSocketState::Connected)
                return;
            if (IClientSocketSink* sink = ui->sink) {
                sink->AddRef();
                sink->OnReceive(record.data(), static_cast<std::uint32_t>(record.size()), nullptr);
                sink->Release();
            }
        });
    }

    void WriteNext() {
        asio::async_write(socket_, asio::buffer(queue_.front()),
                          [self = shared_from_this()](const asio::error_code& ec, std::size_t) {
                              if (self->done_)
                                  return;
                              if (ec) {
                                  self->End(ErrorCode(ec));
                                  return;
                              }
                              self->queue_.pop_front();
                              if (!self->queue_.empty())
                                  self->WriteNext();
                          });
    }

    // An established connection ends on its own: tell the UI once.
    void End(long reason) {
        if (done_)
            return;
        Shut();
        PostToUi([ui = ui_, n = number_, reason] {
            if (!ui->owner || ui->current != n || ui->state != ClientSocketState::Connected)
                return;
            ui->state = ClientSocketState::Idle;
            ui->lastError = reason;
            if (IClientSocketSink* sink = ui->sink) {
                sink->AddRef();
                sink->OnClosed(nullptr, static_cast<std::uint32_t>(reason));
                sink->Release();
            }
        });
    }

    void Shut() {
        done_ = true;
        asio::error_code ignored;
        resolver_.cancel();
        connectTimer_.cancel();
        replyTimer_.cancel();
        socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
        queue_.clear();
    }

    std::shared_ptr<UiState> ui_;
    std::uint64_t number_;
    Settings settings_;
    asio::ip::tcp::resolver resolver_;
    asio::ip::tcp::socket socket_;
    asio::steady_timer connectTimer_;
    asio::steady_timer replyTimer_;
    FrameDecoder decoder_;
    char buffer_[4096];
    std::deque<std::string> queue_;
    bool connected_ = false;
    bool awaitingReply_ = false;
    bool done_ = false;
};

class ClientSocket final : public IClientSocket {
  public:
    ClientSocket() : ui_(std::make_shared<UiState>()) { ui_->owner = this; }
    ~ClientSocket() { Close(0); }

    long QueryInterface(const TGuid& iid, void** object) override {
        if (!object)
            return kE_INVALIDARG;
        if (iid == IID_IClientSocket || iid == kIID_IUnknown) {
            *object = static_cast<IClientSocket*>(this);
            AddRef();
            return kS_OK;
        }
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return ++refs_; }
    unsigned long Release() override {
        unsigned long n = --refs_;
        if (n == 0)
            delete this;
        return n;
    }

    long SetSink(IUnknownBase* sink) override {
        IClientSocketSink* next = nullptr;
        if (sink) {
            void* p = nullptr;
            if (sink->QueryInterface(IID_IClientSocketSink, &p) != kS_OK || !p)
                return kE_NOINTERFACE;
            next = static_cast<IClientSocketSink*>(p);
        }
        if (closed_) {
            if (next)
                next->Release();
            return kE_FAIL;
        }
        IClientSocketSink* old = ui_->sink;
        ui_->sink = next;
        if (old)
            old->Release();
        return kS_OK;
    }

    long SetConnectTimeout(std::uint32_t ms) override {
        settings_.connectTimeoutMs = ms ? ms : kDefaultConnectTimeoutMs;
        return kS_OK;
    }
    long SetReplyTimeout(std::uint32_t ms) override {
        settings_.replyTimeoutMs = ms;
        return kS_OK;
    }
    long SetMaxRecordSize(std::uint32_t bytes) override {
        settings_.maxRecord = bytes ? bytes : kDefaultMaxRecord;
        return kS_OK;
    }
    long GetState() override { return static_cast<long>(ui_->state); }
    long GetLastError() override { return ui_->lastError; }

    long Disconnect() override {
        EndCurrent();
        return kS_OK;
    }

    long Connect(const char* host, std::uint32_t port) override {
        if (closed_ || !g_app.load())
            return kE_FAIL;
        if (!host || !*host || port == 0 || port > 65535)
            return kE_INVALIDARG;
        EndCurrent();
        StartWorker();
        std::uint64_t n = ++ui_->current;
        ui_->state = ClientSocketState::Connecting;
        auto conn = std::make_shared<Connection>(io_, ui_, n, settings_);
        connection_ = conn;
        asio::post(io_, [conn, h = std::string(host), p = static_cast<std::uint16_t>(port)] {
            conn->Start(h, p);
        });
        return kS_OK;
    }

    long Send(const void* data, std::uint32_t size) override {
        if (closed_ || ui_->state != ClientSocketState::Connected)
            return kE_FAIL;
        if (!data || size == 0)
            return kE_INVALIDARG;
        std::string frame = EncodeFrame(std::string_view(static_cast<const char*>(data), size));
        asio::post(io_, [conn = connection_, f = std::move(frame)]() mutable {
            conn->Write(std::move(f));
        });
        return kS_OK;
    }

    long Close(std::uint32_t) override {
        if (closed_)
            return kS_OK;
        closed_ = true;
        EndCurrent(false);
        ui_->owner = nullptr;
        ++ui_->current;
        if (IClientSocketSink* sink = ui_->sink) {
            ui_->sink = nullptr;
            sink->Release();
        }
        StopWorker();
        return kS_OK;
    }

  private:
    // Ends the live connection or attempt. An attempt still gets its one
    // report, as cancelled, through the UI queue like any other report.
    void EndCurrent(bool reportAttempt = true) {
        if (connection_) {
            asio::post(io_, [conn = connection_] { conn->Stop(); });
            connection_.reset();
        }
        bool wasConnecting = ui_->state == ClientSocketState::Connecting;
        std::uint64_t n = ui_->current;
        ++ui_->current;
        ui_->state = ClientSocketState::Idle;
        if (wasConnecting && reportAttempt) {
            ui_->lastError = kSocketCancelled;
            PostToUi([ui = ui_, n] {
                (void)n;
                if (!ui->owner)
                    return;
                if (IClientSocketSink* sink = ui->sink) {
                    sink->AddRef();
                    sink->OnConnected(kSocketCancelled, 0, nullptr);
                    sink->Release();
                }
            });
        }
    }

    void StartWorker() {
        if (worker_.joinable())
            return;
        work_.emplace(asio::make_work_guard(io_));
        worker_ = std::thread([this] { io_.run(); });
    }

    void StopWorker() {
        if (!worker_.joinable())
            return;
        work_.reset();
        io_.stop();
        worker_.join();
    }

    std::atomic<unsigned long> refs_{1};
    std::shared_ptr<UiState> ui_;
    Connection::Settings settings_{kDefaultConnectTimeoutMs, kDefaultReplyTimeoutMs,
                                   kDefaultMaxRecord};
    asio::io_context io_;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work_;
    std::thread worker_;
    std::shared_ptr<Connection> connection_;
    bool closed_ = false;
};

}  // namespace

CLIENTSOCKET_EXPORT void SetApplication(IApplication* app) {
    g_app.store(app);
}

CLIENTSOCKET_EXPORT IClientSocket* CreateClientSocket() {
    if (!g_app.load())
        return nullptr;
    return new ClientSocket();
}
