// Process-wide plain data shared by every window. Text values are GBK bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The four font description texts of the logged-in profile ("name,size,colour,
// bold,italic,underline").
struct TUserFont {
    std::string Chat;
    std::string Laba;
    std::string RoomNotice;
    std::string SystemNotice;
};

// Program folder with a trailing "/"; every data file is addressed relative to
// it. Set by the data module at start-up (tests assign it).
extern std::string AppDir;
// The account text typed at the successful login.
extern std::string CurrentUserId;
// AppDir + "Users/" + user number + "/Config.dat", set by the login reply.
extern std::string CurrentConfigPath;
// The user's network line type, from the login reply.
extern std::uint16_t UserLineType;
extern TUserFont UserFonts;
// One filter word per line of "Filter.txt".
extern std::vector<std::string> FilterWords;

// "宋体,9,0,0,0,0" in GBK: the font text every profile font defaults to.
const std::string& DefaultFontText();

// Full path of the running executable, and its folder with a trailing "/".
std::string ProgramFilePath();
std::string ProgramFolder();
