// The room service: users present in rooms, chat, microphones, administration
// and notices, over the room protocol (common/RoomProtocol.h). Everything runs
// on the io_context's one thread; every rule is checked here, from the ranks
// the service holds for the sender.
#pragma once

#include <asio.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RoomServicePlugin.h"

class Database;
struct ServerConfig;

namespace roomsvc {

struct Options {
    std::string host = "127.0.0.1";
    std::uint16_t port = 7410;  // 0: any free port
    // Media relay announced with every opened mic (network byte order).
    std::uint32_t mediaAddress = 0;
    std::uint16_t mediaPort = 7420;
    unsigned passwordIterations = 100000;
    unsigned visitorQuietMs = 10000;  // registered users and visitors wait this long to speak
    unsigned chatPaceMs = 300;
    unsigned shakePaceMs = 10000;
    unsigned idleTimeoutMs = 60000;
    std::size_t maxConnections = 5000;
    std::size_t maxQueuedBytes = 4u << 20;  // a client reading slower than this is dropped
    // When set, the service appends for each public chat line the time from
    // reading it to handing it to the last member's socket (nanoseconds).
    std::vector<std::int64_t>* fanOutNs = nullptr;
    // A line for at least this many idle members is written to their sockets
    // by two threads at once (0: always one thread).
    std::size_t parallelFanOutFrom = 128;
    int hornPrice = 2000;
    int worldHornPrice = 30000;
};

Options OptionsFrom(const ServerConfig& config);

class Core;

class RoomService final : public IRoomService {
  public:
    RoomService(asio::io_context& io, Database& db, Options options);
    ~RoomService() override;
    // Creates the tables and starts listening.
    bool Start(std::string* error);
    void Stop() override;
    IRoomDirectory& Directory() override;
    std::uint16_t Port() const override;
    // Every listed city lord and lady returns to the rank of their level.
    void ResetCityRanks();

  private:
    std::shared_ptr<Core> core_;
};

}  // namespace roomsvc
