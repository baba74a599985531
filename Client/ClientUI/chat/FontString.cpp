#include "chat/FontString.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "chat/ChatTexts.h"
#include "common/IniFile.h"
#include "foundation/Globals.h"

namespace {

std::optional<long long> Number(std::string_view s) {
    if (s.empty() || s.size() > 12) {
        return std::nullopt;
    }
    bool negative = false;
    if (s[0] == '-') {
        negative = true;
        s.remove_prefix(1);
        if (s.empty()) {
            return std::nullopt;
        }
    }
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

std::string* StoredFont(TFontKey key) {
    switch (key) {
        case TFontKey::Chat:
            return &UserFonts.Chat;
        case TFontKey::Laba:
            return &UserFonts.Laba;
        case TFontKey::RoomNotice:
            return &UserFonts.RoomNotice;
        case TFontKey::SystemNotice:
            return &UserFonts.SystemNotice;
    }
    return &UserFonts.Chat;
}

}  // namespace

std::optional<TChatFont> ParseFontString(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::vector<std::string_view> fields;
    for (std::size_t pos = 0;;) {
        const std::size_t comma = text.find(',', pos);
        fields.push_back(text.substr(
            pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
        if (comma == std::string_view::npos) {
            break;
        }
        pos = comma + 1;
    }
    if (fields.size() < 6) {
        return std::nullopt;
    }
    const auto size = Number(fields[1]);
    const auto color = Number(fields[2]);
    if (!size || !color || *size < 0 || *size > 1000 || *color < 0 || *color > 0xFFFFFFFFLL) {
        return std::nullopt;
    }
    TChatFont font;
    font.Name = std::string(fields[0]);
    font.Size = static_cast<int>(*size);
    font.Color = static_cast<std::uint32_t>(*color);
    font.Bold = Number(fields[3]) == 1;
    font.Italic = Number(fields[4]) == 1;
    font.Underline = Number(fields[5]) == 1;
    return font;
}

std::string BuildFontString(const TChatFont& font) {
    std::string out = font.Name.empty() ? GbkText("宋体") : font.Name;
    out += ',';
    out += font.Size == 0 ? "9" : std::to_string(font.Size);
    out += ',' + std::to_string(font.Color);
    out += font.Bold ? ",1" : ",0";
    out += font.Italic ? ",1" : ",0";
    out += font.Underline ? ",1" : ",0";
    return out;
}

const char* FontKeyName(TFontKey key) {
    switch (key) {
        case TFontKey::Chat:
            return "Chat";
        case TFontKey::Laba:
            return "Laba";
        case TFontKey::RoomNotice:
            return "RoomNotice";
        case TFontKey::SystemNotice:
            return "SystemNotice";
    }
    return "Chat";
}

bool StoreUserFont(TFontKey key, const std::string& fontString) {
    std::string* stored = StoredFont(key);
    if (*stored == fontString) {
        return false;
    }
    *stored = fontString;
    std::error_code ec;
    if (!CurrentConfigPath.empty() && std::filesystem::is_regular_file(CurrentConfigPath, ec)) {
        IniFile(CurrentConfigPath).WriteString("Font", FontKeyName(key), fontString);
    }
    return true;
}
