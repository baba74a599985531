// Where the service listens and what it keeps: defaults, then the config file
// "server.ini" in the data folder, then command-line flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ServerLog;

struct ServerConfig {
    std::string dataDir = "server-data";
    std::string host = "127.0.0.1";  // listening address of every port
    std::uint16_t hallPort = 7400;   // 0 = any free port (tests)
    std::uint16_t webPort = 7480;
    std::uint16_t roomPort = 7410;
    std::size_t maxConnections = 256;           // hall connections at once
    std::size_t maxBytesPerConnection = 65536;  // everything a hall client may send
    unsigned idleTimeoutMs = 60000;             // a hall connection silent this long is closed
    unsigned passwordIterations = 100000;       // PBKDF2 rounds for new password hashes
    unsigned visitorsPerMinute = 30;            // visitor accounts the web page may create

    // The service's log, set by ChatServer before anything starts; never null
    // while the service runs.
    ServerLog* log = nullptr;

    // Address clients reach the service at (room-server entries, links): the
    // listening host, or loopback when listening on every interface.
    std::string AdvertisedHost() const;
};

// Fills `config` from argv: --data DIR --hall-port N --web-port N --room-port N
// --host H --config FILE. The config file (default: data folder + "server.ini",
// section "server", keys as the flags without dashes plus max-connections,
// max-bytes-per-connection, idle-timeout-ms) is read before the other flags
// apply, so flags win. Returns an error text, or nothing on success.
std::optional<std::string> ParseServerArgs(int argc, const char* const* argv, ServerConfig& config);

// Applies the "server" section of an INI file; a missing file changes nothing.
std::optional<std::string> ApplyConfigFile(const std::string& path, ServerConfig& config);

extern const char* const kServerUsage;
