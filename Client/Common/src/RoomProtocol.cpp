#include "common/RoomProtocol.h"

#include "common/GbkText.h"
#include "common/TextUtils.h"

namespace room {

std::uint16_t PeekCode(std::string_view record) {
    if (record.size() < 2)
        return 0;
    return static_cast<std::uint16_t>(static_cast<unsigned char>(record[0]) |
                                      (static_cast<unsigned char>(record[1]) << 8));
}

void RecordWriter::Str(const std::string& s, std::size_t max) {
    std::string_view text(s);
    if (auto z = text.find('\0'); z != std::string_view::npos)
        text = text.substr(0, z);
    std::size_t n = text.size() > max ? GbkSafePrefix(text, max) : text.size();
    U16(static_cast<std::uint16_t>(n));
    out_.append(text.data(), n);
    out_.push_back('\0');
}

void RecordReader::Str(std::string& s, std::size_t max) {
    std::uint16_t n = 0;
    U16(n);
    if (!ok_)
        return;
    if (n > max || !Need(std::size_t(n) + 1)) {
        ok_ = false;
        return;
    }
    std::string_view text = data_.substr(pos_, n);
    if (data_[pos_ + n] != '\0' || text.find('\0') != std::string_view::npos) {
        ok_ = false;
        return;
    }
    s.assign(text);
    pos_ += std::size_t(n) + 1;
}

namespace {

bool StartsNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.size() - at >= prefix.size() &&
           EqualsNoCase(text.substr(at, prefix.size()), prefix);
}

std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from) {
    for (std::size_t i = from; i + what.size() <= text.size(); ++i)
        if (StartsNoCase(text, i, what))
            return i;
    return std::string_view::npos;
}

// GBK trail bytes start at 0x40, so quotes and angle brackets are always
// whole characters and a byte scan is safe.
void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
}

}  // namespace

std::string SanitizeBody(std::string_view body) {
    static constexpr std::string_view kOpen = "<FONT STYLE=\"";
    static constexpr std::string_view kClose = "</FONT>";
    std::string out;
    out.reserve(body.size() + 16);
    std::size_t i = 0;
    while (i < body.size()) {
        if (body[i] == '<' && StartsNoCase(body, i, kOpen)) {
            std::size_t styleEnd = body.find("\">", i + kOpen.size());
            std::size_t close = styleEnd == std::string_view::npos
                                    ? std::string_view::npos
                                    : FindNoCase(body, kClose, styleEnd + 2);
            if (close != std::string_view::npos) {
                std::string_view style = body.substr(i + kOpen.size(), styleEnd - i - kOpen.size());
                out += kOpen;
                for (char c : style)
                    if (c != '"' && c != '<' && c != '>')
                        out += c;
                out += "\">";
                AppendEscaped(out, body.substr(styleEnd + 2, close - styleEnd - 2));
                out += kClose;
                i = close + kClose.size();
                continue;
            }
        }
        AppendEscaped(out, body.substr(i, 1));
        ++i;
    }
    return out;
}

}  // namespace room
