// The finished HTML lines the engine hands to the room's OnMessage and OnHorn.
// Nicknames are escaped here; message bodies are sanitised before they are
// placed, so nothing a sender types becomes markup other than font runs and
// the emoticon pictures expanded from their codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// Where the pictures referred to by the lines live: the program folder with
// its sub-folders as they are spelled on disk.
struct PictureFolders {
    std::string emotions;     // ".../Emotions/"
    std::string vipEmotions;  // ".../VIPEmotions/"
    std::string seal;         // ".../Seal/"
    std::string dat;          // ".../Dat/"

    // `appDir` ends with "/"; each sub-folder is matched without regard to case.
    static PictureFolders Under(const std::string& appDir);
};

struct LineUser {
    std::int32_t id = 0;
    std::string nick;
    std::uint16_t role = 0;
    std::uint16_t level = 0;
    std::int32_t seal = -1;
};

std::string SystemLine(std::string_view text);
std::string ExpandEmotionCodes(std::string_view text, const PictureFolders& folders);
std::string SealImageHtml(std::int32_t seal, const PictureFolders& folders);
std::string BadgeImageHtml(std::uint16_t role, std::uint16_t level, const PictureFolders& folders);

// Chat from `from` to `to` (id 0: everybody). Whispers are the addressee's
// private line; the rest are public lines.
std::string ChatLine(const LineUser& from, const LineUser& to, bool whisper, bool autoReply,
                     std::string_view body, const PictureFolders& folders);
std::string EnterLine(const LineUser& user, const PictureFolders& folders);
std::string LeaveLine(std::int32_t id, std::string_view nick);
std::string HornLine(std::int32_t id, std::string_view nick, bool world, std::int32_t roomId,
                     std::string_view body, const PictureFolders& folders);
std::string RoomNoticeLine(std::int32_t id, std::string_view nick, std::string_view body,
                           const PictureFolders& folders);
std::string SystemNoticeLine(std::string_view body, const PictureFolders& folders);
std::string DiceLine(std::int32_t id, std::string_view nick, int value);
std::string ShakeLine(std::int32_t id, std::string_view nick);
// The consent request shown to the holder of a type-4 mic: agree and refuse
// links inside the element "action_<id>", which the room turns into text once
// one of them was clicked.
std::string ConsentLine(std::int32_t id, std::string_view nick);
// A user opened a private mic: a line with the link that connects to it.
std::string PrivateMicLine(std::int32_t id, std::string_view nick, int micType);
// The greeting: "text{style}style" shows the text in that style.
std::string GreetingLine(std::string_view greeting);

}  // namespace engine
