// Hex coding, the AES text seal used for stored passwords and the web address
// table, and the MD5 digest.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised by HexDecode on a character that is not a hex digit.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by OpenSealedText: "Invalid buffer size for decryption" when the data
// after the 8-byte header is not a whole number of 16-byte blocks.
class CipherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class KeyKind : int { Aes128 = 0, Aes192 = 1, Aes256 = 2 };

inline constexpr std::string_view kPasswordKey = "kvw";                              // kind 0
inline constexpr std::string_view kWebAddressKey = "QRNKB574mh2ppp96mhkpoBB__ XPLZ";  // kind 2

std::string HexEncode(std::string_view bytes);  // upper-case, two digits a byte
std::string HexDecode(std::string_view hex);    // pairs; a trailing digit alone is one byte

// Length header (64-bit little-endian) + AES-ECB blocks, last block zero-filled,
// as upper-case hex.
std::string SealText(std::string_view plain, std::string_view key, KeyKind kind);
// All decrypted bytes, padding included; callers trim (TrimBlanks). An empty
// text (an unset value) opens to an empty text; a non-empty one shorter than
// the header raises CipherError like a partial block.
std::string OpenSealedText(std::string_view sealed, std::string_view key, KeyKind kind);

std::string Md5Hex(std::string_view bytes);  // 32 lower-case hex digits
