#include "browser/page_scroll.h"

#include <glib.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"

namespace q3::browser {
namespace {

// A position beyond this is no page's: a hostile page's answer is not kept.
constexpr double kMaxPosition = 100'000'000;

std::optional<int> PositionOf(const std::optional<std::string>& json) {
    if (!json)
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(json->c_str(), &end);
    if (end == json->c_str() || !std::isfinite(value) || value < 0 || value > kMaxPosition)
        return std::nullopt;
    return static_cast<int>(std::lround(value));
}

void RunPositionScript(WebBrowser& browser, const std::string& script,
                       std::function<void(std::optional<int>)> done) {
    if (!browser.HasDocument()) {
        if (done)
            done(std::nullopt);
        return;
    }
    RunPageScript(browser, script, [done = std::move(done)](std::optional<std::string> json) {
        if (done)
            done(PositionOf(json));
    });
}

}  // namespace

void ReadScrollPosition(WebBrowser& browser, std::function<void(std::optional<int>)> done) {
    RunPositionScript(browser, "window.scrollY", std::move(done));
}

void ScrollPageTo(WebBrowser& browser, int y, std::function<void(std::optional<int>)> done) {
    RunPositionScript(browser, "window.scrollTo(0, " + std::to_string(y) + "); window.scrollY",
                      std::move(done));
}

std::optional<int> ScrollPositionNow(WebBrowser& browser, std::chrono::milliseconds limit) {
    // Shared with the callback, which may come after this returns.
    struct Answer {
        bool arrived = false;
        std::optional<int> position;
    };
    auto answer = std::make_shared<Answer>();
    ReadScrollPosition(browser, [answer](std::optional<int> position) {
        answer->arrived = true;
        answer->position = position;
    });
    const gint64 deadline = g_get_monotonic_time() +
                            std::chrono::duration_cast<std::chrono::microseconds>(limit).count();
    while (!answer->arrived && g_get_monotonic_time() < deadline) {
        // Nothing ready: a short rest instead of a busy loop.
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(1000);
    }
    return answer->position;
}

}  // namespace q3::browser
