// A prepared SQLite statement that finalises itself; errors throw.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class SqliteStmt {
  public:
    SqliteStmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("sqlite prepare: ") + sqlite3_errmsg(db));
    }
    ~SqliteStmt() { sqlite3_finalize(s_); }
    SqliteStmt(const SqliteStmt&) = delete;
    SqliteStmt& operator=(const SqliteStmt&) = delete;

    SqliteStmt& Bind(int i, std::int64_t v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    SqliteStmt& Bind(int i, std::string_view v) {
        sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // True while a row is available; throws on error.
    bool Step() {
        int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw std::runtime_error(std::string("sqlite step: ") +
                                 sqlite3_errmsg(sqlite3_db_handle(s_)));
    }
    std::int64_t Int(int col) const { return sqlite3_column_int64(s_, col); }
    std::string Text(int col) const {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(s_, col));
        return p ? std::string(p, sqlite3_column_bytes(s_, col)) : std::string();
    }

  private:
    sqlite3_stmt* s_ = nullptr;
};
