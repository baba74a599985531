#include "common/GbkText.h"

#include <iconv.h>

#include <cerrno>

namespace {

// One conversion handle per direction and thread: iconv handles carry state
// and opening them costs a module lookup.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns false at an invalid or truncated
    // sequence, leaving `in` on its first byte.
    bool Convert(const char*& in, std::size_t& inLeft, std::string& out) {
        char buf[1024];
        while (inLeft > 0) {
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            std::size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
                return false;
            }
        }
        return true;
    }

  private:
    iconv_t cd_;
};

// Length of the well-formed UTF-8 sequence at `p`, or 0 when it is not one.
std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t left) {
    unsigned char b = p[0];
    std::size_t n;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        n = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        n = 3;
    else if (b >= 0xF0 && b <= 0xF4)
        n = 4;
    else
        return 0;
    if (left < n)
        return 0;
    // Overlong forms, surrogates and values past U+10FFFF are broken bytes too.
    unsigned char lo = 0x80, hi = 0xBF;
    if (b == 0xE0)
        lo = 0xA0;
    else if (b == 0xED)
        hi = 0x9F;
    else if (b == 0xF0)
        lo = 0x90;
    else if (b == 0xF4)
        hi = 0x8F;
    if (p[1] < lo || p[1] > hi)
        return 0;
    for (std::size_t i = 2; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    return n;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    thread_local Converter conv("UTF-8", "GBK");
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    const char* in = gbk.data();
    std::size_t left = gbk.size();
    if (!conv.Ok()) {
        // Without a converter only ASCII survives; nothing is dropped silently.
        for (unsigned char c : gbk)
            out += c < 0x80 ? std::string(1, char(c)) : "\xEF\xBF\xBD";
        return out;
    }
    while (left > 0) {
        if (conv.Convert(in, left, out))
            break;
        out += "\xEF\xBF\xBD";
        ++in;
        --left;
    }
    return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
    thread_local Converter conv("GBK", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    if (!conv.Ok()) {
        for (unsigned char c : utf8)
            out += c < 0x80 ? char(c) : '?';
        return out;
    }
    while (left > 0) {
        if (conv.Convert(in, left, out))
            break;
        // One "?" for a whole character GBK lacks, one per byte of broken UTF-8.
        std::size_t n = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(in), left);
        if (n == 0)
            n = 1;
        out += '?';
        in += n;
        left -= n;
    }
    return out;
}

std::size_t GbkSafePrefix(std::string_view gbk, std::size_t maxBytes) {
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        std::size_t step =
            IsGbkLeadByte(static_cast<unsigned char>(gbk[pos])) && pos + 1 < gbk.size() ? 2 : 1;
        if (pos + step > maxBytes)
            break;
        pos += step;
    }
    return pos;
}
