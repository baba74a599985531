#include "common/HallProtocol.h"

#include <cstring>

namespace {

template <typename T>
std::optional<T> ReadExact(std::string_view record, std::int32_t code, bool request) {
    if (record.size() != sizeof(T))
        return std::nullopt;
    T r;
    std::memcpy(&r, record.data(), sizeof(T));
    if (r.Code.Get() != code)
        return std::nullopt;
    if (request && r.Tag.Get() != kHallRequestTag)
        return std::nullopt;
    return r;
}

template <std::size_t N>
bool Fits(const ShortString<N>& s) {
    return s.bytes[0] <= ShortString<N>::Capacity;
}

template <typename T>
T Zeroed(std::int32_t code) {
    T r;
    std::memset(&r, 0, sizeof(T));
    r.Tag.Set(kHallRequestTag);
    r.Code.Set(code);
    return r;
}

std::string_view TrimAscii(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<std::int32_t> HallRecordCode(std::string_view record) {
    if (record.size() < 8)
        return std::nullopt;
    LeInt32 code;
    std::memcpy(code.bytes, record.data() + 4, 4);
    return code.Get();
}

std::optional<std::int32_t> ParseAccountNumber(std::string_view text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

THallRouteRequest MakeRouteRequest(std::uint32_t serverAddrNetworkOrder, std::uint16_t port,
                                   std::int32_t userNumber) {
    auto r = Zeroed<THallRouteRequest>(kHallRouteRequest);
    std::memcpy(r.ServerAddr, &serverAddrNetworkOrder, 4);
    r.ServerPort.Set(port);
    r.UserNumber.Set(userNumber);
    return r;
}

std::uint32_t RouteServerAddr(const THallRouteRequest& r) {
    std::uint32_t a;
    std::memcpy(&a, r.ServerAddr, 4);
    return a;
}

THallVersionReply MakeVersionReply(std::int32_t requiredVersion, std::int32_t sessionValue) {
    auto r = Zeroed<THallVersionReply>(kHallVersionReply);
    r.RequiredVersion.Set(requiredVersion);
    r.SessionValue.Set(sessionValue);
    return r;
}

THallLoginRequest MakeLoginRequest(std::string_view account, std::string_view passwordMd5,
                                   std::string_view password, std::string_view macAddress,
                                   std::int32_t tickCount) {
    auto r = Zeroed<THallLoginRequest>(kHallLoginRequest);
    account = TrimAscii(account);
    if (auto number = ParseAccountNumber(account)) {
        r.ByName.Set(0);
        r.UserNumber.Set(*number);
    } else {
        r.ByName.Set(1);
        r.AccountName.Set(account);
    }
    r.TickCount.Set(tickCount);
    r.PasswordMd5.Set(passwordMd5);
    r.Password.Set(password);
    r.MacAddress.Set(macAddress);
    return r;
}

THallLoginReply MakeLoginError(std::string_view errorText) {
    auto r = Zeroed<THallLoginReply>(kHallLoginReply);
    r.ErrorText.Set(errorText);
    return r;
}

std::optional<THallRouteRequest> DecodeRouteRequest(std::string_view record) {
    return ReadExact<THallRouteRequest>(record, kHallRouteRequest, true);
}

std::optional<THallVersionReply> DecodeVersionReply(std::string_view record) {
    return ReadExact<THallVersionReply>(record, kHallVersionReply, false);
}

std::optional<THallLoginRequest> DecodeLoginRequest(std::string_view record) {
    auto r = ReadExact<THallLoginRequest>(record, kHallLoginRequest, true);
    if (!r)
        return std::nullopt;
    std::int16_t byName = r->ByName.Get();
    if (byName != 0 && byName != 1)
        return std::nullopt;
    if (!Fits(r->AccountName) || !Fits(r->PasswordMd5) || !Fits(r->Password) ||
        !Fits(r->MacAddress))
        return std::nullopt;
    return r;
}

std::optional<THallLoginReply> DecodeLoginReply(std::string_view record) {
    auto r = ReadExact<THallLoginReply>(record, kHallLoginReply, false);
    if (!r)
        return std::nullopt;
    if (!Fits(r->ErrorText) || !Fits(r->NickName))
        return std::nullopt;
    for (const auto& s : r->RoomServers)
        if (!Fits(s))
            return std::nullopt;
    return r;
}
