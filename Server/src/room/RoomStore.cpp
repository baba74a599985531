#include "RoomStore.h"

#include <stdexcept>

#include "PasswordHash.h"
#include "SqliteStmt.h"
#include "common/GbkText.h"

namespace roomsvc {

namespace {

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS room_settings (
  room_id INTEGER PRIMARY KEY,
  deputy1 INTEGER NOT NULL DEFAULT 0,
  deputy2 INTEGER NOT NULL DEFAULT 0,
  deputy3 INTEGER NOT NULL DEFAULT 0,
  deputy4 INTEGER NOT NULL DEFAULT 0,
  gift_speed INTEGER NOT NULL DEFAULT 100,
  allow_dice INTEGER NOT NULL DEFAULT 1,
  free_public_mic INTEGER NOT NULL DEFAULT 1,
  free_private_mic INTEGER NOT NULL DEFAULT 1,
  room_closed INTEGER NOT NULL DEFAULT 0,
  allow_color_word INTEGER NOT NULL DEFAULT 1,
  allow_public_chat INTEGER NOT NULL DEFAULT 1,
  allow_private_chat INTEGER NOT NULL DEFAULT 1,
  allow_room_notice INTEGER NOT NULL DEFAULT 1,
  show_enter_leave INTEGER NOT NULL DEFAULT 1,
  greeting TEXT NOT NULL DEFAULT '',
  notice1 TEXT NOT NULL DEFAULT '',
  notice2 TEXT NOT NULL DEFAULT '',
  notice3 TEXT NOT NULL DEFAULT ''
);
CREATE TABLE IF NOT EXISTS room_managers (
  room_id INTEGER NOT NULL,
  user_id INTEGER NOT NULL,
  PRIMARY KEY (room_id, user_id)
);
CREATE TABLE IF NOT EXISTS room_blacklist (
  room_id INTEGER NOT NULL,
  user_id INTEGER NOT NULL,
  PRIMARY KEY (room_id, user_id)
);
CREATE TABLE IF NOT EXISTS room_ip_bans (
  room_id INTEGER NOT NULL,
  ip INTEGER NOT NULL,
  PRIMARY KEY (room_id, ip)
);
CREATE TABLE IF NOT EXISTS room_chat_bans (
  room_id INTEGER NOT NULL,
  user_id INTEGER NOT NULL,
  until_ms INTEGER NOT NULL,
  PRIMARY KEY (room_id, user_id)
);
CREATE TABLE IF NOT EXISTS favorite_rooms (
  user_id INTEGER NOT NULL,
  room_id INTEGER NOT NULL,
  PRIMARY KEY (user_id, room_id)
);
)sql";

std::string ToDb(const std::string& gbk) {
    return GbkToUtf8(gbk);
}
std::string FromDb(const std::string& utf8) {
    return Utf8ToGbk(utf8);
}

}  // namespace

RoomStore::RoomStore(Database& db, unsigned passwordIterations)
    : db_(db), iterations_(passwordIterations) {}

template <typename F>
bool RoomStore::Write(F&& body) {
    return db_.Transaction([&](sqlite3* db) {
        body(db);
        return true;
    });
}

bool RoomStore::CreateSchema(std::string* error) {
    bool ok = db_.Transaction([](sqlite3* db) {
        char* msg = nullptr;
        if (sqlite3_exec(db, kSchema, nullptr, nullptr, &msg) != SQLITE_OK) {
            sqlite3_free(msg);
            return false;
        }
        return true;
    });
    if (!ok && error)
        *error = "cannot create the room tables";
    return ok;
}

std::optional<StoredRoom> RoomStore::LoadRoom(std::int32_t id) {
    return db_.WithConnection([&](sqlite3* db) -> std::optional<StoredRoom> {
        try {
            SqliteStmt s(db,
                         "SELECT r.name, r.owner, r.password_hash, coalesce(s.deputy1,0), "
                         "coalesce(s.deputy2,0), coalesce(s.deputy3,0), coalesce(s.deputy4,0), "
                         "coalesce(s.gift_speed,100), coalesce(s.allow_dice,1), "
                         "coalesce(s.free_public_mic,1), coalesce(s.free_private_mic,1), "
                         "coalesce(s.room_closed,0), coalesce(s.allow_color_word,1), "
                         "coalesce(s.allow_public_chat,1), coalesce(s.allow_private_chat,1), "
                         "coalesce(s.allow_room_notice,1), coalesce(s.show_enter_leave,1), "
                         "coalesce(s.greeting,''), coalesce(s.notice1,''), coalesce(s.notice2,''), "
                         "coalesce(s.notice3,'') "
                         "FROM rooms r LEFT JOIN room_settings s ON s.room_id = r.id WHERE r.id=?");
            s.Bind(1, id);
            if (!s.Step())
                return std::nullopt;
            StoredRoom room;
            room.id = id;
            TRoomInfo& i = room.info;
            i.RoomName.Set(FromDb(s.Text(0)));
            i.OwnerID.Set(static_cast<std::int32_t>(s.Int(1)));
            room.passwordHash = s.Text(2);
            i.HasPassword = room.passwordHash.empty() ? 0 : 1;
            i.Password.Set("");
            i.DeputyID1.Set(static_cast<std::int32_t>(s.Int(3)));
            i.DeputyID2.Set(static_cast<std::int32_t>(s.Int(4)));
            i.DeputyID3.Set(static_cast<std::int32_t>(s.Int(5)));
            i.DeputyID4.Set(static_cast<std::int32_t>(s.Int(6)));
            i.GiftSpeed.Set(static_cast<std::int32_t>(s.Int(7)));
            auto flag = [&](int col) { return static_cast<unsigned char>(s.Int(col) ? 1 : 0); };
            i.AllowDice = flag(8);
            i.FreePublicMic = flag(9);
            i.FreePrivateMic = flag(10);
            i.RoomClosed = flag(11);
            i.AllowColorWord = flag(12);
            i.AllowPublicChat = flag(13);
            i.AllowPrivateChat = flag(14);
            i.AllowRoomNotice = flag(15);
            i.ShowEnterLeave = flag(16);
            room.texts.Greeting.Set(FromDb(s.Text(17)));
            room.texts.Notice1.Set(FromDb(s.Text(18)));
            room.texts.Notice2.Set(FromDb(s.Text(19)));
            room.texts.Notice3.Set(FromDb(s.Text(20)));
            return room;
        } catch (const std::exception&) {
            return std::nullopt;
        }
    });
}

bool RoomStore::SaveRoom(std::int32_t id, const TRoomInfo& i, bool infoChanged,
                         const std::optional<std::string>& newPassword, const TRoomTexts& t,
                         bool textsChanged, std::string* newHash) {
    std::string hash;
    if (newPassword && !newPassword->empty())
        hash = HashPassword(*newPassword, iterations_);
    return Write([&](sqlite3* db) {
        {
            SqliteStmt s(db, "INSERT OR IGNORE INTO room_settings(room_id) VALUES(?)");
            s.Bind(1, id).Step();
        }
        if (infoChanged) {
            SqliteStmt s(db,
                         "UPDATE room_settings SET deputy1=?, deputy2=?, deputy3=?, deputy4=?, "
                         "gift_speed=?, allow_dice=?, free_public_mic=?, free_private_mic=?, "
                         "room_closed=?, allow_color_word=?, allow_public_chat=?, "
                         "allow_private_chat=?, allow_room_notice=?, show_enter_leave=? "
                         "WHERE room_id=?");
            s.Bind(1, i.DeputyID1.Get()).Bind(2, i.DeputyID2.Get()).Bind(3, i.DeputyID3.Get());
            s.Bind(4, i.DeputyID4.Get()).Bind(5, i.GiftSpeed.Get()).Bind(6, i.AllowDice);
            s.Bind(7, i.FreePublicMic).Bind(8, i.FreePrivateMic).Bind(9, i.RoomClosed);
            s.Bind(10, i.AllowColorWord).Bind(11, i.AllowPublicChat).Bind(12, i.AllowPrivateChat);
            s.Bind(13, i.AllowRoomNotice).Bind(14, i.ShowEnterLeave).Bind(15, id);
            s.Step();
            SqliteStmt n(db, "UPDATE rooms SET name=? WHERE id=?");
            n.Bind(1, ToDb(i.RoomName.Get())).Bind(2, id).Step();
            if (newPassword) {
                SqliteStmt p(db, "UPDATE rooms SET password_hash=? WHERE id=?");
                p.Bind(1, hash).Bind(2, id).Step();
            }
        }
        if (textsChanged) {
            SqliteStmt s(db,
                         "UPDATE room_settings SET greeting=?, notice1=?, notice2=?, notice3=? "
                         "WHERE room_id=?");
            s.Bind(1, ToDb(t.Greeting.Get())).Bind(2, ToDb(t.Notice1.Get()));
            s.Bind(3, ToDb(t.Notice2.Get())).Bind(4, ToDb(t.Notice3.Get())).Bind(5, id);
            s.Step();
        }
        if (newHash)
            *newHash = hash;
    });
}

namespace {
template <typename... A>
bool Exists(Database& d, const char* sql, A... args) {
    return d.WithConnection([&](sqlite3* db) {
        try {
            SqliteStmt s(db, sql);
            int i = 1;
            (s.Bind(i++, static_cast<std::int64_t>(args)), ...);
            return s.Step();
        } catch (const std::exception&) {
            return false;
        }
    });
}
}  // namespace

int RoomStore::RoomRole(std::int32_t room, std::int32_t user) {
    return Exists(db_, "SELECT 1 FROM room_managers WHERE room_id=? AND user_id=?", room, user) ? 30
                                                                                                : 0;
}

bool RoomStore::AddRoomManager(std::int32_t room, std::int32_t user) {
    return Write([&](sqlite3* db) {
        SqliteStmt s(db, "INSERT OR IGNORE INTO room_managers(room_id, user_id) VALUES(?,?)");
        s.Bind(1, room).Bind(2, user).Step();
    });
}

bool RoomStore::IsBlacklisted(std::int32_t room, std::int32_t user) {
    return Exists(db_, "SELECT 1 FROM room_blacklist WHERE room_id=? AND user_id=?", room, user);
}

bool RoomStore::AddBlacklist(std::int32_t room, std::int32_t user) {
    return Write([&](sqlite3* db) {
        SqliteStmt s(db, "INSERT OR IGNORE INTO room_blacklist(room_id, user_id) VALUES(?,?)");
        s.Bind(1, room).Bind(2, user).Step();
    });
}

bool RoomStore::IsIpBanned(std::int32_t room, std::uint32_t ip) {
    return Exists(db_, "SELECT 1 FROM room_ip_bans WHERE room_id=? AND ip=?", room,
                  static_cast<std::int64_t>(ip));
}

bool RoomStore::AddIpBan(std::int32_t room, std::uint32_t ip) {
    return Write([&](sqlite3* db) {
        SqliteStmt s(db, "INSERT OR IGNORE INTO room_ip_bans(room_id, ip) VALUES(?,?)");
        s.Bind(1, room).Bind(2, static_cast<std::int64_t>(ip)).Step();
    });
}

std::int64_t RoomStore::ChatBanUntil(std::int32_t room, std::int32_t user) {
    return db_.WithConnection([&](sqlite3* db) -> std::int64_t {
        try {
            SqliteStmt s(db, "SELECT until_ms FROM room_chat_bans WHERE room_id=? AND user_id=?");
            s.Bind(1, room).Bind(2, user);
            return s.Step() ? s.Int(0) : 0;
        } catch (const std::exception&) {
            return 0;
        }
    });
}

bool RoomStore::SetChatBan(std::int32_t room, std::int32_t user, std::int64_t untilMs) {
    return Write([&](sqlite3* db) {
        if (untilMs <= 0) {
            SqliteStmt s(db, "DELETE FROM room_chat_bans WHERE room_id=? AND user_id=?");
            s.Bind(1, room).Bind(2, user).Step();
        } else {
            SqliteStmt s(db,
                         "INSERT OR REPLACE INTO room_chat_bans(room_id, user_id, until_ms) "
                         "VALUES(?,?,?)");
            s.Bind(1, room).Bind(2, user).Bind(3, untilMs).Step();
        }
    });
}

bool RoomStore::AddFavorite(std::int32_t user, std::int32_t room) {
    return Write([&](sqlite3* db) {
        SqliteStmt s(db, "INSERT OR IGNORE INTO favorite_rooms(user_id, room_id) VALUES(?,?)");
        s.Bind(1, user).Bind(2, room).Step();
    });
}

bool RoomStore::IsFavorite(std::int32_t user, std::int32_t room) {
    return Exists(db_, "SELECT 1 FROM favorite_rooms WHERE user_id=? AND room_id=?", user, room);
}

std::optional<std::int32_t> RoomStore::DebitGold(std::int32_t user, std::int32_t amount) {
    std::optional<std::int32_t> balance;
    db_.Transaction([&](sqlite3* db) {
        SqliteStmt s(db, "UPDATE accounts SET gold = gold - ? WHERE number=? AND gold >= ?");
        s.Bind(1, amount).Bind(2, user).Bind(3, amount).Step();
        if (sqlite3_changes(db) != 1)
            return false;
        SqliteStmt g(db, "SELECT gold FROM accounts WHERE number=?");
        g.Bind(1, user);
        if (!g.Step())
            return false;
        balance = static_cast<std::int32_t>(g.Int(0));
        return true;
    });
    return balance;
}

bool RoomStore::UpdateAccount(std::int32_t user, const std::string& nickGbk, int face,
                              const std::string& newDigest) {
    std::string hash = newDigest.empty() ? std::string() : HashPassword(newDigest, iterations_);
    return Write([&](sqlite3* db) {
        SqliteStmt s(db, "UPDATE accounts SET nickname=?, face=? WHERE number=?");
        s.Bind(1, ToDb(nickGbk)).Bind(2, face).Bind(3, user).Step();
        if (!hash.empty()) {
            SqliteStmt p(db, "UPDATE accounts SET password_hash=? WHERE number=?");
            p.Bind(1, hash).Bind(2, user).Step();
        }
    });
}

}  // namespace roomsvc
