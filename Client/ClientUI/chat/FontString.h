// The font string: "name,size,colour,bold,italic,underline" (colour as the
// decimal colour value with red in the lowest byte, flags "1" or "0"). It is
// how a chosen font travels and how the profile stores it ("Font" section).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TChatFont {
    std::string Name;
    int Size = 9;
    std::uint32_t Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;

    // The style set of the editor's SetChatFont (bold 1, italic 2, underline 4).
    int Styles() const { return (Bold ? 1 : 0) | (Italic ? 2 : 0) | (Underline ? 4 : 0); }
    bool operator==(const TChatFont&) const = default;
};

// No value for an empty string, fewer than six fields, or a size or colour
// that is not a number: stored strings are always written by BuildFontString,
// so anything else is damage and the previous font stays.
std::optional<TChatFont> ParseFontString(std::string_view text);
// An empty name is written as "宋体", a size of 0 as "9".
std::string BuildFontString(const TChatFont& font);

enum class TFontKey { Chat, Laba, RoomNotice, SystemNotice };
// The profile key of each stored font.
const char* FontKeyName(TFontKey key);

// A window's font changed: when the string differs from the stored one it
// becomes the stored one and, if the current profile file exists, is written
// to its "Font" section (a font change never creates the profile). Returns
// true when the stored string changed.
bool StoreUserFont(TFontKey key, const std::string& fontString);
