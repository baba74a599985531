// What the hall answers to one record, apart from any socket: the route
// request gets the version reply, the login request the login reply. A record
// that is not one of the two, or is malformed, ends the connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

class Database;
struct ServerConfig;

// Texts of a refused login, GBK.
const std::string& HallTextUnknownAccount();
const std::string& HallTextWrongPassword();
const std::string& HallTextLocked();
const std::string& HallTextBanned();

class HallLogic {
  public:
    HallLogic(Database& db, const ServerConfig& config);

    struct Outcome {
        std::string reply;   // record to send, unframed; may be empty
        bool close = false;  // end the connection (after sending the reply, if any)
        std::string log;     // line for the service log, empty = nothing to log
    };
    // One record of one connection; `failedLogins` is that connection's count
    // of refused logins, updated here. Safe to call from several threads at
    // once for different connections.
    Outcome Handle(std::string_view record, int& failedLogins);

    // Refused logins a connection may make before it is closed.
    static constexpr int kMaxFailedLogins = 5;

  private:
    Outcome Login(std::string_view record, int& failedLogins);

    Database& db_;
    const ServerConfig& config_;
    std::atomic<std::uint32_t> sessionCounter_{0};
};
