// The service's SQLite database: accounts, rooms, room-server entries and
// settings. Created and seeded with the demo set on first start. Every write
// is one committed transaction (WAL, synchronous=FULL). All calls are safe from
// any thread: one connection behind one recursive mutex.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ServerConfig;

enum class AccountStatus : int { Active = 0, Locked = 1, Banned = 2 };

struct AccountRecord {
    std::int32_t number = 0;
    std::string name;      // login name (ASCII), may be empty
    std::string nickname;  // UTF-8
    std::string passwordHash;
    int face = 0;
    std::int32_t gold = 0;
    std::int32_t points = 0;
    int role = 0;
    int level = 0;
    int star = 0;
    int lineType = 0;
    AccountStatus status = AccountStatus::Active;
    bool visitor = false;
    int promotion = 0;
};

struct RoomRecord {
    std::int32_t id = 0;
    std::string name;  // UTF-8
    std::int32_t ownerId = 0;
    int hallValue = 10086;
    // HashPassword of the plain room password (check with VerifyPassword);
    // empty = no password.
    std::string passwordHash;
    int capacity = 0;
    bool HasPassword() const { return !passwordHash.empty(); }
};

struct RoomServerEntry {
    std::string address;
    int lineType = 0;
};

struct NewAccount {
    std::string name;         // empty for visitors
    std::string nickname;     // UTF-8; empty = a generated one
    std::string passwordMd5;  // what the client will send
    bool visitor = false;
    int promotion = 0;
};

class Database {
  public:
    // Opens or creates the file; nothing and `error` set on failure.
    static std::unique_ptr<Database> Open(const std::string& path, const ServerConfig& config,
                                          std::string* error);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::optional<AccountRecord> FindAccountByNumber(std::int32_t number);
    // Names compare without regard to ASCII case.
    std::optional<AccountRecord> FindAccountByName(std::string_view name);
    // Gives the account the next free number (visitors from their own range);
    // nothing and `error` set when the name is taken or the write fails.
    std::optional<AccountRecord> CreateAccount(const NewAccount& account, std::string* error);
    bool SetNickname(std::int32_t number, std::string_view nickname);

    std::vector<RoomRecord> ListRooms();
    std::optional<RoomRecord> FindRoom(std::int32_t id);
    std::vector<RoomServerEntry> RoomServers();
    std::int32_t RequiredVersion();

    std::optional<std::string> GetSetting(std::string_view key);
    bool SetSetting(std::string_view key, std::string_view value);

    // Runs `body` inside BEGIN IMMEDIATE; commits when it returns true, rolls
    // back when it returns false or throws. For the room service's own tables.
    bool Transaction(const std::function<bool(sqlite3*)>& body);
    // Direct use of the connection under the lock, for reads.
    template <typename F>
    auto WithConnection(F&& f) {
        std::lock_guard lock(mutex_);
        return f(db_);
    }

  private:
    explicit Database(sqlite3* db);
    bool CreateSchemaAndSeed(const ServerConfig& config, std::string* error);

    std::recursive_mutex mutex_;
    sqlite3* db_;
    unsigned iterations_ = 100000;
};

// Required client version 1.0.0.1 as the client packs it.
inline constexpr std::int32_t kSeedRequiredVersion = (1 << 24) | (0 << 16) | (0 << 8) | 1;
inline constexpr std::int32_t kFirstRegisteredNumber = 10100;
inline constexpr std::int32_t kFirstVisitorNumber = 900000;
