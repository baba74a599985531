// The hall's TCP side: accepts connections on the io_context, cuts each
// stream into framed records and answers them through HallLogic. A
// connection that sends garbage, an oversized or unknown record, more than
// its byte allowance, or nothing for the idle time is closed; nothing else is
// affected. Answers are worked out on a small thread pool (a login costs a
// deliberately slow password hash) so the io thread, which the room service
// shares, never waits for them; each connection's records are still answered
// one at a time, in order.
#pragma once

#include <asio.hpp>

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "HallLogic.h"

class Database;
class ServerLog;
struct ServerConfig;

class HallServer {
  public:
    HallServer(asio::io_context& io, Database& db, const ServerConfig& config);
    ~HallServer();

    // Binds config.host:config.hallPort and starts accepting.
    bool Start(std::string* error);
    // Stops accepting and closes every connection. Call on the io thread.
    void Stop();
    std::uint16_t Port() const { return port_; }
    std::size_t ConnectionCount() const { return sessions_.size(); }

  private:
    class Session;
    void Accept();
    void Log(const std::string& line);

    asio::io_context& io_;
    const ServerConfig& config_;
    HallLogic logic_;
    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer retry_;
    asio::thread_pool workers_{2};
    std::set<std::shared_ptr<Session>> sessions_;
    std::uint16_t port_ = 0;
    bool stopped_ = false;
};
