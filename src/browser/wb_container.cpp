#include "browser/wb_container.h"

#include <gtkmm/menu.h>
#include <gtkmm/settings.h>

#include <stdexcept>

#include "browser/signal_guard.h"
#include "browser/web_browser.h"

namespace q3::browser {
namespace {

constexpr const char* kContainerKey = "q3-wb-container";

HitContext HitOf(WebKitHitTestResult* hit) {
    HitContext h;
    if (hit == nullptr)
        return h;
    h.link = webkit_hit_test_result_context_is_link(hit);
    h.image = webkit_hit_test_result_context_is_image(hit);
    h.media = webkit_hit_test_result_context_is_media(hit);
    h.editable = webkit_hit_test_result_context_is_editable(hit);
    h.selection = webkit_hit_test_result_context_is_selection(hit);
    return h;
}

// Where the menu was asked for, in screen coordinates; the pointer's place
// when it was asked for from the keyboard.
ScreenPoint PointOf(GdkEvent* event, GtkWidget* widget) {
    ScreenPoint p;
    gdouble x = 0, y = 0;
    if (event != nullptr && gdk_event_get_root_coords(event, &x, &y)) {
        p.x = static_cast<int>(x);
        p.y = static_cast<int>(y);
        return p;
    }
    GdkDisplay* display = gtk_widget_get_display(widget);
    GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer != nullptr)
        gdk_device_get_position(pointer, nullptr, &p.x, &p.y);
    return p;
}

}  // namespace

TNulWBContainer::TNulWBContainer(WebBrowser& browser) : view_(browser.View()) {
    if (ContainerOf(view_) != nullptr) {
        throw std::logic_error("The browser already has a host container");
    }
    // Held so that detaching works even after the browser let its view go.
    g_object_ref(view_);
    g_object_set_data(G_OBJECT(view_), kContainerKey, this);
    g_signal_connect(view_, "context-menu", G_CALLBACK(HandleContextMenu), this);
}

TNulWBContainer::~TNulWBContainer() {
    g_signal_handlers_disconnect_by_data(view_, this);
    if (ContainerOf(view_) == this)
        g_object_set_data(G_OBJECT(view_), kContainerKey, nullptr);
    g_object_unref(view_);
}

WebBrowser* TNulWBContainer::HostedBrowser() const {
    return WebBrowser::FromView(view_);
}

bool TNulWBContainer::ShowContextMenu(uint32_t, ScreenPoint) {
    return false;
}

void TNulWBContainer::UpdateUI() {
    WebBrowser* browser = HostedBrowser();
    if (OnUpdateUI && browser)
        OnUpdateUI(*browser);
}

void TNulWBContainer::PopupAt(Gtk::Menu& menu, ScreenPoint point) {
    GtkWidget* widget = GTK_WIDGET(view_);
    GdkWindow* window = gtk_widget_get_window(widget);
    if (window == nullptr) {
        menu.popup_at_pointer(menu_event_);
        return;
    }
    int ox = 0, oy = 0;
    gdk_window_get_origin(window, &ox, &oy);
    GdkRectangle rect{point.x - ox, point.y - oy, 1, 1};
    if (!menu.get_attach_widget())
        menu.attach_to_widget(*Glib::wrap(widget));
    gtk_menu_popup_at_rect(menu.gobj(), window, &rect, GDK_GRAVITY_NORTH_WEST,
                           GDK_GRAVITY_NORTH_WEST, menu_event_);
}

gboolean TNulWBContainer::HandleContextMenu(WebKitWebView* view, WebKitContextMenu*,
                                            GdkEvent* event, WebKitHitTestResult* hit,
                                            gpointer self) {
    auto& container = *static_cast<TNulWBContainer*>(self);
    container.menu_event_ = event;
    const bool replaced = Guarded(false, [&] {
        return container.ShowContextMenu(MenuKindOf(HitOf(hit)), PointOf(event, GTK_WIDGET(view)));
    });
    container.menu_event_ = nullptr;
    return replaced ? TRUE : FALSE;
}

TWBContainer::TWBContainer(WebBrowser& browser) : TNulWBContainer(browser) {
    ApplyHostInfo();
}

TWBContainer::~TWBContainer() {
    RemoveStyleSheet();
}

bool TWBContainer::ShowContextMenu(uint32_t menu_kind, ScreenPoint point) {
    if (use_custom_menu_) {
        WebBrowser* browser = HostedBrowser();
        if (browser && browser->PopupMenu())
            PopupAt(*browser->PopupMenu(), point);
        return true;
    }
    bool handled = false;
    WebBrowser* browser = HostedBrowser();
    if (OnShowContextMenu && browser)
        OnShowContextMenu(*browser, menu_kind, point, handled);
    return handled;
}

HostInfo TWBContainer::GetHostInfo() const {
    return MakeHostInfo(switches_, CurrentThemeState(), host_css_);
}

void TWBContainer::SetShowScrollBars(bool on) {
    if (on == switches_.show_scroll_bars)
        return;
    switches_.show_scroll_bars = on;
    ApplyHostInfo();
}

void TWBContainer::SetShow3DBorder(bool on) {
    if (on == switches_.show_3d_border)
        return;
    switches_.show_3d_border = on;
    ApplyHostInfo();
}

void TWBContainer::SetAllowTextSelection(bool on) {
    if (on == switches_.allow_text_selection)
        return;
    switches_.allow_text_selection = on;
    ApplyHostInfo();
}

void TWBContainer::SetHostCss(std::string css) {
    if (css == host_css_)
        return;
    host_css_ = std::move(css);
    ApplyHostInfo();
}

// WebKit has no host question at page load; the answer is installed as the
// view's user style sheet instead, replaced whenever a switch changes.
void TWBContainer::ApplyHostInfo() {
    RemoveStyleSheet();
    const HostInfo info = GetHostInfo();
    const std::string css = HostStyleSheet(info.dwFlags, info.css);
    if (css.empty())
        return;
    sheet_ = webkit_user_style_sheet_new(css.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                         WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    webkit_user_content_manager_add_style_sheet(webkit_web_view_get_user_content_manager(View()),
                                                sheet_);
}

void TWBContainer::RemoveStyleSheet() {
    if (sheet_ == nullptr)
        return;
    webkit_user_content_manager_remove_style_sheet(webkit_web_view_get_user_content_manager(View()),
                                                   sheet_);
    webkit_user_style_sheet_unref(sheet_);
    sheet_ = nullptr;
}

ThemeState CurrentThemeState() {
    GtkSettings* settings = gtk_settings_get_default();
    if (settings == nullptr)
        return ThemeState::kUnavailable;
    gchar* name = nullptr;
    g_object_get(settings, "gtk-theme-name", &name, nullptr);
    const bool themed = name != nullptr && name[0] != '\0';
    g_free(name);
    return themed ? ThemeState::kEnabled : ThemeState::kAvailableButOff;
}

TNulWBContainer* ContainerOf(WebKitWebView* view) {
    if (view == nullptr)
        return nullptr;
    return static_cast<TNulWBContainer*>(g_object_get_data(G_OBJECT(view), kContainerKey));
}

TNulWBContainer* ContainerOf(const WebBrowser& browser) {
    return ContainerOf(browser.View());
}

TWBContainer& ContainerList::Add(WebBrowser& browser) {
    items_.push_back(std::make_unique<TWBContainer>(browser));
    return *items_.back();
}

bool ContainerList::Remove(const WebBrowser& browser) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->View() == browser.View()) {
            items_.erase(it);
            return true;
        }
    }
    return false;
}

TWBContainer* ContainerList::Find(const WebBrowser& browser) const {
    for (const auto& c : items_) {
        if (c->View() == browser.View())
            return c.get();
    }
    return nullptr;
}

void ContainerList::Clear() {
    // Newest first, the reverse of creation.
    while (!items_.empty())
        items_.pop_back();
}

}  // namespace q3::browser
