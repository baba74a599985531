// The hall's rules about rooms and room servers, free of any window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// May a user with this level and role open one more room while
// `openRooms` room windows are open?
bool RoomAllowed(std::uint16_t level, std::uint16_t role, int openRooms);

// The text shown when RoomAllowed refuses (plain users are offered the
// membership, everybody else a higher level). GBK.
std::string RoomLimitMessage(std::uint16_t role);

// Users who may enter rooms hidden; they also enter password rooms without
// being asked for the password.
bool HasHiddenRight(std::uint16_t role, std::uint16_t level);

struct TRoomServer {
    std::uint32_t Address = 0;  // IPv4, network byte order
    std::int32_t LineType = 0;
};

// One "address,linetype" entry of the login reply. Nothing when the entry is
// empty, has fewer than two items, a line type that is not a number, or an
// address that does not resolve.
std::optional<TRoomServer> ParseRoomServerEntry(std::string_view entry,
                                                std::uint32_t (*resolve)(std::string_view));

// Adds a server: those on the user's own line come first (each new one in
// front of the earlier ones), the others follow in arrival order.
void AddRoomServer(std::vector<TRoomServer>& servers, const TRoomServer& server,
                   std::uint16_t userLineType);

// The reconnect interval the hall gives a room window.
inline int RoomReconnectInterval(std::size_t serverCount) {
    return 8000 * static_cast<int>(serverCount);
}
