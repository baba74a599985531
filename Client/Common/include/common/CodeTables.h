// Display texts of the role, level, star and mic-type codes (GBK).
#pragma once

#include <cstdint>
#include <string>

std::string RoleName(std::uint8_t role);
std::string LevelName(std::uint16_t level);
std::string StarName(std::uint16_t star);
std::string MicTypeName(int micType);
// The one-line title shown for a user.
std::string LevelTitle(std::uint8_t role, std::uint16_t level, std::uint16_t star);
bool IsPrivileged(std::uint8_t role, std::uint16_t level);
