// What the room service keeps in the shared database: the rooms' settings and
// texts, room managers, blacklists, IP bans, chat bans and favourites, in
// tables of its own beside the hall's accounts and rooms. Texts are GBK here
// and UTF-8 in the database.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Database.h"
#include "common/EngineRecords.h"

namespace roomsvc {

struct StoredRoom {
    std::int32_t id = 0;
    TRoomInfo info{};  // Password left empty: only its hash is stored
    TRoomTexts texts{};
    std::string passwordHash;
};

class RoomStore {
  public:
    RoomStore(Database& db, unsigned passwordIterations);

    // Creates the service's tables when they are missing.
    bool CreateSchema(std::string* error);

    std::optional<StoredRoom> LoadRoom(std::int32_t id);
    // Writes what changed. `newPassword`: nothing keeps the password, an empty
    // text removes it, anything else replaces it.
    bool SaveRoom(std::int32_t id, const TRoomInfo& info, bool infoChanged,
                  const std::optional<std::string>& newPassword, const TRoomTexts& texts,
                  bool textsChanged, std::string* newHash);

    std::optional<AccountRecord> Account(std::int32_t user) {
        return db_.FindAccountByNumber(user);
    }
    // 30 for a room manager of that room, else 0.
    int RoomRole(std::int32_t room, std::int32_t user);
    bool AddRoomManager(std::int32_t room, std::int32_t user);
    bool IsBlacklisted(std::int32_t room, std::int32_t user);
    bool AddBlacklist(std::int32_t room, std::int32_t user);
    bool IsIpBanned(std::int32_t room, std::uint32_t ip);
    bool AddIpBan(std::int32_t room, std::uint32_t ip);
    // Milliseconds since the epoch until which the user may not chat; 0: none.
    std::int64_t ChatBanUntil(std::int32_t room, std::int32_t user);
    bool SetChatBan(std::int32_t room, std::int32_t user, std::int64_t untilMs);
    bool AddFavorite(std::int32_t user, std::int32_t room);
    bool IsFavorite(std::int32_t user, std::int32_t room);
    // The new balance, or nothing when the gold is short (nothing changes).
    std::optional<std::int32_t> DebitGold(std::int32_t user, std::int32_t amount);
    // Nickname (GBK) and face; a non-empty digest becomes the new password.
    bool UpdateAccount(std::int32_t user, const std::string& nickGbk, int face,
                       const std::string& newDigest);

  private:
    template <typename F>
    bool Write(F&& body);
    Database& db_;
    unsigned iterations_;
};

}  // namespace roomsvc
