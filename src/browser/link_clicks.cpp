// The user's clicks on links of a page's top document, as the page itself
// cannot fake them. The special link forms ("open://|", "clear:(...)", ...)
// act on the reader and the user's files, so they count only when the user
// followed them in the main frame; WebKit tells whether a navigation had a
// user gesture, but not in which frame the gesture was.
#include <webkit2/webkit2.h>

#include <string>

#include "browser/signal_guard.h"
#include "browser/web_browser.h"

namespace q3::browser {
namespace {

// A script world of the reader's: page scripts share the document's DOM
// but not this world's globals, so they can neither post to the handler
// below nor remove the listener. Injected into the top frame only, so a
// framed page's clicks never reach it.
constexpr const char* kWorld = "quillon3-links";
constexpr const char* kHandler = "quillon3LinkClick";

// Capturing, so that a page stopping the click's propagation cannot hide
// it; isTrusted is false for clicks a script dispatches, and Enter on a
// focused link is a trusted click too.
constexpr const char* kWatcher =
    "addEventListener('click', e => {"
    "  if (!e.isTrusted || e.button !== 0) return;"
    "  const link = e.target && e.target.closest ? e.target.closest('a[href], area[href]') : null;"
    "  if (link) window.webkit.messageHandlers.quillon3LinkClick.postMessage(String(link.href));"
    "}, true);";

// How long a click stays the answer to the navigation it starts.
constexpr gint64 kClickLifetime = 2 * G_USEC_PER_SEC;

}  // namespace

void WebBrowser::WatchMainFrameClicks() {
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view_);
    g_signal_connect(content, (std::string("script-message-received::") + kHandler).c_str(),
                     G_CALLBACK(HandleLinkClick), this);
    webkit_user_content_manager_register_script_message_handler_in_world(content, kHandler, kWorld);
    WebKitUserScript* script = webkit_user_script_new_for_world(
        kWatcher, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
        kWorld, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, script);
    webkit_user_script_unref(script);
}

void WebBrowser::HandleLinkClick(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                 gpointer self) {
    auto& browser = *static_cast<WebBrowser*>(self);
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (value == nullptr || !jsc_value_is_string(value))
        return;
    char* text = jsc_value_to_string(value);
    browser.clicked_address_ = text != nullptr ? text : "";
    g_free(text);
    browser.clicked_at_ = g_get_monotonic_time();
    if (browser.OnMainFrameClick)
        Guarded([&] { browser.OnMainFrameClick(browser, browser.clicked_address_); });
}

bool WebBrowser::ClickedInMainFrame(const std::string& address) const {
    return !clicked_address_.empty() && clicked_address_ == address &&
           g_get_monotonic_time() - clicked_at_ < kClickLifetime;
}

}  // namespace q3::browser
