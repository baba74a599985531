// How the room service joins the program. It runs on the same io_context as
// the hall (one thread: every call below happens on that thread) and shares
// the hall's Database (accounts, rooms; add your own tables with CREATE TABLE
// IF NOT EXISTS inside Database::Transaction).
//
// The room service's sources in Server/src/room/*.cpp define
// CreateRoomService (an ordinary, strong definition). Until they do, the weak
// one in RoomServiceNone.cpp returns nullptr: no room service, every room
// reads as empty.
#pragma once

#include <asio.hpp>

#include <cstdint>
#include <memory>

class Database;
struct ServerConfig;

// What the lobby page asks about rooms.
class IRoomDirectory {
  public:
    virtual ~IRoomDirectory() = default;
    // Users currently in the room; 0 for an unknown room.
    virtual int Occupancy(std::int32_t roomId) = 0;
};

class IRoomService {
  public:
    virtual ~IRoomService() = default;
    // Stop accepting, close every connection; the io_context may still run
    // the completions that follow.
    virtual void Stop() = 0;
    virtual IRoomDirectory& Directory() = 0;
    // The port actually listened on (config.roomPort may be 0 in tests); 0
    // when not listening.
    virtual std::uint16_t Port() const { return 0; }
};

// Starts listening on config.host:config.roomPort. Returns nullptr when there
// is no room service or it cannot start (it writes why to *config.log).
std::unique_ptr<IRoomService> CreateRoomService(asio::io_context& io, Database& db,
                                                const ServerConfig& config);
