// The browser cache as the core sees it: the web host installs the purger
// behind q3::PurgeUrlCache.
#pragma once

#include <string>
#include <string_view>

namespace q3::browser {

// Installs PurgeWebKitCache as the program's URL cache purger.
void InstallUrlCachePurger();

// Forgets what WebKit cached for a GBK address. WebKit keeps no per-address
// entries to delete: the memory cache (where pages and pictures of every
// scheme live) is emptied, and for a web address the disk cache of its site
// is removed as well. True when a purge was started; it completes on the
// main loop.
bool PurgeWebKitCache(std::string_view address);

// The host of an http or https address, lower-cased; empty for any other.
std::string WebHostOf(std::string_view address);

}  // namespace q3::browser
