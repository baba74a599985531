// Chat line HTML: the message body format, emoticon and colour-word codes,
// the lines the client builds itself and which pane a room line goes to.
// Every text is GBK bytes; positions and lengths count bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// `<FONT STYLE="style">text</FONT>`: every chat, horn, notice and auto-reply
// text leaves in this wrapper.
std::string WrapMessageBody(std::string_view fontStyle, std::string_view text);

// The system-message line; `text` is trusted HTML and is not escaped.
std::string FormatSystemMessage(std::string_view text);

// Folders the chat's pictures live in, under AppDir, each with a trailing
// "/" (matched without regard to case, as the data spells them both ways).
std::string EmotionFolder();     // "Emotions/"
std::string VipEmotionFolder();  // "VIPEmotions/"
std::string SealFolder();        // "Seal/"
std::string BadgeFolder();       // "Dat/"
std::string ColorWordFolder();   // "ColorWord/"

// "\e" + NNN (NNN >= 101) becomes the picture NNN-100 of the emoticon folder,
// "\E" + NNN the one of the member folder. Three characters after the marker
// are always consumed; a code below 101 or with non-digits stays as typed.
std::string ExpandEmotionCodes(std::string_view text);
std::string ExpandEmotionCodes(std::string_view text, std::string_view emotionFolder,
                               std::string_view vipFolder);

// `<img src="...Seal/N.png">` with N = id mod 1000; empty below 0.
std::string SealImageHtml(std::int32_t sealId);
// The role badge (roles 25, 49, 50, 100, 200, 235) wins over the level badge
// (levels 1030..1090, 2025, 2030, 2040); empty when neither applies or the
// picture is missing.
std::string BadgeImageHtml(int role, int level);

// The number after "\ColorWord" (its next two characters), or -1.
int ColorWordNumberOf(std::string_view text);
// "\ColorWord" + n: the code a colour word is sent as.
std::string ColorWordCode(int number);

struct TColorWordParty {
    std::string NickName;
    std::int32_t UserId = 0;
    int Role = 0;
    int Level = 0;
    std::int32_t SealId = -1;
};
// The line shown for a colour word; a receiver id of 0 means everybody.
// Nicknames are escaped, the fragment is used as it stands; a seal key of 0
// or less shows no seal.
std::string FormatColorWordLine(const TColorWordParty& sender, const TColorWordParty& receiver,
                                std::string_view colorWordHtml);

// "#RRGGBB" (upper case) of a colour value whose lowest byte is red; bits
// above the 24 colour bits are ignored.
std::string ColorToHtml(std::uint32_t color);

// Trimmed text with every Ctrl+Enter marker "<BR><!--  -->" turned into a blank.
std::string JoinEditorLines(std::string_view text);
// The marker the editor writes for Ctrl+Enter.
inline constexpr std::string_view kEditorLineBreak = "<BR><!--  -->";

// Every filter word, in list order, replaced by "***" (exact bytes, each word
// working on the previous result). Empty words change nothing.
std::string ApplyWordFilter(std::string_view text, const std::vector<std::string>& words);
// The same over the program's FilterWords.
std::string ApplyWordFilter(std::string_view text);

// The line the chat frame shows for a message the user sent: the prefix for
// the target (everybody when targetId is 0), the filtered body with its
// emoticons expanded, and "<BR>". Only ids above 0 can be whispered to.
std::string FormatOwnEchoLine(std::int32_t targetId, std::string_view targetNickName, bool whisper,
                              std::string_view body);

// ReadChatInfo's conversion of the editor's body HTML (the shape a browser
// writes: "<BODY ...>" content "</BODY>", pictures as <IMG src=".../12.gif">)
// into message text: pictures back to emoticon codes, editor line breaks to
// blanks, angle brackets escaped, only the first line kept. No value when a
// picture's number cannot be read.
std::optional<std::string> ConvertEditorHtml(std::string_view bodyHtml);

enum class TChatPane { Public, Private };

struct TRoutedLine {
    TChatPane Pane = TChatPane::Public;
    std::string Html;    // with its "<BR>"
    bool Flash = false;  // private lines flash an inactive window
};

// The masking query: true when the mask kind (0..9) is switched off.
using TMaskQuery = std::function<bool(int maskKind)>;

// The room's line entry: lines of a kind other than 0 pass the word filter;
// public kinds 1, 3, 4 and private kind 2 are dropped when masked (mask kinds
// 0, 2, 3 and 1). No value for a dropped line.
std::optional<TRoutedLine> RouteChatLine(std::string_view html, bool isPublic, std::uint8_t kind,
                                         const TMaskQuery& masked,
                                         const std::vector<std::string>& filterWords);

enum class TElementRewrite {
    InnerToText,  // the inner HTML becomes its text (links turn to plain text)
    EmptyInner,   // the inner HTML goes
};
// Finds the element carrying id="<id>" in one line of HTML, removes the id
// and rewrites its content. False, leaving the line as it was, when no
// element carries that id.
bool RewriteElementById(std::string& html, std::string_view id, TElementRewrite how);

// The `src` values of the img tags of a line, in order.
std::vector<std::string> ImageSources(std::string_view html);
