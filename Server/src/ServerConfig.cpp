#include "ServerConfig.h"

#include <charconv>
#include <filesystem>
#include <string_view>

#include "common/IniFile.h"

const char* const kServerUsage =
    "usage: ChatRoomServer [--data DIR] [--host ADDRESS] [--hall-port N] [--web-port N]\n"
    "                      [--room-port N] [--config FILE]\n";

std::string ServerConfig::AdvertisedHost() const {
    if (host.empty() || host == "0.0.0.0")
        return "127.0.0.1";
    return host;
}

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& out, T min, T max) {
    long long v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size())
        return false;
    if (v < static_cast<long long>(min) || v > static_cast<long long>(max))
        return false;
    out = static_cast<T>(v);
    return true;
}

// One setting by its flag name; false when the value does not fit.
bool ApplySetting(std::string_view name, std::string_view value, ServerConfig& c) {
    if (name == "data") {
        c.dataDir = std::string(value);
        return !value.empty();
    }
    if (name == "host") {
        c.host = std::string(value);
        return !value.empty();
    }
    if (name == "hall-port")
        return ParseNumber<std::uint16_t>(value, c.hallPort, 0, 65535);
    if (name == "web-port")
        return ParseNumber<std::uint16_t>(value, c.webPort, 0, 65535);
    if (name == "room-port")
        return ParseNumber<std::uint16_t>(value, c.roomPort, 0, 65535);
    if (name == "max-connections")
        return ParseNumber<std::size_t>(value, c.maxConnections, 1, 100000);
    if (name == "max-bytes-per-connection")
        return ParseNumber<std::size_t>(value, c.maxBytesPerConnection, 1024, 1 << 26);
    if (name == "idle-timeout-ms")
        return ParseNumber<unsigned>(value, c.idleTimeoutMs, 100, 3600000);
    if (name == "password-iterations")
        return ParseNumber<unsigned>(value, c.passwordIterations, 1000, 10000000);
    if (name == "visitors-per-minute")
        return ParseNumber<unsigned>(value, c.visitorsPerMinute, 0, 100000);
    return false;
}

const char* const kFileKeys[] = {"host",
                                 "hall-port",
                                 "web-port",
                                 "room-port",
                                 "max-connections",
                                 "max-bytes-per-connection",
                                 "idle-timeout-ms",
                                 "password-iterations",
                                 "visitors-per-minute"};

}  // namespace

std::optional<std::string> ApplyConfigFile(const std::string& path, ServerConfig& config) {
    if (!std::filesystem::exists(path))
        return std::nullopt;
    IniFile ini(path);
    for (const char* key : kFileKeys) {
        if (!ini.ValueExists("server", key))
            continue;
        std::string value = ini.ReadString("server", key, "");
        if (!ApplySetting(key, value, config))
            return path + ": bad value for " + key + ": " + value;
    }
    return std::nullopt;
}

std::optional<std::string> ParseServerArgs(int argc, const char* const* argv,
                                           ServerConfig& config) {
    std::vector<std::pair<std::string, std::string>> flags;
    std::string configFile;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return std::string(kServerUsage);
        if (arg.substr(0, 2) != "--" || i + 1 >= argc)
            return "unknown or incomplete option: " + std::string(arg) + "\n" + kServerUsage;
        std::string name(arg.substr(2));
        std::string value = argv[++i];
        if (name == "config") {
            configFile = value;
            continue;
        }
        ServerConfig probe;
        if (!ApplySetting(name, value, probe))
            return "bad option: --" + name + " " + value + "\n" + kServerUsage;
        flags.emplace_back(name, value);
    }
    // The data folder decides where the default config file is.
    for (const auto& [name, value] : flags)
        if (name == "data")
            ApplySetting(name, value, config);
    if (configFile.empty())
        configFile = (std::filesystem::path(config.dataDir) / "server.ini").string();
    if (auto error = ApplyConfigFile(configFile, config))
        return error;
    for (const auto& [name, value] : flags)
        ApplySetting(name, value, config);
    return std::nullopt;
}
