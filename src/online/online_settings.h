// Where the online services live. The client service, the project's home
// page, its resource-sharing site and the logo's link are settings: string
// values under the main settings key of the current user's registry, with the
// project's own addresses as defaults. The client service has no default: an
// empty service address means the update check makes no request at all, so
// nothing about the machine leaves it unless a user or a distributor set one.
#pragma once

#include <string>
#include <string_view>

namespace q3::online {

// Registry value names under "SOFTWARE\Tarvik\Quillon3".
inline constexpr std::string_view kServiceUrlValue = "ServiceUrl";
inline constexpr std::string_view kHomePageValue = "HomePageUrl";
inline constexpr std::string_view kResourceSiteValue = "ResourceSiteUrl";
inline constexpr std::string_view kLogoLinkValue = "LogoUrl";

// Set (even to the empty text) it replaces the stored service address.
inline constexpr const char* kServiceUrlEnvironment = "QUILLON3_SERVICE_URL";

inline constexpr std::string_view kDefaultHomePage = "https://www.quillon3.net/";
inline constexpr std::string_view kDefaultResourceSite = "https://share.quillon3.net/";
inline constexpr std::string_view kDefaultLogoLink = "https://www.quillon3.net/";

struct OnlineAddresses {
    // The client service's base address ("http://host:port", no trailing
    // "/"); empty: no update request.
    std::string service;
    std::string home_page;      // the "Quillon" entry of the resource tree
    std::string resource_site;  // the "资源分享" entry
    std::string logo_link;      // the logo's hint and click target
};

// The addresses as configured now. A missing, empty or unreadable value gives
// the default; a service address that is not http:// or https:// is ignored
// (no request) and traced.
OnlineAddresses ReadOnlineAddresses();

// A configured service address made usable: blanks and trailing "/" removed;
// empty when it is not an http:// or https:// address.
std::string ServiceBaseAddress(std::string_view configured);

}  // namespace q3::online
