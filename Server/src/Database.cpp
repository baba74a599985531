#include "Database.h"

#include <stdexcept>

#include "PasswordHash.h"
#include "ServerConfig.h"
#include "SqliteStmt.h"
#include "common/Cipher.h"

namespace {

void Exec(sqlite3* db, const char* sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        std::string m = msg ? msg : "unknown";
        sqlite3_free(msg);
        throw std::runtime_error("sqlite: " + m);
    }
}

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS settings (
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS accounts (
  number INTEGER PRIMARY KEY,
  name TEXT UNIQUE COLLATE NOCASE,
  nickname TEXT NOT NULL,
  password_hash TEXT NOT NULL,
  face INTEGER NOT NULL DEFAULT 0,
  gold INTEGER NOT NULL DEFAULT 0,
  points INTEGER NOT NULL DEFAULT 0,
  role INTEGER NOT NULL DEFAULT 1,
  level INTEGER NOT NULL DEFAULT 100,
  star INTEGER NOT NULL DEFAULT 0,
  line_type INTEGER NOT NULL DEFAULT 0,
  status INTEGER NOT NULL DEFAULT 0,
  visitor INTEGER NOT NULL DEFAULT 0,
  promotion INTEGER NOT NULL DEFAULT 0,
  created TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE TABLE IF NOT EXISTS rooms (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  owner INTEGER NOT NULL DEFAULT 0,
  hall_value INTEGER NOT NULL DEFAULT 10086,
  password_hash TEXT NOT NULL DEFAULT '',
  capacity INTEGER NOT NULL DEFAULT 500,
  sort_order INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS room_servers (
  id INTEGER PRIMARY KEY,
  address TEXT NOT NULL,
  line_type INTEGER NOT NULL DEFAULT 0
);
)sql";

struct SeedAccount {
    std::int32_t number;
    const char* name;
    const char* nickname;
    const char* password;
    int face, gold, points, role, level, star, lineType;
    AccountStatus status;
};

// The demo set; the README lists the same accounts.
const SeedAccount kSeedAccounts[] = {
    {10000, "admin", "站长", "admin123", 1, 1000000, 88000, 255, 1090, 0, 0, AccountStatus::Active},
    {10001, "owner", "室主小王", "owner123", 2, 200000, 12000, 50, 1070, 2016, 0,
     AccountStatus::Active},
    {10002, "vip", "蓝色会员", "vip123", 3, 50000, 3000, 1, 1010, 0, 1, AccountStatus::Active},
    {10003, "user", "普通用户", "user123", 4, 1000, 100, 1, 100, 0, 0, AccountStatus::Active},
    {10004, "locked", "锁定用户", "locked123", 5, 0, 0, 1, 100, 0, 0, AccountStatus::Locked},
    {10005, "banned", "封禁用户", "banned123", 6, 0, 0, 1, 100, 0, 0, AccountStatus::Banned},
    {10006, "patrol", "巡管小李", "patrol123", 7, 8000, 600, 70, 100, 0, 1, AccountStatus::Active},
};

struct SeedRoom {
    std::int32_t id;
    const char* name;
    std::int32_t owner;
    int hallValue;
    const char* password;  // empty = none
    int sortOrder;
};

const SeedRoom kSeedRooms[] = {
    {1001, "欢乐大厅", 10001, 10086, "", 1},
    {1002, "音乐之声", 10001, 10086, "", 2},
    {1003, "VIP包厢", 10000, 10086, "888", 3},
    {1004, "新人报到", 10000, 10086, "", 4},
};

AccountRecord ReadAccount(const SqliteStmt& s) {
    AccountRecord a;
    a.number = static_cast<std::int32_t>(s.Int(0));
    a.name = s.Text(1);
    a.nickname = s.Text(2);
    a.passwordHash = s.Text(3);
    a.face = static_cast<int>(s.Int(4));
    a.gold = static_cast<std::int32_t>(s.Int(5));
    a.points = static_cast<std::int32_t>(s.Int(6));
    a.role = static_cast<int>(s.Int(7));
    a.level = static_cast<int>(s.Int(8));
    a.star = static_cast<int>(s.Int(9));
    a.lineType = static_cast<int>(s.Int(10));
    a.status = static_cast<AccountStatus>(s.Int(11));
    a.visitor = s.Int(12) != 0;
    a.promotion = static_cast<int>(s.Int(13));
    return a;
}

constexpr const char* kAccountColumns =
    "SELECT number, coalesce(name,''), nickname, password_hash, face, gold, points, role, level, "
    "star, line_type, status, visitor, promotion FROM accounts ";

}  // namespace

Database::Database(sqlite3* db) : db_(db) {}

Database::~Database() {
    sqlite3_close_v2(db_);
}

std::unique_ptr<Database> Database::Open(const std::string& path, const ServerConfig& config,
                                         std::string* error) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error = std::string("cannot open database: ") + sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        return nullptr;
    }
    std::unique_ptr<Database> d(new Database(db));
    d->iterations_ = config.passwordIterations;
    sqlite3_busy_timeout(db, 5000);
    if (!d->CreateSchemaAndSeed(config, error))
        return nullptr;
    return d;
}

bool Database::CreateSchemaAndSeed(const ServerConfig& config, std::string* error) {
    try {
        Exec(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
        bool ok = Transaction([&](sqlite3* db) {
            Exec(db, kSchema);
            {
                SqliteStmt s(db, "SELECT value FROM settings WHERE key='schema_version'");
                if (s.Step())
                    return true;  // seeded before
            }
            for (const auto& a : kSeedAccounts) {
                SqliteStmt s(
                    db,
                    "INSERT INTO accounts(number, name, nickname, password_hash, face, gold, "
                    "points, role, level, star, line_type, status) "
                    "VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
                s.Bind(1, a.number).Bind(2, a.name).Bind(3, a.nickname);
                s.Bind(4, HashPassword(Md5Hex(a.password), iterations_));
                s.Bind(5, a.face).Bind(6, a.gold).Bind(7, a.points).Bind(8, a.role);
                s.Bind(9, a.level).Bind(10, a.star).Bind(11, a.lineType);
                s.Bind(12, static_cast<int>(a.status));
                s.Step();
            }
            for (const auto& r : kSeedRooms) {
                SqliteStmt s(
                    db,
                    "INSERT INTO rooms(id, name, owner, hall_value, password_hash, sort_order) "
                    "VALUES(?,?,?,?,?,?)");
                s.Bind(1, r.id).Bind(2, r.name).Bind(3, r.owner).Bind(4, r.hallValue);
                s.Bind(5, *r.password ? HashPassword(r.password, iterations_) : std::string());
                s.Bind(6, r.sortOrder);
                s.Step();
            }
            // One room server reachable on either line: the hall tries the
            // user's own line first and falls back to the other.
            for (int line : {0, 1}) {
                SqliteStmt s(db, "INSERT INTO room_servers(address, line_type) VALUES(?,?)");
                s.Bind(1, config.AdvertisedHost()).Bind(2, line);
                s.Step();
            }
            const std::pair<const char*, std::string> settings[] = {
                {"schema_version", "1"},
                {"required_version", std::to_string(kSeedRequiredVersion)},
                {"next_number", std::to_string(kFirstRegisteredNumber)},
                {"next_visitor_number", std::to_string(kFirstVisitorNumber)},
                {"visitors_enabled", "1"},
            };
            for (const auto& [k, v] : settings) {
                SqliteStmt s(db, "INSERT INTO settings(key, value) VALUES(?,?)");
                s.Bind(1, k).Bind(2, v);
                s.Step();
            }
            return true;
        });
        if (!ok && error)
            *error = "cannot create or seed the database";
        return ok;
    } catch (const std::exception& e) {
        if (error)
            *error = e.what();
        return false;
    }
}

bool Database::Transaction(const std::function<bool(sqlite3*)>& body) {
    std::lock_guard lock(mutex_);
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    bool ok = false;
    try {
        ok = body(db_);
    } catch (...) {
        ok = false;
    }
    if (ok && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

std::optional<AccountRecord> Database::FindAccountByNumber(std::int32_t number) {
    std::lock_guard lock(mutex_);
    try {
        SqliteStmt s(db_, (std::string(kAccountColumns) + "WHERE number=?").c_str());
        s.Bind(1, number);
        if (s.Step())
            return ReadAccount(s);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<AccountRecord> Database::FindAccountByName(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    std::lock_guard lock(mutex_);
    try {
        SqliteStmt s(db_, (std::string(kAccountColumns) + "WHERE name=?").c_str());
        s.Bind(1, name);
        if (s.Step())
            return ReadAccount(s);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<AccountRecord> Database::CreateAccount(const NewAccount& account,
                                                     std::string* error) {
    std::lock_guard lock(mutex_);
    if (!account.name.empty() && FindAccountByName(account.name)) {
        if (error)
            *error = "name taken";
        return std::nullopt;
    }
    std::string hash = HashPassword(account.passwordMd5, iterations_);
    std::int32_t number = 0;
    bool ok = Transaction([&](sqlite3* db) {
        const char* counter = account.visitor ? "next_visitor_number" : "next_number";
        {
            SqliteStmt s(db, "SELECT value FROM settings WHERE key=?");
            s.Bind(1, counter);
            if (!s.Step())
                return false;
            number = static_cast<std::int32_t>(std::stoll(s.Text(0)));
        }
        // Skip numbers taken by hand-made rows.
        for (;;) {
            SqliteStmt s(db, "SELECT 1 FROM accounts WHERE number=?");
            s.Bind(1, number);
            if (!s.Step())
                break;
            ++number;
        }
        std::string nickname = account.nickname;
        if (nickname.empty())
            nickname = (account.visitor ? "游客" : "用户") + std::to_string(number);
        SqliteStmt ins(db,
                       "INSERT INTO accounts(number, name, nickname, password_hash, role, level, "
                       "visitor, promotion) VALUES(?,?,?,?,?,?,?,?)");
        ins.Bind(1, number);
        if (!account.name.empty())
            ins.Bind(2, account.name);  // else NULL: no login name
        ins.Bind(3, nickname).Bind(4, hash);
        ins.Bind(5, account.visitor ? 0 : 1).Bind(6, account.visitor ? 0 : 100);
        ins.Bind(7, account.visitor ? 1 : 0).Bind(8, account.promotion);
        ins.Step();
        SqliteStmt upd(db, "UPDATE settings SET value=? WHERE key=?");
        upd.Bind(1, std::to_string(number + 1)).Bind(2, counter);
        upd.Step();
        return true;
    });
    if (!ok) {
        if (error)
            *error = "cannot write the account";
        return std::nullopt;
    }
    return FindAccountByNumber(number);
}

bool Database::SetNickname(std::int32_t number, std::string_view nickname) {
    return Transaction([&](sqlite3* db) {
        SqliteStmt s(db, "UPDATE accounts SET nickname=? WHERE number=?");
        s.Bind(1, nickname).Bind(2, number);
        s.Step();
        return sqlite3_changes(db) == 1;
    });
}

std::vector<RoomRecord> Database::ListRooms() {
    std::lock_guard lock(mutex_);
    std::vector<RoomRecord> rooms;
    try {
        SqliteStmt s(db_,
                     "SELECT id, name, owner, hall_value, password_hash, capacity FROM rooms "
                     "ORDER BY sort_order, id");
        while (s.Step()) {
            RoomRecord r;
            r.id = static_cast<std::int32_t>(s.Int(0));
            r.name = s.Text(1);
            r.ownerId = static_cast<std::int32_t>(s.Int(2));
            r.hallValue = static_cast<int>(s.Int(3));
            r.passwordHash = s.Text(4);
            r.capacity = static_cast<int>(s.Int(5));
            rooms.push_back(std::move(r));
        }
    } catch (const std::exception&) {
    }
    return rooms;
}

std::optional<RoomRecord> Database::FindRoom(std::int32_t id) {
    for (auto& r : ListRooms())
        if (r.id == id)
            return r;
    return std::nullopt;
}

std::vector<RoomServerEntry> Database::RoomServers() {
    std::lock_guard lock(mutex_);
    std::vector<RoomServerEntry> out;
    try {
        SqliteStmt s(db_, "SELECT address, line_type FROM room_servers ORDER BY id");
        while (s.Step())
            out.push_back({s.Text(0), static_cast<int>(s.Int(1))});
    } catch (const std::exception&) {
    }
    return out;
}

std::int32_t Database::RequiredVersion() {
    auto v = GetSetting("required_version");
    try {
        if (v)
            return static_cast<std::int32_t>(std::stoll(*v));
    } catch (const std::exception&) {
    }
    return kSeedRequiredVersion;
}

std::optional<std::string> Database::GetSetting(std::string_view key) {
    std::lock_guard lock(mutex_);
    try {
        SqliteStmt s(db_, "SELECT value FROM settings WHERE key=?");
        s.Bind(1, key);
        if (s.Step())
            return s.Text(0);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

bool Database::SetSetting(std::string_view key, std::string_view value) {
    return Transaction([&](sqlite3* db) {
        SqliteStmt s(db,
                     "INSERT INTO settings(key, value) VALUES(?,?) "
                     "ON CONFLICT(key) DO UPDATE SET value=excluded.value");
        s.Bind(1, key).Bind(2, value);
        s.Step();
        return true;
    });
}
