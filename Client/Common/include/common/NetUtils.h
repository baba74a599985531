// Host lookup and adapter helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// IPv4 address in network byte order, as it lies in memory; 0 when the name
// cannot be resolved. A dotted address resolves to itself.
std::uint32_t ResolveHost(std::string_view name);
// Dotted text of an address in network byte order.
std::string IpToText(std::uint32_t address);

// "AA-BB-CC-DD-EE-FF" of the first real adapter, skipping virtual machine
// patterns and the all-zero address; empty when there is none.
std::string GetMacAddress();
// The selection rule alone, over formatted addresses in adapter order.
std::string PickMacAddress(const std::vector<std::string>& formatted);
std::string FormatMacAddress(const unsigned char (&bytes)[6]);
