// Reading the small catalogue files: a child element's text, trimmed and cut
// to its field's width without splitting a double-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class XMLTag;

// The first text or character-data section of the child, trimmed, at most
// `width` bytes; empty when the child is missing.
std::string ChildText(const XMLTag& parent, std::string_view child, std::size_t width);
