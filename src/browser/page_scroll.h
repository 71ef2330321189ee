// How far the page a browser shows is scrolled down, read and set in the
// page itself, so that a reader can come back to the same spot.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace q3::browser {

class WebBrowser;

// done gets the page's vertical scroll position in page pixels, or nothing
// when the page does not answer. Not called once the browser is gone.
void ReadScrollPosition(WebBrowser& browser, std::function<void(std::optional<int>)> done);

// Scrolls the page down to y (as far as it reaches) and hands the position
// reached to done.
void ScrollPageTo(WebBrowser& browser, int y, std::function<void(std::optional<int>)> done = {});

// The position now, letting the main loop run until the page answers, for
// at most limit.
std::optional<int> ScrollPositionNow(WebBrowser& browser, std::chrono::milliseconds limit);

}  // namespace q3::browser
