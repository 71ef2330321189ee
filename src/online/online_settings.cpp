#include "online/online_settings.h"

#include <cstdlib>
#include <exception>

#include "common/base_settings.h"
#include "common/shell.h"
#include "common/text.h"
#include "common/trace.h"

namespace q3::online {
namespace {

constexpr std::string_view kTraceTag = "ReadOnlineAddresses";

std::string ReadAddress(std::string_view name, std::string_view fallback) {
    try {
        std::string value(Trim(ReadHkcuString(kQuillonSettingsKey, name, "")));
        return value.empty() ? std::string(fallback) : value;
    } catch (const std::exception& e) {
        DebugTrace(kTraceTag, std::string(name) + ": " + e.what());
        return std::string(fallback);
    }
}

}  // namespace

std::string ServiceBaseAddress(std::string_view configured) {
    std::string_view base = Trim(configured);
    while (!base.empty() && base.back() == '/')
        base.remove_suffix(1);
    if (base.empty())
        return {};
    const std::string lower = AsciiLower(base);
    const bool web = lower.starts_with("http://") || lower.starts_with("https://");
    if (!web || base.find_first_of(" \t\r\n") != std::string_view::npos) {
        DebugTrace(kTraceTag, "not a web address: " + std::string(base));
        return {};
    }
    return std::string(base);
}

OnlineAddresses ReadOnlineAddresses() {
    OnlineAddresses addresses;
    if (const char* from_environment = std::getenv(kServiceUrlEnvironment)) {
        addresses.service = ServiceBaseAddress(from_environment);
    } else {
        addresses.service = ServiceBaseAddress(ReadAddress(kServiceUrlValue, ""));
    }
    addresses.home_page = ReadAddress(kHomePageValue, kDefaultHomePage);
    addresses.resource_site = ReadAddress(kResourceSiteValue, kDefaultResourceSite);
    addresses.logo_link = ReadAddress(kLogoLinkValue, kDefaultLogoLink);
    return addresses;
}

}  // namespace q3::online
