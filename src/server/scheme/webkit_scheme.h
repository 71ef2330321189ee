// The WebKit side of the reader's address scheme: requests of every web view
// of the default web context for a registered scheme reach the process-wide
// registration object. WebKit cannot forget a scheme once registered, so
// deactivating only cuts the route: later requests fail cleanly.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "scheme/dyn_ptl.h"

namespace q3::server::scheme {

class WebKitSchemeRegistrar final : public SchemeRegistrar {
  public:
    static WebKitSchemeRegistrar& Instance();

    void RegisterNameSpace(const std::string& scheme, TDynPtl& owner) override;
    void UnregisterNameSpace(const std::string& scheme, TDynPtl& owner) override;

    // The registration object requests for scheme go to, or null.
    const TDynPtl* RouteFor(std::string_view scheme) const;
    // Whether WebKit sends scheme's requests here (lower-case name).
    bool Serves(std::string_view scheme) const { return known_to_webkit_.count(scheme) != 0; }

  private:
    WebKitSchemeRegistrar() = default;

    std::map<std::string, const TDynPtl*, std::less<>> routes_;
    std::set<std::string, std::less<>> known_to_webkit_;
};

// The one registration object of the process, inactive with the namespace
// "local" until the content server's owner sets it up.
TDynPtl& ProcessDynPtl();

}  // namespace q3::server::scheme
