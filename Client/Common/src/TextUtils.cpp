#include "common/TextUtils.h"

#include "common/GbkText.h"

std::string TrimBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20)
        --e;
    return std::string(text.substr(b, e - b));
}

std::string HtmlEscapeLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    std::size_t crlf = out.find("\r\n");
    if (crlf != std::string::npos)
        out.resize(crlf);
    return out;
}

std::string TruncateText(std::string_view text, int limit) {
    if (static_cast<long long>(text.size()) < limit)
        return std::string(text);
    std::size_t pos = 0;
    const long long stop = static_cast<long long>(limit) - 3;
    while (static_cast<long long>(pos) < stop)
        pos += IsGbkLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    if (pos > text.size())
        pos = text.size();
    return std::string(text.substr(0, pos)) + "...";
}

namespace {
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

// The second byte of a double-byte character may fall in 'A'..'Z'; it is part
// of the character and never folded.
bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsGbkLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsGbkLeadByte(static_cast<unsigned char>(out[i])))
            ++i;
        else
            out[i] = LowerAscii(out[i]);
    }
    return out;
}
