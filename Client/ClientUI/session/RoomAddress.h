// The lobby's room commands: addresses of the form
// "room:<id>,<unused>,<hall value>,<password flag>[,<hidden flag>]".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Splits like a delimited text list: items end at the delimiter or at any
// blank or control character, blanks around items are dropped, an item in
// double quotes may hold them (a doubled quote inside stands for one), and a
// delimiter at the very end adds an empty item. A zero byte ends the text.
std::vector<std::string> SplitDelimitedText(std::string_view text, char delimiter = ',');

// Whole-text decimal integer with an optional sign; nothing otherwise.
std::optional<std::int64_t> ParseDecimal(std::string_view text);

inline constexpr std::uint16_t kDefaultHallValue = 10086;

struct TRoomCommand {
    std::int32_t RoomId = 0;  // 0 when item 0 is not a number
    std::uint16_t HallValue = kDefaultHallValue;
    bool HasPassword = false;  // item 3 is "1"
    bool HiddenGiven = false;  // the address carries item 4
    bool Hidden = false;       // item 4 is "1"
};

struct TRoomAddressResult {
    std::optional<TRoomCommand> Command;  // set when the address is a usable room command
    bool IsRoomScheme = false;            // the scheme is exactly "room"
    std::string Error;                    // why a room address was refused (for the log)
};

// Scheme = the text before the first ":"; only the exact scheme "room" is a
// room command. An address with fewer than four items is refused as a whole,
// before anything is asked, so no prompt runs for a room that cannot open.
TRoomAddressResult ParseRoomAddress(std::string_view address);
