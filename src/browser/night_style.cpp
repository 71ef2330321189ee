#include "browser/night_style.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace q3::browser {
namespace {

// A world of the reader's own: the page's scripts share the document with
// the script below but cannot see or change it.
constexpr const char* kWorld = "quillon3-night";

// Old pages colour by attribute (bgcolor, text, link, <font color>) and new
// ones by style; user rules marked important win over both, over inline
// styles too. Each rule below names its elements after the scope, so it
// outweighs the catch-all one before it.
constexpr const char* kRules[] = {
    // Everything dark, text light.
    "{0}, {0} * { background-color: #1c1c1e !important; color: #d8d8d8 !important;"
    " border-color: #4c4c50 !important; }",
    // A light paper picture behind the text would hide the light text.
    "{0} body, {0} table, {0} tr, {0} td, {0} th { background-image: none !important; }",
    // Links stay apart from the text, and visited ones from the others.
    "{0} a:link, {0} a:link * { color: #8ab4f8 !important; }",
    "{0} a:visited, {0} a:visited * { color: #c58af9 !important; }",
    "{0} input, {0} textarea, {0} select, {0} button { background-color: #2c2c30 !important;"
    " color: #e8e8e8 !important; }",
    // Pictures as they are: nothing painted behind or over them.
    "{0} img, {0} svg, {0} video, {0} canvas, {0} picture, {0} object, {0} embed"
    " { background-color: transparent !important; }",
    // The words a search has marked in the page keep standing out.
    "{0} [data-quillon3-found], {0} [data-quillon3-found] * { background-color: yellow !important;"
    " color: #b00000 !important; }",
};

// A page declares its own dark scheme by a colour-scheme meta element or
// style, or by rules for readers that prefer dark. Only the page's own
// document is looked at; style sheets of other origins cannot be read and
// are passed over. The walk over the rules is bounded.
constexpr const char* kOwnDarkScript = R"JS(
(() => {
  const root = document.documentElement;
  if (!root) return;
  const darkQuery = /prefers-color-scheme\s*:\s*dark/i;
  let budget = 20000;
  const inRules = (rules, depth) => {
    if (!rules || depth > 8) return false;
    for (const rule of rules) {
      if (--budget < 0) return false;
      const condition = rule.conditionText || (rule.media && rule.media.mediaText) || '';
      if (darkQuery.test(condition)) return true;
      if (rule.cssRules && inRules(rule.cssRules, depth + 1)) return true;
    }
    return false;
  };
  const declares = () => {
    for (const meta of document.querySelectorAll('meta[name="color-scheme" i]'))
      if (/\bdark\b/i.test(meta.content || '')) return true;
    for (const e of [root, document.body])
      if (e && /\bdark\b/.test(getComputedStyle(e).colorScheme || '')) return true;
    for (const sheet of document.styleSheets) {
      if (sheet.media && darkQuery.test(sheet.media.mediaText || '')) return true;
      let rules = null;
      try { rules = sheet.cssRules; } catch (e) { continue; }
      if (inRules(rules, 0)) return true;
    }
    return false;
  };
  const look = () => {
    if (!root.hasAttribute('data-quillon3-own-dark') && declares())
      root.setAttribute('data-quillon3-own-dark', '');
  };
  look();
  addEventListener('load', look, { once: true });
})();
)JS";

struct NightState {
    bool on = false;
    WebKitUserStyleSheet* sheet = nullptr;
    WebKitUserScript* script = nullptr;
    // The content managers of the followed views; each leaves the list
    // when it is finalised.
    std::vector<WebKitUserContentManager*> managers;
};

NightState& State() {
    static NightState state;
    return state;
}

WebKitUserStyleSheet* Sheet() {
    NightState& s = State();
    if (s.sheet == nullptr) {
        s.sheet = webkit_user_style_sheet_new(NightStyleSheet().c_str(),
                                              WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                              WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    }
    return s.sheet;
}

WebKitUserScript* Script() {
    NightState& s = State();
    if (s.script == nullptr) {
        s.script = webkit_user_script_new_for_world(
            kOwnDarkScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
            WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, kWorld, nullptr, nullptr);
    }
    return s.script;
}

void Forget(gpointer, GObject* gone) {
    std::vector<WebKitUserContentManager*>& managers = State().managers;
    managers.erase(std::remove(managers.begin(), managers.end(),
                               reinterpret_cast<WebKitUserContentManager*>(gone)),
                   managers.end());
}

}  // namespace

std::string NightStyleSheet() {
    // Only pages whose root carries no mark of a dark scheme of their own.
    const std::string scope = std::string(":root:not([") + kOwnDarkAttribute + "])";
    std::string css;
    for (std::string_view rule : kRules) {
        for (std::size_t at = 0; at < rule.size();) {
            const std::size_t mark = rule.find("{0}", at);
            css.append(rule.substr(at, mark == std::string_view::npos ? rule.npos : mark - at));
            if (mark == std::string_view::npos)
                break;
            css.append(scope);
            at = mark + 3;
        }
        css.push_back('\n');
    }
    return css;
}

const char* OwnDarkSchemeScript() {
    return kOwnDarkScript;
}

void SetNightReading(bool on) {
    NightState& s = State();
    if (on == s.on)
        return;
    s.on = on;
    for (WebKitUserContentManager* content : s.managers) {
        if (on)
            webkit_user_content_manager_add_style_sheet(content, Sheet());
        else
            webkit_user_content_manager_remove_style_sheet(content, Sheet());
    }
}

bool NightReading() {
    return State().on;
}

void FollowNightReading(WebKitWebView* view) {
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view);
    NightState& s = State();
    if (content == nullptr ||
        std::find(s.managers.begin(), s.managers.end(), content) != s.managers.end())
        return;
    s.managers.push_back(content);
    g_object_weak_ref(G_OBJECT(content), Forget, nullptr);
    webkit_user_content_manager_add_script(content, Script());
    if (s.on)
        webkit_user_content_manager_add_style_sheet(content, Sheet());
}

}  // namespace q3::browser
