// Local profiles ("Users/<account>/Config.dat"), the last login, the hall
// server list and the per-user settings store. Text is GBK.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Accounts with a profile, in case-insensitive name order; visitor profiles
// ("user"/"type" exactly "guest") are left out. Creates AppDir + "Users" when
// missing.
std::vector<std::string> ListProfiles();

struct TProfileLogin {
    bool Remember = false;
    std::string Password;  // plain, trimmed; empty unless remembered
};

// Reads the profile of `account` (trimmed): fills UserFonts from its "Font"
// keys and returns the remembered-password state. No profile: nothing changes
// and the result is empty. A sealed password that cannot be opened throws
// (ConvertError or CipherError) for the application handler to log; the fonts
// are loaded before that, so a damaged password does not cost the fonts.
std::optional<TProfileLogin> LoadProfile(std::string_view account);

// On login success: remembers the account in "lastlogin.dat", creates the
// profile on first login, marks visitor profiles, stores or clears the sealed
// password, then calls the profile-saved hook with the profile path. An empty
// account, or one that is not a plain folder name ("..", a separator), saves
// nothing.
void SaveProfileAfterLogin(std::string_view account, std::string_view password, bool remember,
                           bool visitor);

// Called by SaveProfileAfterLogin with the path of the saved "Config.dat" (the
// masking settings load and write back their flags there). Empty clears it.
void SetProfileSavedHook(std::function<void(const std::string& configPath)> hook);

// AppDir + "Users/" + account + "/Config.dat".
std::string ProfilePath(std::string_view account);
// True when `account` can name a folder under "Users": not empty, not "." or
// "..", no "/" or "\" separator and no zero byte.
bool IsPlainAccountName(std::string_view account);

// "lastlogin.dat" "lastuser"/"userid", empty by default.
std::string ReadLastUser();

inline constexpr int kDefaultHallPort = 7400;
// More hall servers than this are never listed; a larger count is clamped.
inline constexpr int kMaxHallServers = 255;

struct THallServers {
    int Count = 0;                   // "server"/"ServerCount", 0..kMaxHallServers
    int Port = kDefaultHallPort;     // "server"/"ServerPort"
    std::vector<std::string> Hosts;  // "Server1".."Server<Count>", Count entries
    int PromotionId = 0;             // "Other"/"PromotionID"
};
// The hall server list of AppDir + "loginsl.dat".
THallServers ReadHallServers();

// Per-user settings (the key "\Software\ChatRoom" of the user's hive): an INI
// file at $XDG_CONFIG_HOME (or ~/.config) + "/ChatRoom/registry.ini", section
// "Software\ChatRoom".
std::string RegistryPath();
// Tests point the store at a file of their own; empty restores the default.
void SetRegistryPathForTests(std::string path);

// "NetType": 0 = telecom, 1 = netcom. Written as 0 when missing.
int ReadNetType();
void WriteNetType(int netType);
// "VideoDrvIndex", 0 when missing.
int ReadVideoDrvIndex();
void WriteVideoDrvIndex(int index);
