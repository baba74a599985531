#include "foundation/ProfileStore.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "common/Cipher.h"
#include "common/GbkText.h"
#include "common/IniFile.h"
#include "common/TextUtils.h"
#include "foundation/AppPaths.h"
#include "foundation/Globals.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRegistrySection = "Software\\ChatRoom";

std::function<void(const std::string&)>& ProfileSavedHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

std::string& RegistryOverride() {
    static std::string path;
    return path;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

void MakeFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path), ec);
}

std::string UsersFolder() {
    std::string users = AppPath("Users");
    MakeFolders(users);
    return users;
}

// The folder part of a path built by this unit (always "/"-separated).
std::string ParentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool IsPlainAccountName(std::string_view account) {
    if (account.empty() || account == "." || account == "..") {
        return false;
    }
    for (std::size_t i = 0; i < account.size(); ++i) {
        const auto c = static_cast<unsigned char>(account[i]);
        if (c == 0) {
            return false;
        }
        if (IsGbkLeadByte(c) && i + 1 < account.size()) {
            // A trail byte may be 0x5C without being a separator.
            if (account[i + 1] == '\0') {
                return false;
            }
            ++i;
        } else if (c == '/' || c == '\\') {
            return false;
        }
    }
    return true;
}

std::string ProfilePath(std::string_view account) {
    return AppPath("Users/" + std::string(account) + "/Config.dat");
}

std::vector<std::string> ListProfiles() {
    const std::string users = UsersFolder();
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(users), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!IsPlainAccountName(name)) {
            continue;
        }
        const std::string config = ResolvePathUnder(users, name + "/Config.dat");
        if (!Exists(config)) {
            continue;
        }
        if (IniFile(config).ReadString("user", "type", "0") == "guest") {
            continue;
        }
        names.push_back(std::move(name));
    }
    // The order a Windows folder listing gives: by name, ignoring case.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = ToLowerAscii(a);
        const std::string lb = ToLowerAscii(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::optional<TProfileLogin> LoadProfile(std::string_view account) {
    const std::string name = TrimBlanks(account);
    if (!IsPlainAccountName(name)) {
        return std::nullopt;
    }
    const std::string path = ProfilePath(name);
    if (!Exists(path)) {
        return std::nullopt;
    }
    const IniFile ini(path);
    const std::string& def = DefaultFontText();
    UserFonts.Chat = ini.ReadString("Font", "Chat", def);
    UserFonts.Laba = ini.ReadString("Font", "Laba", def);
    UserFonts.RoomNotice = ini.ReadString("Font", "RoomNotice", def);
    UserFonts.SystemNotice = ini.ReadString("Font", "SystemNotice", def);

    TProfileLogin login;
    if (ini.ReadString("user", "isp", "0") == "1") {
        const std::string sealed = ini.ReadString("user", "path", "");
        if (!sealed.empty()) {
            login.Password = TrimBlanks(OpenSealedText(sealed, kPasswordKey, KeyKind::Aes128));
            login.Remember = true;
        }
    }
    return login;
}

void SaveProfileAfterLogin(std::string_view account, std::string_view password, bool remember,
                           bool visitor) {
    const std::string name = TrimBlanks(account);
    UsersFolder();
    if (!IsPlainAccountName(name)) {
        return;
    }
    IniFile(AppPath("lastlogin.dat")).WriteString("lastuser", "userid", name);

    const std::string path = ProfilePath(name);
    if (!Exists(path)) {
        // First login on this machine (or a folder left without its profile).
        MakeFolders(ParentOf(path));
        IniFile created(path);
        created.WriteString("user", "path", "");
        for (const char* key : {"roomfont", "labafont", "notifyfont"}) {
            created.WriteString("font", key, DefaultFontText());
        }
    }
    if (Exists(path)) {
        IniFile ini(path);
        if (visitor) {
            ini.WriteString("user", "type", "guest");
        }
        if (remember) {
            ini.WriteString("user", "path", SealText(password, kPasswordKey, KeyKind::Aes128));
            ini.WriteString("user", "isp", "1");
        } else {
            ini.WriteString("user", "path", "");
            ini.WriteString("user", "isp", "0");
        }
    }
    if (const auto& hook = ProfileSavedHook()) {
        hook(path);
    }
}

void SetProfileSavedHook(std::function<void(const std::string& configPath)> hook) {
    ProfileSavedHook() = std::move(hook);
}

std::string ReadLastUser() {
    return IniFile(AppPath("lastlogin.dat")).ReadString("lastuser", "userid", "");
}

THallServers ReadHallServers() {
    const IniFile ini(AppPath("loginsl.dat"));
    THallServers servers;
    servers.Count = std::clamp(ini.ReadInteger("server", "ServerCount", 0), 0, kMaxHallServers);
    servers.Port = ini.ReadInteger("server", "ServerPort", kDefaultHallPort);
    servers.Hosts.reserve(static_cast<std::size_t>(servers.Count));
    for (int i = 1; i <= servers.Count; ++i) {
        servers.Hosts.push_back(ini.ReadString("server", "Server" + std::to_string(i), ""));
    }
    servers.PromotionId = ini.ReadInteger("Other", "PromotionID", 0);
    return servers;
}

std::string RegistryPath() {
    if (!RegistryOverride().empty()) {
        return RegistryOverride();
    }
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        base = std::string(home) + "/.config";
    } else {
        base = ".config";
    }
    return base + "/ChatRoom/registry.ini";
}

void SetRegistryPathForTests(std::string path) {
    RegistryOverride() = std::move(path);
}

namespace {

IniFile OpenRegistry() {
    std::string path = RegistryPath();
    MakeFolders(ParentOf(path));
    return IniFile(std::move(path));
}

}  // namespace

int ReadNetType() {
    IniFile reg = OpenRegistry();
    if (reg.ValueExists(kRegistrySection, "NetType")) {
        return reg.ReadInteger(kRegistrySection, "NetType", 0);
    }
    reg.WriteInteger(kRegistrySection, "NetType", 0);
    return 0;
}

void WriteNetType(int netType) {
    OpenRegistry().WriteInteger(kRegistrySection, "NetType", netType);
}

int ReadVideoDrvIndex() {
    return OpenRegistry().ReadInteger(kRegistrySection, "VideoDrvIndex", 0);
}

void WriteVideoDrvIndex(int index) {
    OpenRegistry().WriteInteger(kRegistrySection, "VideoDrvIndex", index);
}
