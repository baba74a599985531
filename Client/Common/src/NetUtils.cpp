#include "common/NetUtils.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <sys/socket.h>

#include <cstdio>

std::uint32_t ResolveHost(std::string_view name) {
    std::string host(name);
    if (host.empty() || host.find('\0') != std::string::npos)
        return 0;
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) == 1)
        return dotted.s_addr;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || result == nullptr)
        return 0;
    std::uint32_t address = 0;
    for (addrinfo* ai = result; ai; ai = ai->ai_next) {
        if (ai->ai_family == AF_INET && ai->ai_addr) {
            address = reinterpret_cast<const sockaddr_in*>(ai->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    freeaddrinfo(result);
    return address;
}

std::string IpToText(std::uint32_t address) {
    in_addr a{};
    a.s_addr = address;
    char buf[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &a, buf, sizeof buf))
        return {};
    return buf;
}

std::string FormatMacAddress(const unsigned char (&bytes)[6]) {
    char buf[18];
    std::snprintf(buf, sizeof buf, "%.2X-%.2X-%.2X-%.2X-%.2X-%.2X", bytes[0], bytes[1], bytes[2],
                  bytes[3], bytes[4], bytes[5]);
    return buf;
}

std::string PickMacAddress(const std::vector<std::string>& formatted) {
    for (const std::string& mac : formatted) {
        // Virtual machine adapters and unset addresses do not identify a machine.
        if (mac.find("00-50-56") != std::string::npos)
            continue;
        if (mac.find("00-53-45") != std::string::npos)
            continue;
        if (mac == "00-00-00-00-00-00")
            continue;
        return mac;
    }
    return {};
}

std::string GetMacAddress() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    std::vector<std::string> formatted;
    for (ifaddrs* ifa = list; ifa; ifa = ifa->ifa_next) {
        if (!ifa->ifa_addr || ifa->ifa_addr->sa_family != AF_PACKET)
            continue;
        if (ifa->ifa_flags & IFF_LOOPBACK)
            continue;
        const auto* ll = reinterpret_cast<const sockaddr_ll*>(ifa->ifa_addr);
        if (ll->sll_halen != 6)
            continue;
        unsigned char bytes[6];
        for (int i = 0; i < 6; ++i)
            bytes[i] = ll->sll_addr[i];
        formatted.push_back(FormatMacAddress(bytes));
    }
    freeifaddrs(list);
    return PickMacAddress(formatted);
}
