// The page a browser shows for an address it could not load, in the
// program's language where the engine would show its own English page.
#pragma once

#include <string>
#include <string_view>

namespace q3::browser {

// The page for address, with the reason in words and the engine's own
// detail. Every inserted text is escaped: the address comes from pages.
std::string LoadErrorPageHtml(std::string_view address, std::string_view reason,
                              std::string_view detail);

}  // namespace q3::browser
