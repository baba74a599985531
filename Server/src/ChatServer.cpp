#include "ChatServer.h"

#include <filesystem>
#include <future>

#include "Database.h"
#include "HallServer.h"
#include "RoomServicePlugin.h"
#include "WebServer.h"

ChatServer::ChatServer(ServerConfig config, bool echoLog)
    : config_(std::move(config)), echoLog_(echoLog), work_(asio::make_work_guard(io_)) {
    config_.log = &log_;
}

ChatServer::~ChatServer() {
    Stop();
    // Whatever completions are left only release their sessions.
    if (!io_.stopped()) {
        work_.reset();
        io_.restart();
        io_.poll();
    }
    web_.reset();
    hall_.reset();
    room_.reset();
}

bool ChatServer::Start(std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(config_.dataDir, ec);
    if (ec) {
        if (error)
            *error = "cannot create data folder " + config_.dataDir + ": " + ec.message();
        return false;
    }
    auto path = [&](const char* name) {
        return (std::filesystem::path(config_.dataDir) / name).string();
    };
    if (!log_.Open(path("server.log"), echoLog_) && error) {
        // Not fatal: the service runs without its log file.
    }
    db_ = Database::Open(path("chatroom.db"), config_, error);
    if (!db_) {
        log_.Write("start failed: " + (error ? *error : std::string()));
        return false;
    }
    hall_ = std::make_unique<HallServer>(io_, *db_, config_);
    if (!hall_->Start(error)) {
        log_.Write("start failed: " + (error ? *error : std::string()));
        return false;
    }
    room_ = CreateRoomService(io_, *db_, config_);
    web_ = std::make_unique<WebServer>(*db_, config_,
                                       [this](std::int32_t id) { return Occupancy(id); });
    if (!web_->Start(error)) {
        log_.Write("start failed: " + (error ? *error : std::string()));
        hall_->Stop();
        if (room_)
            room_->Stop();
        return false;
    }
    started_ = true;
    log_.Write("started: hall " + config_.host + ":" + std::to_string(HallPort()) + ", web " +
               std::to_string(WebPort()) + ", room " +
               (room_ ? std::to_string(RoomPort()) : std::string("(not running)")) + ", data " +
               config_.dataDir);
    return true;
}

void ChatServer::Run() {
    io_.run();
}

void ChatServer::Stop() {
    if (stopping_.exchange(true))
        return;
    // The web threads may be waiting on the io thread; stop them first.
    if (web_)
        web_->Stop();
    // Decided before posting: once posted, the io thread may already be
    // clearing started_, and a second stop here would close the hall and the
    // rooms from this thread while the io thread still runs them.
    if (!started_) {
        StopOnIoThread();
        return;
    }
    asio::post(io_, [this] { StopOnIoThread(); });
}

void ChatServer::StopOnIoThread() {
    if (hall_)
        hall_->Stop();
    if (room_)
        room_->Stop();
    work_.reset();
    if (started_)
        log_.Write("stopped");
    started_ = false;
}

int ChatServer::Occupancy(std::int32_t roomId) {
    if (!room_ || stopping_)
        return 0;
    // The room service lives on the io thread; ask it there.
    auto promise = std::make_shared<std::promise<int>>();
    auto future = promise->get_future();
    asio::post(io_, [this, roomId, promise] {
        promise->set_value(room_ && !stopping_ ? room_->Directory().Occupancy(roomId) : 0);
    });
    if (future.wait_for(std::chrono::seconds(1)) != std::future_status::ready)
        return 0;
    return future.get();
}

std::uint16_t ChatServer::HallPort() const {
    return hall_ ? hall_->Port() : 0;
}
std::uint16_t ChatServer::WebPort() const {
    return web_ ? web_->Port() : 0;
}
std::uint16_t ChatServer::RoomPort() const {
    return room_ ? room_->Port() : 0;
}
