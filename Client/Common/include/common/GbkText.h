// GBK text. Inside the program every text is a std::string of GBK bytes;
// conversion to UTF-8 happens only at the widget edge.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when `b` starts a double-byte GBK character (0x81..0xFE).
constexpr bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// GBK bytes to UTF-8. An invalid or truncated sequence becomes U+FFFD (one per
// offending byte) and conversion goes on with the next byte; never throws.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK. A character GBK cannot hold, or an invalid UTF-8 byte,
// becomes "?"; never throws.
std::string Utf8ToGbk(std::string_view utf8);

// The largest prefix length <= maxBytes that does not split a double-byte
// character.
std::size_t GbkSafePrefix(std::string_view gbk, std::size_t maxBytes);
