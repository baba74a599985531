// Small text helpers over GBK byte strings.
#pragma once

#include <string>
#include <string_view>

// Removes leading and trailing bytes up to and including the blank (control
// characters and zero bytes among them).
std::string TrimBlanks(std::string_view text);

// Angle brackets escaped; only what precedes the first CR LF is kept.
std::string HtmlEscapeLine(std::string_view text);

// Texts shorter than `limit` bytes come back unchanged; longer ones are cut
// before byte limit-3 on a character boundary and get "...".
std::string TruncateText(std::string_view text, int limit);

// Case-insensitive (ASCII) comparison helpers.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);
