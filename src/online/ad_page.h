// The ad strip's page: the service's advertisement wrapped in a fixed page
// whose background is the window colour. The colour comes as its HTML text
// (the browser host's ColorToHtml), so this core needs no window code.
#pragma once

#include <string>
#include <string_view>

namespace q3::online {

// The page written into the ad browser, exactly as the original wrote it:
// the head is opened twice and the last tag is "<html>" again; the style's
// empty background-color leaves the colour to the bgcolor attribute. ad_html
// is inserted as it is: it is the service's own markup.
std::string BuildAdPage(std::string_view color_html, std::string_view ad_html);

// The body style that follows every colour change, shown ad or not.
std::string AdBodyStyle(std::string_view color_html);

}  // namespace q3::online
