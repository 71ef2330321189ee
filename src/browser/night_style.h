// Night reading: every page of the reader's browsers drawn dark with light
// text, pictures as they are. It is one user style sheet for all frames,
// which WebKit applies to the pages already shown as soon as it is added or
// removed, so switching needs no reload. Pages that bring a dark scheme of
// their own are left to it.
#pragma once

#include <webkit2/webkit2.h>

#include <string>

namespace q3::browser {

// The attribute a page's root element gets when the page declares a dark
// scheme of its own; the night rules pass over such pages.
inline constexpr const char* kOwnDarkAttribute = "data-quillon3-own-dark";

// On: every followed view shows its pages dark; off: as they are written.
void SetNightReading(bool on);
bool NightReading();

// Puts a view's pages under night reading for the view's lifetime: the
// style sheet while night reading is on, and always the small script that
// tells pages with a dark scheme of their own.
void FollowNightReading(WebKitWebView* view);

// The rules the sheet holds and the script, as given to WebKit.
std::string NightStyleSheet();
const char* OwnDarkSchemeScript();

}  // namespace q3::browser
