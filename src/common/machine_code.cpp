#include "common/machine_code.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <utility>

#include "common/trace.h"

namespace q3 {
namespace {

constexpr size_t kHardwareAddressBytes = 6;
constexpr size_t kMaxAdapters = 255;

std::mutex& SourceMutex() {
    static std::mutex m;
    return m;
}

InterfaceSource& Source() {
    static InterfaceSource source;
    return source;
}

std::vector<NetworkInterface> CurrentInterfaces() {
    InterfaceSource source;
    {
        std::lock_guard lock(SourceMutex());
        source = Source();
    }
    return source ? source() : SystemNetworkInterfaces();
}

bool CountsAsAdapter(const NetworkInterface& nic) {
    if (nic.loopback || nic.hardware_address.size() != kHardwareAddressBytes)
        return false;
    return std::any_of(nic.hardware_address.begin(), nic.hardware_address.end(),
                       [](std::uint8_t b) { return b != 0; });
}

std::string HexAddress(const std::vector<std::uint8_t>& address) {
    std::string out;
    char digits[3];
    for (size_t i = 0; i < kHardwareAddressBytes && i < address.size(); ++i) {
        std::snprintf(digits, sizeof digits, "%02X", address[i]);
        out += digits;
    }
    return out;
}

}  // namespace

std::vector<NetworkInterface> SystemNetworkInterfaces() {
    std::vector<NetworkInterface> out;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        DebugTrace("MachineCode", "getifaddrs failed");
        return out;
    }
    for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_PACKET)
            continue;
        const auto* link = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
        NetworkInterface nic;
        nic.index = link->sll_ifindex;
        nic.name = a->ifa_name != nullptr ? a->ifa_name : "";
        const size_t length = std::min<size_t>(link->sll_halen, sizeof link->sll_addr);
        nic.hardware_address.assign(link->sll_addr, link->sll_addr + length);
        nic.loopback = (a->ifa_flags & IFF_LOOPBACK) != 0;
        out.push_back(std::move(nic));
    }
    ::freeifaddrs(list);
    return out;
}

void SetInterfaceSource(InterfaceSource source) {
    std::lock_guard lock(SourceMutex());
    Source() = std::move(source);
}

std::vector<NetworkInterface> AdapterList(std::vector<NetworkInterface> interfaces) {
    std::erase_if(interfaces, [](const NetworkInterface& nic) { return !CountsAsAdapter(nic); });
    std::stable_sort(
        interfaces.begin(), interfaces.end(),
        [](const NetworkInterface& a, const NetworkInterface& b) { return a.index < b.index; });
    if (interfaces.size() > kMaxAdapters)
        interfaces.resize(kMaxAdapters);
    return interfaces;
}

std::string AdapterAddress(std::uint8_t lana) {
    const std::vector<NetworkInterface> adapters = AdapterList(CurrentInterfaces());
    if (lana >= adapters.size())
        return kMacNotFound;
    return HexAddress(adapters[lana].hardware_address);
}

std::string MachineCode() {
    // One snapshot of the list, so an adapter coming or going meanwhile
    // cannot shift the numbers between the count and the addresses.
    const std::vector<NetworkInterface> adapters = AdapterList(CurrentInterfaces());
    if (adapters.empty())
        return kMacNotFound;
    std::string code;
    for (const NetworkInterface& nic : adapters)
        code += HexAddress(nic.hardware_address);
    return code;
}

}  // namespace q3
