// The whole service in one object: data folder, log, database, hall, web
// pages and (when built in) the room service, all driven by one io_context.
// Tests run it in-process on free ports; main() runs it until a signal.
#pragma once

#include <asio.hpp>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "ServerConfig.h"
#include "ServerLog.h"

class Database;
class HallServer;
class WebServer;
class IRoomService;

class ChatServer {
  public:
    explicit ChatServer(ServerConfig config, bool echoLog = false);
    ~ChatServer();
    ChatServer(const ChatServer&) = delete;
    ChatServer& operator=(const ChatServer&) = delete;

    // Creates the data folder, opens the log and the database (seeding it on
    // first start) and binds every port. False with `error` set when any step
    // fails; nothing keeps listening then.
    bool Start(std::string* error);
    // Runs the io_context on the calling thread until Stop.
    void Run();
    // From any thread (or a signal handler's completion): stops everything
    // and lets Run return.
    void Stop();

    std::uint16_t HallPort() const;
    std::uint16_t WebPort() const;
    std::uint16_t RoomPort() const;
    const ServerConfig& Config() const { return config_; }
    Database& Db() { return *db_; }
    asio::io_context& Io() { return io_; }
    ServerLog& Log() { return log_; }

  private:
    int Occupancy(std::int32_t roomId);
    void StopOnIoThread();

    ServerConfig config_;
    bool echoLog_;
    ServerLog log_;
    asio::io_context io_;
    asio::executor_work_guard<asio::io_context::executor_type> work_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<HallServer> hall_;
    std::unique_ptr<IRoomService> room_;
    std::unique_ptr<WebServer> web_;
    std::atomic<bool> stopping_{false};
    bool started_ = false;
};
