#include "browser_harness.h"

#include <gtk/gtk.h>

#include <thread>

#include "support/solid_png.h"

namespace q3::guitest {

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        // Never block: a loop with nothing to do would sleep past the deadline.
        if (!g_main_context_iteration(nullptr, FALSE)) {
            std::this_thread::sleep_for(2ms);
        }
    }
    return true;
}

void Pump(std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    RunUntil([&] { return std::chrono::steady_clock::now() >= until; }, span + 1s);
}

namespace {

struct JsCall {
    bool done = false;
    std::optional<std::string> result;
};

void JsFinished(GObject* source, GAsyncResult* res, gpointer data) {
    auto* call = static_cast<JsCall*>(data);
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), res, &error);
    if (value != nullptr) {
        char* text = jsc_value_to_string(value);
        call->result = text ? text : "";
        g_free(text);
        g_object_unref(value);
    }
    if (error)
        g_error_free(error);
    call->done = true;
}

struct DataCall {
    bool done = false;
    std::optional<std::string> bytes;
};

void DataFinished(GObject* source, GAsyncResult* res, gpointer data) {
    auto* call = static_cast<DataCall*>(data);
    gsize length = 0;
    guchar* bytes =
        webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), res, &length, nullptr);
    if (bytes != nullptr)
        call->bytes.emplace(reinterpret_cast<char*>(bytes), length);
    g_free(bytes);
    call->done = true;
}

}  // namespace

std::optional<std::string> EvalJs(WebKitWebView* view, const std::string& script) {
    // Heap-held: a time-out must not leave the callback a dead stack frame.
    auto* call = new JsCall();
    webkit_web_view_evaluate_javascript(view, script.c_str(), -1, nullptr, nullptr, nullptr,
                                        JsFinished, call);
    if (!RunUntil([call] { return call->done; }, 20s))
        return std::nullopt;  // leaked on purpose
    std::optional<std::string> out = std::move(call->result);
    delete call;
    return out;
}

std::optional<std::string> PageBytes(WebKitWebView* view) {
    WebKitWebResource* resource = webkit_web_view_get_main_resource(view);
    if (resource == nullptr)
        return std::nullopt;
    auto* call = new DataCall();
    webkit_web_resource_get_data(resource, nullptr, DataFinished, call);
    if (!RunUntil([call] { return call->done; }, 20s))
        return std::nullopt;  // leaked on purpose
    std::optional<std::string> out = std::move(call->bytes);
    delete call;
    return out;
}

namespace {

GdkEvent* PointerEvent(GdkEventType type, GtkWidget* widget, int x, int y) {
    GdkWindow* window = gtk_widget_get_window(widget);
    GdkEvent* event = gdk_event_new(type);
    int ox = 0, oy = 0;
    gdk_window_get_origin(window, &ox, &oy);
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    // Widgets without a window of their own draw at their allocation.
    if (!gtk_widget_get_has_window(widget)) {
        x += a.x;
        y += a.y;
    }
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
    gdk_event_set_device(event, gdk_seat_get_pointer(seat));
    if (type == GDK_MOTION_NOTIFY) {
        event->motion.window = GDK_WINDOW(g_object_ref(window));
        event->motion.time = GDK_CURRENT_TIME;
        event->motion.x = x;
        event->motion.y = y;
        event->motion.x_root = ox + x;
        event->motion.y_root = oy + y;
    } else {
        event->button.window = GDK_WINDOW(g_object_ref(window));
        event->button.time = GDK_CURRENT_TIME;
        event->button.x = x;
        event->button.y = y;
        event->button.x_root = ox + x;
        event->button.y_root = oy + y;
    }
    return event;
}

}  // namespace

void SendButton(GtkWidget* widget, int x, int y, guint button) {
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = PointerEvent(type, widget, x, y);
        event->button.button = button;
        if (type == GDK_BUTTON_RELEASE)
            event->button.state = GDK_BUTTON3_MASK;
        gtk_main_do_event(event);
        gdk_event_free(event);
        Pump(30ms);
    }
}

void SendMotion(GtkWidget* widget, int x, int y) {
    GdkEvent* event = PointerEvent(GDK_MOTION_NOTIFY, widget, x, y);
    gtk_main_do_event(event);
    gdk_event_free(event);
}

std::vector<GtkWidget*> VisibleMenus() {
    std::vector<GtkWidget*> menus;
    GList* tops = gtk_window_list_toplevels();
    for (GList* l = tops; l != nullptr; l = l->next) {
        GtkWidget* top = GTK_WIDGET(l->data);
        GtkWidget* child = GTK_IS_BIN(top) ? gtk_bin_get_child(GTK_BIN(top)) : nullptr;
        if (child && GTK_IS_MENU(child) && gtk_widget_get_mapped(top))
            menus.push_back(child);
    }
    g_list_free(tops);
    return menus;
}

void CloseMenus() {
    for (GtkWidget* menu : VisibleMenus())
        gtk_menu_shell_cancel(GTK_MENU_SHELL(menu));
    Pump(50ms);
}

std::string MakePng(int width, int height, uint32_t rgb) {
    return q3::testing::SolidPng(width, height, rgb);
}

std::string MakeContents(const std::vector<Item>& items, const std::vector<Item>& resources) {
    std::string text = "<ul>\n";
    for (const Item& i : items) {
        text += "<li><param name=\"name\" value=\"" + i.caption + "\" id=\"" +
                std::to_string(i.record) + "\"><param name=\"local\" value=\"" + i.path + "\">\n";
    }
    for (const Item& r : resources) {
        text += "<res value=\"" + r.path + "\" id=\"" + std::to_string(r.record) + "\">\n";
    }
    // The parser never examines the last line on its own.
    text += "</ul>\nend\n";
    return text;
}

std::string WriteBook(const q3::testing::TempDir& dir, const std::string& name,
                      const std::string& contents, const std::vector<std::string>& records) {
    doc::QbxWriter writer(doc::DocumentInfo{});
    writer.AddRecord(contents);
    for (const std::string& r : records)
        writer.AddRecord(r);
    const std::string path = dir.File(name);
    writer.WriteFile(path);
    return path;
}

SchemeBinding::SchemeBinding(server::Tdm_htServer& srv) {
    server::scheme::TDynPtl& dyn = server::scheme::ProcessDynPtl();
    dyn.SetNamespace("qbx");
    dyn.SetActive(true);
    dyn.OnAccept = [](std::string_view, bool& accept) { accept = true; };
    dyn.OnContent = [this, &srv](std::string_view address, std::string& out) {
        ++requests_;
        addresses_.emplace_back(address);
        srv.ReadDataByStream(address, out);
    };
}

SchemeBinding::~SchemeBinding() {
    server::scheme::TDynPtl& dyn = server::scheme::ProcessDynPtl();
    dyn.OnContent = nullptr;
    dyn.OnAccept = nullptr;
}

void BrowserTest::SetUp() {
    binding = std::make_unique<SchemeBinding>(srv);
    window = std::make_unique<Gtk::Window>();
    window->set_default_size(900, 700);
    window->move(0, 0);
    browser = std::make_unique<browser::WebBrowser>();
    window->add(browser->Widget());
    window->show_all();
    Pump(50ms);
}

void BrowserTest::TearDown() {
    browser.reset();
    window.reset();
    binding.reset();
    Pump(20ms);
}

void BrowserTest::OpenBook(const std::string& path, const std::string& password) {
    const server::OpenOutcome out = srv.OpenDocument(
        path, [password](doc::TQBXManage&, std::string& answer) { answer = password; });
    ASSERT_EQ(out.kind, server::OpenOutcome::kOpened) << out.message;
    srv.LoadContents(out.contents_text, model);
}

bool BrowserTest::Load(const std::string& address, unsigned flags) {
    return Load(*browser, address, flags);
}

bool BrowserTest::Load(browser::WebBrowser& b, const std::string& address, unsigned flags) {
    bool finished = false;
    const gulong id = g_signal_connect(
        b.View(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent e, gpointer f) {
            if (e == WEBKIT_LOAD_FINISHED)
                *static_cast<bool*>(f) = true;
        }),
        &finished);
    b.Navigate(address, flags);
    // A failed load goes on with WebKit's error page; wait for that too.
    const bool ok = RunUntil([&] { return finished && !b.Busy(); });
    g_signal_handler_disconnect(b.View(), id);
    return ok;
}

bool BrowserTest::Screenshot(const std::string& path) {
    Pump(300ms);
    GdkWindow* gdk = window->get_window()->gobj();
    const int w = gdk_window_get_width(gdk);
    const int h = gdk_window_get_height(gdk);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk, 0, 0, w, h);
    if (shot == nullptr)
        return false;
    const bool ok = gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(shot);
    return ok;
}

}  // namespace q3::guitest
