#include "browser/url_cache.h"

#include <webkit2/webkit2.h>

#include "common/gbk.h"
#include "common/text.h"

namespace q3::browser {
namespace {

WebKitWebsiteDataManager* DataManager() {
    return webkit_web_context_get_website_data_manager(webkit_web_context_get_default());
}

bool SameSite(std::string_view host, std::string_view site) {
    if (site.empty())
        return false;
    if (host == site)
        return true;
    return host.size() > site.size() && host.substr(host.size() - site.size()) == site &&
           host[host.size() - site.size() - 1] == '.';
}

// The disk cache records of every site the host belongs to.
void RemoveSiteCache(GObject* source, GAsyncResult* result, gpointer data) {
    gchar* host = static_cast<gchar*>(data);
    auto* manager = WEBKIT_WEBSITE_DATA_MANAGER(source);
    GList* all = webkit_website_data_manager_fetch_finish(manager, result, nullptr);
    GList* matching = nullptr;
    for (GList* l = all; l != nullptr; l = l->next) {
        auto* site = static_cast<WebKitWebsiteData*>(l->data);
        const char* name = webkit_website_data_get_name(site);
        if (name != nullptr && SameSite(host, name))
            matching = g_list_prepend(matching, site);
    }
    if (matching != nullptr) {
        webkit_website_data_manager_remove(manager, WEBKIT_WEBSITE_DATA_DISK_CACHE, matching,
                                           nullptr, nullptr, nullptr);
    }
    g_list_free(matching);
    g_list_free_full(all, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
    g_free(host);
}

}  // namespace

std::string WebHostOf(std::string_view address) {
    const std::string text(address);
    GUri* uri = g_uri_parse(text.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (uri == nullptr)
        return "";
    std::string host;
    const char* scheme = g_uri_get_scheme(uri);
    const char* h = g_uri_get_host(uri);
    if (scheme && h &&
        (g_ascii_strcasecmp(scheme, "http") == 0 || g_ascii_strcasecmp(scheme, "https") == 0)) {
        host = AsciiLower(h);
    }
    g_uri_unref(uri);
    return host;
}

bool PurgeWebKitCache(std::string_view address) {
    if (address.empty())
        return false;
    const std::string utf8 = GbkToUtf8(address);
    WebKitWebsiteDataManager* manager = DataManager();
    webkit_website_data_manager_clear(manager, WEBKIT_WEBSITE_DATA_MEMORY_CACHE, 0, nullptr,
                                      nullptr, nullptr);
    const std::string host = WebHostOf(utf8);
    if (!host.empty()) {
        webkit_website_data_manager_fetch(manager, WEBKIT_WEBSITE_DATA_DISK_CACHE, nullptr,
                                          RemoveSiteCache, g_strdup(host.c_str()));
    }
    return true;
}

void InstallUrlCachePurger() {
    SetUrlCachePurger(PurgeWebKitCache);
}

}  // namespace q3::browser
