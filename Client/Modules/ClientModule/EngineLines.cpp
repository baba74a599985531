#include "EngineLines.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>

#include "common/GbkText.h"
#include "common/RoomProtocol.h"
#include "common/TextUtils.h"

namespace engine {

namespace {

// A UTF-8 literal as GBK, converted once per call site.
#define GBK(utf8)                                             \
    ([]() -> const std::string& {                             \
        static const std::string converted = Utf8ToGbk(utf8); \
        return converted;                                     \
    }())

std::string Sub(const std::string& appDir, std::string_view name) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(appDir, ec)) {
        std::string found = entry.path().filename().string();
        if (EqualsNoCase(found, name))
            return appDir + found + "/";
    }
    return appDir + std::string(name) + "/";
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Quotes too, because nicknames also go inside href attributes.
std::string EscapeNick(std::string_view nick) {
    std::string out;
    for (char c : HtmlEscapeLine(nick)) {
        if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string Link(std::int32_t id, std::string_view nick, const char* cls, bool withId) {
    std::string n = EscapeNick(nick);
    std::string out =
        "<a href=\"id:" + std::to_string(id) + ":" + n + "\" class=\"" + cls + "\">" + n;
    if (withId)
        out += "(" + std::to_string(id) + ")";
    return out + "</a>";
}

std::string Font(const char* cls, std::string_view text) {
    return std::string("<FONT class=\"") + cls + "\">" + std::string(text) + "</FONT>";
}

std::string Body(std::string_view body, const PictureFolders& folders) {
    return ExpandEmotionCodes(room::SanitizeBody(body), folders);
}

std::string Decorated(const LineUser& u, const PictureFolders& folders) {
    // A seal key of 0 or less is no seal at all.
    return (u.seal > 0 ? SealImageHtml(u.seal, folders) : std::string()) +
           BadgeImageHtml(u.role, u.level, folders);
}

std::string ExpandPass(std::string_view text, std::string_view marker, const std::string& folder) {
    std::string out;
    std::size_t pos = 0;
    while (true) {
        std::size_t at = text.find(marker, pos);
        if (at == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        std::string_view digits = text.substr(at + marker.size(), 3);
        int number = 0;
        bool numeric = digits.size() == 3;
        for (char c : digits) {
            if (!std::isdigit(static_cast<unsigned char>(c)))
                numeric = false;
        }
        if (numeric)
            number = std::stoi(std::string(digits));
        std::size_t end = at + marker.size() + digits.size();
        if (number < 101) {
            out.append(text.substr(pos, end - pos));
        } else {
            out.append(text.substr(pos, at - pos));
            out += "<img src=\"" + folder + std::to_string(number - 100) + ".gif\">";
        }
        pos = end;
    }
}

}  // namespace

PictureFolders PictureFolders::Under(const std::string& appDir) {
    return {Sub(appDir, "Emotions"), Sub(appDir, "VIPEmotions"), Sub(appDir, "Seal"),
            Sub(appDir, "Dat")};
}

std::string SystemLine(std::string_view text) {
    return GBK("<FONT STYLE=\"FONT:bold; color: black\">【系统消息】</FONT>") +
           "<FONT STYLE=\"color: black\">" + std::string(text) + "</FONT>";
}

std::string ExpandEmotionCodes(std::string_view text, const PictureFolders& folders) {
    return ExpandPass(ExpandPass(text, "\\e", folders.emotions), "\\E", folders.vipEmotions);
}

std::string SealImageHtml(std::int32_t seal, const PictureFolders& folders) {
    if (seal < 0)
        return {};
    return "<img src=\"" + folders.seal + std::to_string(seal % 1000) + ".png\">";
}

std::string BadgeImageHtml(std::uint16_t role, std::uint16_t level, const PictureFolders& folders) {
    int code = 0;
    if ((level >= 1030 && level <= 1090) || level == 2025 || level == 2030 || level == 2040)
        code = level;
    switch (role & 0xFF) {
        case 25:
        case 49:
        case 50:
        case 100:
        case 200:
        case 235:
            code = role & 0xFF;
            break;
        default:
            break;
    }
    if (code == 0)
        return {};
    std::string path = folders.dat + std::to_string(code) + ".gif";
    return FileExists(path) ? "<img src=\"" + path + "\">" : std::string();
}

std::string ChatLine(const LineUser& from, const LineUser& to, bool whisper, bool autoReply,
                     std::string_view body, const PictureFolders& folders) {
    const char* cls = whisper ? "red" : "nickrgb";
    std::string line = Decorated(from, folders) + Link(from.id, from.nick, cls, true);
    if (to.id == 0) {
        line += Font(cls, GBK(" 对 大家 "));
    } else {
        line += Font(cls, GBK(" 对 ")) + Decorated(to, folders) + Link(to.id, to.nick, cls, false);
    }
    line += Font(cls, whisper ? GBK(" 悄悄说: ") : GBK(" 说: "));
    if (autoReply)
        line += Font("red", GBK("[自动回复]"));
    return line + Body(body, folders);
}

std::string EnterLine(const LineUser& user, const PictureFolders& folders) {
    return Decorated(user, folders) + Link(user.id, user.nick, "nickrgb", true) +
           Font("nickrgb", GBK(" 进入了房间"));
}

std::string LeaveLine(std::int32_t id, std::string_view nick) {
    return Link(id, nick, "nickrgb", true) + Font("nickrgb", GBK(" 离开了房间"));
}

std::string HornLine(std::int32_t id, std::string_view nick, bool world, std::int32_t roomId,
                     std::string_view body, const PictureFolders& folders) {
    std::string label = world ? GBK("【世界喇叭】") : GBK("【小喇叭】");
    std::string line = Font("red", label) + Link(id, nick, "nickrgb", true);
    if (roomId > 0)
        line += Font("nickrgb", "[" + std::to_string(roomId) + "]");
    return line + Font("nickrgb", GBK(" 说: ")) + Body(body, folders);
}

std::string RoomNoticeLine(std::int32_t id, std::string_view nick, std::string_view body,
                           const PictureFolders& folders) {
    return Font("red", GBK("【临时公告】")) + Link(id, nick, "nickrgb", true) +
           Font("nickrgb", ": ") + Body(body, folders);
}

std::string SystemNoticeLine(std::string_view body, const PictureFolders& folders) {
    return Body(body, folders);
}

std::string DiceLine(std::int32_t id, std::string_view nick, int value) {
    return Link(id, nick, "nickrgb", true) +
           Font("nickrgb", GBK(" 掷出了 ") + std::to_string(value) + GBK(" 点"));
}

std::string ShakeLine(std::int32_t id, std::string_view nick) {
    return SystemLine(Link(id, nick, "nickrgb", true) + GBK(" 向您发送了一个窗口抖动。"));
}

std::string ConsentLine(std::int32_t id, std::string_view nick) {
    std::string n = std::to_string(id);
    return "<SPAN id=\"action_" + n + "\">" + Link(id, nick, "nickrgb", true) +
           Font("nickrgb", GBK(" 请求观看您的私麦，")) + "<a href=\"rm:agree_" + n + "\">" +
           GBK("同意") + "</a> <a href=\"rm:refuse_" + n + "\">" + GBK("拒绝") + "</a></SPAN>";
}

std::string PrivateMicLine(std::int32_t id, std::string_view nick, int micType) {
    return Link(id, nick, "nickrgb", true) +
           Font("nickrgb", micType == 3 ? GBK(" 打开了VIP私麦，") : GBK(" 打开了私麦，")) +
           "<a href=\"mic:" + std::to_string(id) + "_0\">" + GBK("点击观看") + "</a>";
}

std::string GreetingLine(std::string_view greeting) {
    static const std::string kMarker = "{style}";
    std::string_view text = greeting, style;
    if (auto at = greeting.find(kMarker); at != std::string_view::npos) {
        text = greeting.substr(0, at);
        style = greeting.substr(at + kMarker.size());
    }
    std::string cleanStyle;
    for (char c : style)
        if (c != '"' && c != '<' && c != '>')
            cleanStyle += c;
    return room::SanitizeBody("<FONT STYLE=\"" + cleanStyle + "\">" + HtmlEscapeLine(text) +
                              "</FONT>");
}

}  // namespace engine
