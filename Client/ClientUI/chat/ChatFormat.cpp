#include "chat/ChatFormat.h"

#include <filesystem>
#include <system_error>

#include "chat/ChatTexts.h"
#include "common/TextUtils.h"
#include "foundation/AppPaths.h"
#include "foundation/Globals.h"

namespace {

// Whole decimal number of 1..n digits, nothing else.
std::optional<int> ParseDigits(std::string_view s) {
    if (s.empty() || s.size() > 9) {
        return std::nullopt;
    }
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        v = v * 10 + (c - '0');
    }
    return v;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from = 0) {
    if (needle.empty()) {
        return from <= hay.size() ? from : std::string_view::npos;
    }
    for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && Lower(hay[i + k]) == Lower(needle[k])) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return;
    }
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos;
         pos = hit + from.size()) {
        out.append(text, pos, hit - pos);
        out += to;
    }
    if (pos == 0) {
        return;
    }
    out.append(text, pos, std::string::npos);
    text = std::move(out);
}

void ExpandPass(std::string_view text, std::string_view marker, std::string_view folder,
                std::string& out) {
    while (true) {
        const std::size_t hit = text.find(marker);
        if (hit == std::string_view::npos) {
            out.append(text);
            return;
        }
        const std::size_t digitsAt = hit + marker.size();
        const std::string_view digits = text.substr(digitsAt, 3);
        const int number = ParseDigits(digits).value_or(0);
        if (number < 101) {
            out.append(text.substr(0, digitsAt + digits.size()));
        } else {
            out.append(text.substr(0, hit));
            out += "<img src=\"";
            out += folder;
            out += std::to_string(number - 100);
            out += ".gif\">";
        }
        text.remove_prefix(digitsAt + digits.size());
    }
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::string WrapMessageBody(std::string_view fontStyle, std::string_view text) {
    std::string out = "<FONT STYLE=\"";
    out += fontStyle;
    out += "\">";
    out += text;
    out += "</FONT>";
    return out;
}

std::string FormatSystemMessage(std::string_view text) {
    std::string out = GbkText(
        "<FONT STYLE=\"FONT:bold; color: black\">【系统消息】</FONT><FONT STYLE=\"color: black\">");
    out += text;
    out += "</FONT>";
    return out;
}

std::string EmotionFolder() {
    return AppPath("Emotions/");
}
std::string VipEmotionFolder() {
    return AppPath("VIPEmotions/");
}
std::string SealFolder() {
    return AppPath("Seal/");
}
std::string BadgeFolder() {
    return AppPath("Dat/");
}
std::string ColorWordFolder() {
    return AppPath("ColorWord/");
}

std::string ExpandEmotionCodes(std::string_view text, std::string_view emotionFolder,
                               std::string_view vipFolder) {
    std::string first;
    first.reserve(text.size());
    ExpandPass(text, "\\e", emotionFolder, first);
    std::string out;
    out.reserve(first.size());
    ExpandPass(first, "\\E", vipFolder, out);
    return out;
}

std::string ExpandEmotionCodes(std::string_view text) {
    // The folders cost a look at the disk; most lines carry no code at all.
    if (text.find('\\') == std::string_view::npos) {
        return std::string(text);
    }
    return ExpandEmotionCodes(text, EmotionFolder(), VipEmotionFolder());
}

std::string SealImageHtml(std::int32_t sealId) {
    if (sealId < 0) {
        return {};
    }
    return "<img src=\"" + SealFolder() + std::to_string(sealId % 1000) + ".png\">";
}

std::string BadgeImageHtml(int role, int level) {
    std::string name;
    if ((level >= 1030 && level <= 1090) || level == 2025 || level == 2030 || level == 2040) {
        name = std::to_string(level);
    }
    switch (role) {
        case 25:
        case 49:
        case 50:
        case 100:
        case 200:
        case 235:
            name = std::to_string(role);
            break;
        default:
            break;
    }
    if (name.empty()) {
        return {};
    }
    const std::string path = BadgeFolder() + name + ".gif";
    if (!FileExists(path)) {
        return {};
    }
    return "<img src=\"" + path + "\">";
}

int ColorWordNumberOf(std::string_view text) {
    static constexpr std::string_view kCode = "\\ColorWord";
    const std::size_t hit = text.find(kCode);
    if (hit == std::string_view::npos) {
        return -1;
    }
    return ParseDigits(text.substr(hit + kCode.size(), 2)).value_or(-1);
}

std::string ColorWordCode(int number) {
    return "\\ColorWord" + std::to_string(number);
}

namespace {

// The engine's seal key 0 means "no seal" (there is no picture 0): the line
// shows nothing there, as the engine's own chat lines do.
std::string PartySeal(std::int32_t sealKey) {
    return sealKey > 0 ? SealImageHtml(sealKey) : std::string();
}

}  // namespace

std::string FormatColorWordLine(const TColorWordParty& sender, const TColorWordParty& receiver,
                                std::string_view colorWordHtml) {
    const std::string senderNick = HtmlEscapeLine(sender.NickName);
    const std::string senderId = std::to_string(sender.UserId);
    std::string out = PartySeal(sender.SealId);
    out += BadgeImageHtml(sender.Role, sender.Level);
    out += "<a href=\"id:" + senderId + ":" + senderNick + "\" class=\"nickrgb\">" + senderNick +
           "(" + senderId + ")</a>";
    if (receiver.UserId == 0) {
        out += GbkText("<FONT class=\"nickrgb\"> 对 大家 </FONT>");
    } else {
        const std::string receiverNick = HtmlEscapeLine(receiver.NickName);
        out += GbkText("<FONT class=\"nickrgb\"> 对 </FONT>");
        out += PartySeal(receiver.SealId);
        out += BadgeImageHtml(receiver.Role, receiver.Level);
        out += "<a href=\"id:" + std::to_string(receiver.UserId) + ":" + receiverNick +
               "\" class=\"nickrgb\">" + receiverNick + "</a>";
    }
    out += GbkText("<FONT class=\"nickrgb\"> 说: </FONT>");
    out += colorWordHtml;
    return out;
}

std::string ColorToHtml(std::uint32_t color) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::uint32_t rgb = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    std::string out = "#";
    for (int shift = 20; shift >= 0; shift -= 4) {
        out += kHex[(rgb >> shift) & 0xF];
    }
    return out;
}

std::string JoinEditorLines(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    std::string out = TrimBlanks(text);
    ReplaceAll(out, kEditorLineBreak, " ");
    return out;
}

std::string ApplyWordFilter(std::string_view text, const std::vector<std::string>& words) {
    std::string out(text);
    for (const std::string& word : words) {
        ReplaceAll(out, word, "***");
    }
    return out;
}

std::string ApplyWordFilter(std::string_view text) {
    return ApplyWordFilter(text, FilterWords);
}

std::string FormatOwnEchoLine(std::int32_t targetId, std::string_view targetNickName, bool whisper,
                              std::string_view body) {
    std::string out;
    if (targetId > 0) {
        const std::string id = std::to_string(targetId);
        const std::string link = "<a href=\"id:" + id + ":" + std::string(targetNickName) + "\"";
        const std::string shown = std::string(targetNickName) + "(" + id + ")";
        if (whisper) {
            out = GbkText("<FONT class=\"red\">您 对 </FONT>") + link + " class=\"red\">" + shown +
                  GbkText("</a><FONT class=\"red\"> 悄悄说: </FONT>");
        } else {
            out = GbkText("<FONT class=\"nickrgb\">您 对 </FONT>") + link + " class=\"nickrgb\">" +
                  shown + GbkText("</a><FONT class=\"nickrgb\"> 说:</FONT> ");
        }
    } else {
        out = GbkText("<FONT class=\"nickrgb\">您 对 大家 说:</FONT> ");
    }
    out += ExpandEmotionCodes(ApplyWordFilter(body));
    out += "<BR>";
    return out;
}

std::optional<std::string> ConvertEditorHtml(std::string_view html) {
    std::string_view body = html;
    if (const std::size_t open = body.find("<BODY"); open != std::string_view::npos) {
        body.remove_prefix(open + 5);
        const std::size_t gt = body.find('>');
        body.remove_prefix(gt == std::string_view::npos ? body.size() : gt + 1);
        if (const std::size_t close = body.find("</BODY>"); close != std::string_view::npos) {
            body = body.substr(0, close);
        }
    }
    if (const std::size_t p = body.find("<P>"); p != std::string_view::npos) {
        body.remove_prefix(p + 3);
        if (const std::size_t close = body.find("</P>"); close != std::string_view::npos) {
            body = body.substr(0, close);
        }
    }
    std::string text(body);
    for (std::size_t hit; (hit = FindNoCase(text, "&nbsp;")) != std::string::npos;) {
        text.erase(hit, 6);
    }

    static constexpr std::string_view kPictureEnd = ".gif\">";
    std::string out;
    std::string_view rest = text;
    for (std::size_t img; (img = rest.find("<IMG")) != std::string_view::npos;) {
        out.append(rest.substr(0, img));
        rest.remove_prefix(img + 4);
        const std::size_t end = rest.find(kPictureEnd);
        if (end == std::string_view::npos) {
            break;
        }
        std::string_view number = rest.substr(end >= 4 ? end - 4 : 0, end >= 4 ? 4 : end);
        if (const std::size_t slash = number.find('/'); slash != std::string_view::npos) {
            number.remove_prefix(slash + 1);
        }
        const std::optional<int> n = ParseDigits(number);
        if (!n) {
            return std::nullopt;
        }
        const bool vip = FindNoCase(rest.substr(0, end), "VIPEmotions") != std::string_view::npos;
        out += vip ? "\\E" : "\\e";
        out += std::to_string(*n + 100);
        rest.remove_prefix(end + kPictureEnd.size());
    }
    out.append(rest);

    std::string result = HtmlEscapeLine(JoinEditorLines(out));
    if (TrimBlanks(result).empty()) {
        return std::string();
    }
    return result;
}

std::optional<TRoutedLine> RouteChatLine(std::string_view html, bool isPublic, std::uint8_t kind,
                                         const TMaskQuery& masked,
                                         const std::vector<std::string>& filterWords) {
    int maskKind = -1;
    if (isPublic) {
        maskKind = kind == 1 ? 0 : kind == 3 ? 2 : kind == 4 ? 3 : -1;
    } else if (kind == 2) {
        maskKind = 1;
    }
    if (maskKind >= 0 && masked && masked(maskKind)) {
        return std::nullopt;
    }
    TRoutedLine line;
    line.Pane = isPublic ? TChatPane::Public : TChatPane::Private;
    line.Html = kind != 0 ? ApplyWordFilter(html, filterWords) : std::string(html);
    line.Html += "<BR>";
    line.Flash = !isPublic;
    return line;
}

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == ':';
}

// The end of the tag that starts at `lt` (the position after its ">"), with
// quoted attribute values skipped; npos when the tag never closes.
std::size_t TagEnd(std::string_view html, std::size_t lt) {
    char quote = 0;
    for (std::size_t i = lt + 1; i < html.size(); ++i) {
        const char c = html[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

struct TAttr {
    std::size_t Begin = 0;  // first blank before the name
    std::size_t End = 0;    // after the value
    std::string Name;
    std::string Value;
};

// Attributes of the tag html[lt, end).
std::vector<TAttr> TagAttributes(std::string_view html, std::size_t lt, std::size_t end) {
    std::vector<TAttr> attrs;
    std::size_t i = lt + 1;
    while (i < end && IsNameChar(html[i])) {
        ++i;
    }
    const std::size_t stop = end - 1;  // the ">"
    while (i < stop) {
        const std::size_t begin = i;
        while (i < stop && IsSpace(html[i])) {
            ++i;
        }
        const std::size_t nameAt = i;
        while (i < stop && !IsSpace(html[i]) && html[i] != '=' && html[i] != '/') {
            ++i;
        }
        if (i == nameAt) {
            ++i;
            continue;
        }
        TAttr a;
        a.Begin = begin;
        a.Name = ToLowerAscii(html.substr(nameAt, i - nameAt));
        while (i < stop && IsSpace(html[i])) {
            ++i;
        }
        if (i < stop && html[i] == '=') {
            ++i;
            while (i < stop && IsSpace(html[i])) {
                ++i;
            }
            if (i < stop && (html[i] == '"' || html[i] == '\'')) {
                const char q = html[i++];
                const std::size_t v = i;
                while (i < stop && html[i] != q) {
                    ++i;
                }
                a.Value = std::string(html.substr(v, i - v));
                if (i < stop) {
                    ++i;
                }
            } else {
                const std::size_t v = i;
                while (i < stop && !IsSpace(html[i])) {
                    ++i;
                }
                a.Value = std::string(html.substr(v, i - v));
            }
        }
        a.End = i;
        attrs.push_back(std::move(a));
    }
    return attrs;
}

std::string TagName(std::string_view html, std::size_t lt) {
    std::size_t i = lt + 1;
    while (i < html.size() && IsNameChar(html[i])) {
        ++i;
    }
    return ToLowerAscii(html.substr(lt + 1, i - lt - 1));
}

// The text of an HTML piece: tags dropped, entities kept as they stand.
std::string TextOf(std::string_view html) {
    std::string out;
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            const std::size_t end = TagEnd(html, i);
            if (end == std::string_view::npos) {
                break;
            }
            i = end;
        } else {
            out += html[i++];
        }
    }
    return out;
}

}  // namespace

bool RewriteElementById(std::string& html, std::string_view id, TElementRewrite how) {
    for (std::size_t lt = html.find('<'); lt != std::string::npos; lt = html.find('<', lt + 1)) {
        if (lt + 1 >= html.size() || !IsNameChar(html[lt + 1])) {
            continue;
        }
        const std::size_t end = TagEnd(html, lt);
        if (end == std::string::npos) {
            return false;
        }
        for (const TAttr& a : TagAttributes(html, lt, end)) {
            if (a.Name != "id" || a.Value != id) {
                continue;
            }
            const std::string name = TagName(html, lt);
            // Matching close tag, counting nested elements of the same name.
            int depth = 1;
            std::size_t close = std::string::npos;
            for (std::size_t p = html.find('<', end); p != std::string::npos;
                 p = html.find('<', p + 1)) {
                const bool closing = p + 1 < html.size() && html[p + 1] == '/';
                const std::size_t nameAt = closing ? p + 1 : p;
                if (TagName(html, nameAt) != name) {
                    continue;
                }
                if (closing) {
                    if (--depth == 0) {
                        close = p;
                        break;
                    }
                } else {
                    ++depth;
                }
            }
            const std::size_t innerEnd = close == std::string::npos ? end : close;
            const std::string inner =
                how == TElementRewrite::InnerToText ? TextOf(html.substr(end, innerEnd - end)) : "";
            html.replace(end, innerEnd - end, inner);
            html.erase(a.Begin, a.End - a.Begin);
            return true;
        }
        lt = end - 1;
    }
    return false;
}

std::vector<std::string> ImageSources(std::string_view html) {
    std::vector<std::string> out;
    for (std::size_t lt = FindNoCase(html, "<img"); lt != std::string_view::npos;
         lt = FindNoCase(html, "<img", lt + 4)) {
        const std::size_t end = TagEnd(html, lt);
        if (end == std::string_view::npos) {
            break;
        }
        if (TagName(html, lt) != "img") {
            continue;
        }
        for (const TAttr& a : TagAttributes(html, lt, end)) {
            if (a.Name == "src") {
                out.push_back(a.Value);
                break;
            }
        }
    }
    return out;
}
