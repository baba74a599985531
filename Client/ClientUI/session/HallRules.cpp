#include "session/HallRules.h"

#include <algorithm>
#include <initializer_list>

#include "common/GbkText.h"
#include "common/TextUtils.h"
#include "session/RoomAddress.h"

namespace {

bool OneOf(int v, std::initializer_list<int> set) {
    return std::find(set.begin(), set.end(), v) != set.end();
}

}  // namespace

bool RoomAllowed(std::uint16_t level, std::uint16_t role, int openRooms) {
    if (OneOf(role, {60, 70, 100, 200, 235, 255}))
        return true;
    if (OneOf(level, {1010, 1020, 2010, 2011, 2012}))
        return openRooms < 2;
    if (OneOf(level, {1030, 1040, 2013, 2014, 2025, 2030, 2040}) ||
        (level >= 1050 && level <= 1090) || (level >= 2016 && level <= 2023))
        return true;
    return openRooms < 1;
}

std::string RoomLimitMessage(std::uint16_t role) {
    static const std::string plain =
        Utf8ToGbk("不能进入更多的房间了！\n\r如需进入更多房间，请购买会员.");
    static const std::string other = Utf8ToGbk("不能进入更多的房间了！请提升您的用户等级.");
    return role == 1 ? plain : other;
}

bool HasHiddenRight(std::uint16_t role, std::uint16_t level) {
    return OneOf(role, {255, 70, 235}) || (role == 10 && level >= 1050);
}

std::optional<TRoomServer> ParseRoomServerEntry(std::string_view entry,
                                                std::uint32_t (*resolve)(std::string_view)) {
    std::string trimmed = TrimBlanks(entry);
    if (trimmed.empty())
        return std::nullopt;
    auto items = SplitDelimitedText(trimmed);
    if (items.size() < 2)
        return std::nullopt;
    auto line = ParseDecimal(items[1]);
    if (!line || *line < INT32_MIN || *line > INT32_MAX)
        return std::nullopt;
    std::uint32_t address = resolve(items[0]);
    if (address == 0)
        return std::nullopt;
    return TRoomServer{address, static_cast<std::int32_t>(*line)};
}

void AddRoomServer(std::vector<TRoomServer>& servers, const TRoomServer& server,
                   std::uint16_t userLineType) {
    if (static_cast<std::uint16_t>(server.LineType) == userLineType)
        servers.insert(servers.begin(), server);
    else
        servers.push_back(server);
}
