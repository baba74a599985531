#include "HallServer.h"

#include <array>
#include <deque>

#include "ServerConfig.h"
#include "ServerLog.h"
#include "TcpListen.h"
#include "common/Framing.h"
#include "common/HallProtocol.h"

using asio::ip::tcp;

class HallServer::Session : public std::enable_shared_from_this<Session> {
  public:
    Session(HallServer& owner, tcp::socket socket)
        : owner_(owner),
          socket_(std::move(socket)),
          timer_(owner.io_),
          decoder_(kHallMaxRecordSize) {
        asio::error_code ec;
        auto ep = socket_.remote_endpoint(ec);
        peer_ = ec ? "?" : ep.address().to_string() + ":" + std::to_string(ep.port());
    }

    void Start() {
        ArmTimer();
        Read();
    }

    // Ends the connection once; the owner forgets it.
    void Close(const std::string& why) {
        if (closed_)
            return;
        closed_ = true;
        if (!why.empty())
            owner_.Log("hall " + peer_ + ": " + why);
        asio::error_code ec;
        socket_.shutdown(tcp::socket::shutdown_both, ec);
        socket_.close(ec);
        timer_.cancel();
        owner_.sessions_.erase(shared_from_this());
    }

  private:
    void ArmTimer() {
        timer_.expires_after(std::chrono::milliseconds(owner_.config_.idleTimeoutMs));
        timer_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
            if (!ec)
                self->Close("idle, closed");
        });
    }

    void Read() {
        socket_.async_read_some(asio::buffer(buffer_), [self = shared_from_this()](
                                                           const asio::error_code& ec,
                                                           std::size_t n) { self->OnRead(ec, n); });
    }

    void OnRead(const asio::error_code& ec, std::size_t n) {
        if (closed_)
            return;
        if (ec) {
            Close(ec == asio::error::eof ? std::string() : "read failed: " + ec.message());
            return;
        }
        received_ += n;
        if (received_ > owner_.config_.maxBytesPerConnection) {
            Close("byte allowance exceeded, closed");
            return;
        }
        bool good = decoder_.Feed(buffer_.data(), n);
        if (!good) {
            Close(decoder_.Error() == FrameError::Empty ? "empty record, closed"
                                                        : "oversized record, closed");
            return;
        }
        while (auto record = decoder_.Next())
            pending_.push_back(std::move(*record));
        if (!busy_)
            AnswerNext();
        ArmTimer();
        Read();
    }

    // Works out the answer to the oldest waiting record off the io thread and
    // applies it back on the io thread.
    void AnswerNext() {
        if (closed_ || closing_ || pending_.empty()) {
            busy_ = false;
            return;
        }
        busy_ = true;
        std::string record = std::move(pending_.front());
        pending_.pop_front();
        asio::post(owner_.workers_, [self = shared_from_this(), record = std::move(record),
                                     failed = failedLogins_]() mutable {
            auto outcome = self->owner_.logic_.Handle(record, failed);
            asio::post(self->owner_.io_, [self, outcome = std::move(outcome), failed] {
                if (self->closed_)
                    return;
                self->failedLogins_ = failed;
                if (!outcome.log.empty())
                    self->owner_.Log("hall " + self->peer_ + ": " + outcome.log);
                if (!outcome.reply.empty())
                    self->Write(EncodeFrame(outcome.reply));
                if (outcome.close) {
                    self->CloseAfterWrites();
                    return;
                }
                self->AnswerNext();
            });
        });
    }

    void Write(std::string frame) {
        queue_.push_back(std::move(frame));
        if (queue_.size() == 1)
            WriteNext();
    }

    void WriteNext() {
        asio::async_write(socket_, asio::buffer(queue_.front()),
                          [self = shared_from_this()](const asio::error_code& ec, std::size_t) {
                              if (self->closed_)
                                  return;
                              if (ec) {
                                  self->Close("write failed: " + ec.message());
                                  return;
                              }
                              self->queue_.pop_front();
                              if (!self->queue_.empty())
                                  self->WriteNext();
                              else if (self->closing_)
                                  self->Close("closed");
                          });
    }

    void CloseAfterWrites() {
        closing_ = true;
        if (queue_.empty())
            Close("closed");
    }

    HallServer& owner_;
    tcp::socket socket_;
    asio::steady_timer timer_;
    FrameDecoder decoder_;
    std::array<char, 4096> buffer_;
    std::deque<std::string> queue_;    // frames being written
    std::deque<std::string> pending_;  // records not yet answered
    std::string peer_;
    std::size_t received_ = 0;
    int failedLogins_ = 0;
    bool closed_ = false;
    bool closing_ = false;
    bool busy_ = false;  // an answer is being worked out
};

HallServer::HallServer(asio::io_context& io, Database& db, const ServerConfig& config)
    : io_(io), config_(config), logic_(db, config), acceptor_(io), retry_(io) {}

HallServer::~HallServer() {
    // Answers still being worked out use the logic and post to the io
    // context (which outlives this object); let them finish first. Sessions
    // hold a reference to this object through their handlers; the io_context
    // is stopped before the server is destroyed, so only the set has to go.
    workers_.join();
    for (auto& s : std::set(sessions_))
        s->Close({});
}

bool HallServer::Start(std::string* error) {
    asio::error_code ec;
    switch (OpenListener(acceptor_, config_.host, config_.hallPort, ec)) {
        case ListenFault::None:
            break;
        case ListenFault::BadAddress:
            if (error)
                *error = "bad listening address " + config_.host;
            return false;
        case ListenFault::Socket:
            if (error)
                *error = "hall port " + std::to_string(config_.hallPort) + ": " + ec.message();
            return false;
    }
    port_ = acceptor_.local_endpoint().port();
    Accept();
    return true;
}

void HallServer::Stop() {
    stopped_ = true;
    asio::error_code ec;
    acceptor_.close(ec);
    retry_.cancel();
    for (auto& s : std::set(sessions_))
        s->Close({});
}

void HallServer::Accept() {
    acceptor_.async_accept([this](const asio::error_code& ec, tcp::socket socket) {
        if (stopped_)
            return;
        if (!ec) {
            if (sessions_.size() >= config_.maxConnections) {
                Log("hall: connection limit reached, refused one");
                asio::error_code ignored;
                socket.close(ignored);
            } else {
                auto session = std::make_shared<Session>(*this, std::move(socket));
                sessions_.insert(session);
                session->Start();
            }
        } else if (ec == asio::error::operation_aborted) {
            return;
        } else {
            // Out of descriptors and the like: back off instead of spinning.
            Log("hall: accept failed: " + ec.message());
            retry_.expires_after(std::chrono::milliseconds(200));
            retry_.async_wait([this](const asio::error_code& e) {
                if (!e && !stopped_)
                    Accept();
            });
            return;
        }
        Accept();
    });
}

void HallServer::Log(const std::string& line) {
    if (config_.log)
        config_.log->Write(line);
}
