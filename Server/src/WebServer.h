// The web pages the client opens (lobby, login banner, registration and
// visitor page, home, tools, help, exchange, add-gold, user information,
// password recovery) and the update file, over HTTP on its own threads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class Database;
struct ServerConfig;

namespace httplib {
class Server;
}

class WebServer {
  public:
    // `occupancy` answers how many users a room holds; it is called on the
    // web threads.
    WebServer(Database& db, const ServerConfig& config, std::function<int(std::int32_t)> occupancy);
    ~WebServer();

    bool Start(std::string* error);
    void Stop();
    std::uint16_t Port() const { return port_; }

    // Path of the update file under the data folder; created with a small
    // notice script when missing.
    static std::string EnsureUpdateFile(const std::string& dataDir);

  private:
    void Routes();

    Database& db_;
    const ServerConfig& config_;
    std::function<int(std::int32_t)> occupancy_;
    std::unique_ptr<httplib::Server> http_;
    std::thread thread_;
    std::uint16_t port_ = 0;
    std::string updateFile_;

    std::mutex visitorMutex_;
    std::int64_t visitorWindowStart_ = 0;
    unsigned visitorsInWindow_ = 0;
};
