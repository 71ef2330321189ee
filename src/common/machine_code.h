// The machine code the update check identifies a computer by: the hardware
// addresses of its network adapters, 12 upper-case hexadecimal digits each.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace q3 {

inline constexpr const char* kMacNotFound = "mac not found";

struct NetworkInterface {
    int index = 0;  // the system's interface index
    std::string name;
    std::vector<std::uint8_t> hardware_address;
    bool loopback = false;
};

// The interfaces as the system lists them (from getifaddrs), any order.
std::vector<NetworkInterface> SystemNetworkInterfaces();

// Replaces the source of the interface list (tests); an empty function
// restores the system's list.
using InterfaceSource = std::function<std::vector<NetworkInterface>()>;
void SetInterfaceSource(InterfaceSource source);

// The adapters that count: interfaces with a six-byte hardware address that
// is not all zeros, loopback left out, in interface-index order; at most 255,
// as an adapter number is one byte.
std::vector<NetworkInterface> AdapterList(std::vector<NetworkInterface> interfaces);

// The address of adapter number lana of AdapterList as 12 digits, or
// "mac not found" when there is no such adapter.
std::string AdapterAddress(std::uint8_t lana);

// Every adapter's address in list order, or "mac not found" when there is
// none. Never fails.
std::string MachineCode();

}  // namespace q3
