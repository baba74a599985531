#include "common/NetUtils.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(NetUtils, ResolveAndFormat) {
    std::uint32_t a = ResolveHost("127.0.0.1");
    const auto* b = reinterpret_cast<const unsigned char*>(&a);
    EXPECT_EQ(b[0], 127);  // network byte order in memory
    EXPECT_EQ(b[3], 1);
    EXPECT_EQ(IpToText(a), "127.0.0.1");
    EXPECT_EQ(IpToText(ResolveHost("192.168.10.200")), "192.168.10.200");
    EXPECT_EQ(ResolveHost("nonexistent.invalid"), 0u);
    EXPECT_EQ(ResolveHost(""), 0u);
    EXPECT_EQ(ResolveHost(std::string("127.0.0.1\0evil", 14)), 0u);
}

TEST(NetUtils, MacAddressSelection) {
    const unsigned char raw[6] = {0x00, 0x1a, 0x2b, 0xc3, 0xd4, 0xef};
    EXPECT_EQ(FormatMacAddress(raw), "00-1A-2B-C3-D4-EF");
    EXPECT_EQ(PickMacAddress({"00-50-56-C0-00-08", "00-00-00-00-00-00", "10-00-53-45-00-01",
                              "00-1A-2B-C3-D4-EF", "AA-BB-CC-DD-EE-FF"}),
              "00-1A-2B-C3-D4-EF");
    EXPECT_EQ(PickMacAddress({"00-50-56-C0-00-01", "00-50-56-C0-00-08"}), "");
    EXPECT_EQ(PickMacAddress({}), "");
    // Whatever adapters this machine has, the result is empty or an acceptable address.
    std::string mac = GetMacAddress();
    if (!mac.empty()) {
        EXPECT_TRUE(std::regex_match(mac, std::regex("([0-9A-F]{2}-){5}[0-9A-F]{2}"))) << mac;
        EXPECT_EQ(PickMacAddress({mac}), mac);
    }
}

}  // namespace
