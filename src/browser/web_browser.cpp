#include "browser/web_browser.h"

#include <gtkmm/menu.h>
#include <gtkmm/widget.h>
#include <gtkmm/window.h>

#include "browser/host_flags.h"
#include "browser/night_style.h"
#include "browser/render_policy.h"
#include "scheme/book_views.h"

namespace q3::browser {
namespace {

constexpr const char* kBrowserKey = "q3-web-browser";

std::string OrEmpty(const char* s) {
    return s ? s : "";
}

}  // namespace

WebKitSettings* NewReaderSettings() {
    WebKitSettings* settings = webkit_settings_new();
    webkit_settings_set_default_charset(settings, "GBK");
    webkit_settings_set_enable_javascript(settings, TRUE);
    webkit_settings_set_hardware_acceleration_policy(
        settings, HardwareAccelerationWanted() ? WEBKIT_HARDWARE_ACCELERATION_POLICY_ALWAYS
                                               : WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    return settings;
}

WebBrowser::WebBrowser() {
    WebKitSettings* settings = NewReaderSettings();
    WebKitUserContentManager* content = webkit_user_content_manager_new();
    view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings,
                                         "user-content-manager", content, nullptr));
    g_object_unref(content);
    g_object_unref(settings);
    Setup();
    FollowNightReading(view_);
}

WebBrowser::WebBrowser(WebBrowser& opener) {
    WebKitSettings* settings = NewReaderSettings();
    webkit_settings_set_default_charset(
        settings, webkit_settings_get_default_charset(webkit_web_view_get_settings(opener.View())));
    WebKitUserContentManager* content = webkit_user_content_manager_new();
    view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", opener.View(),
                                         "settings", settings, "user-content-manager", content,
                                         nullptr));
    g_object_unref(content);
    g_object_unref(settings);
    silent_ = opener.silent_;
    Setup();
    FollowNightReading(view_);
}

WebBrowser::WebBrowser(Isolated) {
    WebKitWebContext* context = webkit_web_context_new_ephemeral();
    WebKitSettings* settings = NewReaderSettings();
    WebKitUserContentManager* content = webkit_user_content_manager_new();
    view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "settings",
                                         settings, "user-content-manager", content, nullptr));
    g_object_unref(content);
    g_object_unref(settings);
    g_object_unref(context);
    Setup();
}

void WebBrowser::Setup() {
    // The browser holds the one strong reference; windows only borrow the widget.
    g_object_ref_sink(view_);
    g_object_set_data(G_OBJECT(view_), kBrowserKey, this);
    server::scheme::TrackBookViews(view_);
    cancellable_ = g_cancellable_new();
    ConnectSignals();
    WatchMainFrameClicks();
    RepaintWholeAfterExposure();
}

void WebBrowser::RepaintWholeAfterExposure() {
    // Without a compositor, a pop-up closing over the page (the address
    // suggestions, a tooltip, a menu) has the view draw only the strip it
    // uncovered, and WebKit's shared-buffer renderer leaves such a strip
    // empty until the page itself changes. A partial draw is therefore
    // followed by a whole one.
    g_signal_connect(view_, "draw", G_CALLBACK(HandleDraw), this);
}

gboolean WebBrowser::HandleDraw(GtkWidget* widget, cairo_t* cr, gpointer self) {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    const bool whole = x1 <= 0 && y1 <= 0 && x2 >= gtk_widget_get_allocated_width(widget) &&
                       y2 >= gtk_widget_get_allocated_height(widget);
    WebBrowser& browser = *static_cast<WebBrowser*>(self);
    // The draw that answers the request is never followed by another, so
    // a view that is always clipped cannot keep itself busy.
    const bool answers_request = browser.whole_repaint_asked_;
    browser.whole_repaint_asked_ = false;
    if (!whole && !answers_request && browser.repaint_source_ == 0)
        browser.repaint_source_ = g_idle_add(RepaintWhole, self);
    return FALSE;
}

gboolean WebBrowser::RepaintWhole(gpointer self) {
    WebBrowser& browser = *static_cast<WebBrowser*>(self);
    browser.repaint_source_ = 0;
    browser.whole_repaint_asked_ = true;
    gtk_widget_queue_draw(GTK_WIDGET(browser.view_));
    return G_SOURCE_REMOVE;
}

WebBrowser::~WebBrowser() {
    // Pending saves must not call back into a browser that is gone.
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
    if (repaint_source_ != 0)
        g_source_remove(repaint_source_);
    g_signal_handlers_disconnect_by_data(view_, this);
    if (drop_targets_ != nullptr)
        gtk_target_list_unref(drop_targets_);
    g_object_set_data(G_OBJECT(view_), kBrowserKey, nullptr);
    gtk_widget_destroy(GTK_WIDGET(view_));
    g_object_unref(view_);
}

Gtk::Widget& WebBrowser::Widget() const {
    return *Glib::wrap(GTK_WIDGET(view_));
}

WebBrowser* WebBrowser::FromView(WebKitWebView* view) {
    if (view == nullptr)
        return nullptr;
    return static_cast<WebBrowser*>(g_object_get_data(G_OBJECT(view), kBrowserKey));
}

void WebBrowser::Navigate(const std::string& address, unsigned flags) {
    // WebKit offers no per-request cache policy, and a reload that bypasses
    // the cache only reloads the page already shown. Pictures and style
    // sheets of a non-HTTP scheme stay in the memory cache as if fresh for
    // ever, so a newly opened book whose paths repeat the last book's would
    // show the old pictures. Emptying the memory cache first gives a
    // document page nothing stale to read; the request is sent to the web
    // process ahead of the load, on the same connection.
    if ((flags & (navNoReadFromCache | navNoWriteToCache)) != 0)
        ClearMemoryCache();
    server::scheme::StartReaderLoad(view_,
                                    [&] { webkit_web_view_load_uri(view_, address.c_str()); });
}

void WebBrowser::ClearMemoryCache() {
    WebKitWebsiteDataManager* data = webkit_web_view_get_website_data_manager(view_);
    webkit_website_data_manager_clear(data, WEBKIT_WEBSITE_DATA_MEMORY_CACHE, 0, nullptr, nullptr,
                                      nullptr);
}

void WebBrowser::GoBack() {
    server::scheme::StartReaderLoad(view_, [this] { webkit_web_view_go_back(view_); });
}
void WebBrowser::GoForward() {
    server::scheme::StartReaderLoad(view_, [this] { webkit_web_view_go_forward(view_); });
}
void WebBrowser::Stop() {
    server::scheme::StopReaderLoad(view_);
}
void WebBrowser::Refresh() {
    webkit_web_view_reload(view_);
}

void WebBrowser::PrintPreview(Gtk::Window* parent) {
    WebKitPrintOperation* op = webkit_print_operation_new(view_);
    webkit_print_operation_run_dialog(op, parent ? parent->gobj() : nullptr);
    g_object_unref(op);
}

void WebBrowser::Copy() {
    webkit_web_view_execute_editing_command(view_, WEBKIT_EDITING_COMMAND_COPY);
}

void WebBrowser::SelectAll() {
    webkit_web_view_execute_editing_command(view_, WEBKIT_EDITING_COMMAND_SELECT_ALL);
}

std::string WebBrowser::LocationUrl() const {
    return OrEmpty(webkit_web_view_get_uri(view_));
}
std::string WebBrowser::Title() const {
    return OrEmpty(webkit_web_view_get_title(view_));
}
bool WebBrowser::Busy() const {
    return webkit_web_view_is_loading(view_);
}
bool WebBrowser::HasDocument() const {
    return has_document_;
}

void WebBrowser::SetRegisterAsDropTarget(bool on) {
    GtkWidget* view = GTK_WIDGET(view_);
    if (!on) {
        if (drop_targets_ != nullptr)
            return;
        GtkTargetList* targets = gtk_drag_dest_get_target_list(view);
        drop_targets_ =
            targets != nullptr ? gtk_target_list_ref(targets) : gtk_target_list_new(nullptr, 0);
        gtk_drag_dest_unset(view);
        return;
    }
    if (drop_targets_ == nullptr)
        return;
    // WebKit answers the drag signals itself; GTK only has to ask it again.
    gtk_drag_dest_set(view, static_cast<GtkDestDefaults>(0), nullptr, 0,
                      static_cast<GdkDragAction>(GDK_ACTION_COPY | GDK_ACTION_MOVE |
                                                 GDK_ACTION_LINK | GDK_ACTION_PRIVATE));
    gtk_drag_dest_set_target_list(view, drop_targets_);
    gtk_target_list_unref(drop_targets_);
    drop_targets_ = nullptr;
}

void WebBrowser::SetFullScreen(bool on) {
    if (on == full_screen_)
        return;
    full_screen_ = on;
    GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(view_));
    if (!GTK_IS_WINDOW(top))
        return;
    if (on) {
        gtk_window_fullscreen(GTK_WINDOW(top));
    } else {
        gtk_window_unfullscreen(GTK_WINDOW(top));
    }
}

}  // namespace q3::browser
