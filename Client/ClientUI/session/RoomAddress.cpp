#include "session/RoomAddress.h"

#include <charconv>

namespace {

bool IsBlank(char c) {
    return c != 0 && static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::vector<std::string> SplitDelimitedText(std::string_view text, char delimiter) {
    if (auto zero = text.find('\0'); zero != std::string_view::npos)
        text = text.substr(0, zero);
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n && IsBlank(text[p]))
        ++p;
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            std::size_t start = p;
            while (p<n&& static_cast<unsigned char>(text[p])> ' ' && text[p] != delimiter)
                ++p;
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        while (p < n && IsBlank(text[p]))
            ++p;
        if (p < n && text[p] == delimiter) {
            if (p + 1 == n)
                items.emplace_back();
            do {
                ++p;
            } while (p < n && IsBlank(text[p]));
        }
    }
    return items;
}

std::optional<std::int64_t> ParseDecimal(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::size_t start = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        start = 1;
    }
    if (start == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    auto digits = text.substr(start);
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return negative ? -value : value;
}

TRoomAddressResult ParseRoomAddress(std::string_view address) {
    TRoomAddressResult result;
    auto colon = address.find(':');
    if (colon == std::string_view::npos || address.substr(0, colon) != "room")
        return result;
    result.IsRoomScheme = true;
    auto items = SplitDelimitedText(address.substr(colon + 1));
    if (items.size() < 4) {
        result.Error = "room address with " + std::to_string(items.size()) +
                       " items (4 needed): " + std::string(address);
        return result;
    }
    TRoomCommand cmd;
    auto id = ParseDecimal(items[0]);
    if (id && *id >= INT32_MIN && *id <= INT32_MAX)
        cmd.RoomId = static_cast<std::int32_t>(*id);
    auto hall = ParseDecimal(items[2]);
    if (hall && *hall >= 0 && *hall <= UINT16_MAX)
        cmd.HallValue = static_cast<std::uint16_t>(*hall);
    cmd.HasPassword = items[3] == "1";
    if (items.size() >= 5) {
        cmd.HiddenGiven = true;
        cmd.Hidden = items[4] == "1";
    }
    if (cmd.RoomId < 0) {
        result.Error = "negative room id: " + std::string(address);
        return result;
    }
    result.Command = cmd;
    return result;
}
