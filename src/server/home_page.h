// The generated home page: the address history as two link tables, documents
// and web addresses, newest first, around the fixed links the reader answers
// itself ("open:(help)", "open:(qbx)", "clear:(qbx)", "clear:(url)").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/translation.h"

namespace q3::server {

inline constexpr std::string_view kSupportMailbox = "support@quillon3.net";
// The home page's title, by which a refresh knows the page to build again.
inline constexpr std::string_view kHomePageTitle = N_("首页");

// The page text for a history (UTF-8 items, oldest first), lines joined by
// CR LF. Every inserted value is HTML-escaped: a visited address holding
// markup must not become script in the reader's own page, whose links open
// local files.
std::string HomePageHtml(const std::vector<std::string>& history);

// The special link around a path: "open://|path|" or "commnet://|path|", with
// the path percent-encoded so the browser's address parser accepts it (a raw
// "|" or "/" there is not a valid host); the link handler decodes it again.
std::string SpecialLink(std::string_view scheme, std::string_view path);

}  // namespace q3::server
