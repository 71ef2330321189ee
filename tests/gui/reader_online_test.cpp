// The online services in the main window, against a real HTTP server on the
// loopback interface: the update request, the ad strip and the resource tree.
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include <algorithm>
#include <optional>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/shell.h"
#include "online/test_http_server.h"
#include "online/trace_recorder.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

using q3::testing::TestHttpServer;

constexpr const char* kKey = "SOFTWARE\\Tarvik\\Quillon3";

// The value of a script in the page, as JSON; nothing when it failed.
std::optional<std::string> PageValue(browser::WebBrowser& wb, const std::string& script) {
    std::optional<std::string> value;
    bool answered = false;
    browser::RunPageScript(wb, script, [&](std::optional<std::string> json) {
        value = std::move(json);
        answered = true;
    });
    if (!PumpUntil([&] { return answered; }, std::chrono::seconds(10)))
        return std::nullopt;
    return value;
}

// Captions of the resource tree, children in brackets: "P[Q,R]". Empty
// while the tree has no rows on show (it has none while it is filled).
std::string TreeShape(Gtk::TreeView& tree, const Gtk::TreeNodeChildren& rows) {
    std::string shape;
    for (const Gtk::TreeIter& row : rows) {
        if (!shape.empty())
            shape += ",";
        shape += RowText(tree, tree.get_model()->get_path(row));
        if (!row->children().empty())
            shape += "[" + TreeShape(tree, row->children()) + "]";
    }
    return shape;
}

std::string TreeShape(Tfm_Quillon3& w) {
    auto& tree = Named<Gtk::TreeView>(w, "resource_tree");
    return tree.get_model() ? TreeShape(tree, tree.get_model()->children()) : std::string();
}

// A left click on a row's caption, as the pointer delivers it.
void ClickRow(Gtk::TreeView& tree, const Gtk::TreePath& path) {
    Gdk::Rectangle cell;
    tree.get_cell_area(path, *tree.get_column(0), cell);
    GdkWindow* rows = tree.get_bin_window()->gobj();
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(rows));
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        gdk_event_set_device(event, gdk_seat_get_pointer(seat));
        event->button.window = GDK_WINDOW(g_object_ref(rows));
        event->button.time = GDK_CURRENT_TIME;
        event->button.button = 1;
        event->button.x = cell.get_x() + 4;
        event->button.y = cell.get_y() + cell.get_height() / 2;
        if (type == GDK_BUTTON_RELEASE)
            event->button.state = GDK_BUTTON1_MASK;
        gtk_main_do_event(event);
        gdk_event_free(event);
    }
}

// Enter pressed on the focused widget of widget's window. The window is
// first told that it has the keyboard: with no window manager on the virtual
// screen nothing else tells it, and a tree takes keys only while focused.
void PressEnter(Gtk::Widget& widget) {
    GdkWindow* window = widget.get_toplevel()->get_window()->gobj();
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
    GdkEvent* focus = gdk_event_new(GDK_FOCUS_CHANGE);
    gdk_event_set_device(focus, gdk_seat_get_keyboard(seat));
    focus->focus_change.window = GDK_WINDOW(g_object_ref(window));
    focus->focus_change.in = TRUE;
    focus->focus_change.send_event = TRUE;
    gtk_main_do_event(focus);
    gdk_event_free(focus);
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(window));
    event->key.keyval = GDK_KEY_Return;
    event->key.send_event = TRUE;
    // Key bindings look the key up by its hardware code.
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(
            gdk_keymap_get_for_display(gdk_window_get_display(window)), GDK_KEY_Return, &keys,
            &count) &&
        count > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
        event->key.group = static_cast<guint8>(keys[0].group);
    }
    g_free(keys);
    gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

class ReaderOnline : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        // A proxy from the environment must not stand between the reader and
        // the loopback server.
        setenv("no_proxy", "127.0.0.1", 1);
        setenv("NO_PROXY", "127.0.0.1", 1);
    }
    void TearDown() override {
        unsetenv("no_proxy");
        unsetenv("NO_PROXY");
        ReaderTest::TearDown();
    }

    // The documented way to point the reader at a service.
    void UseService() { setenv("QUILLON3_SERVICE_URL", server.base().c_str(), 1); }

    // The answer's feed: P (id 1) with children Q and R, links to the server.
    std::string Feed() const {
        return "[[FRESS\r\n"
               "<item><id>1</id><pid>0</pid><title>P</title><link>" +
               server.Url("/p") +
               "</link></item>\r\n"
               "<item><id>2</id><pid>1</pid><title>Q</title><link>" +
               server.Url("/q") +
               "</link></item>\r\n"
               "<item><id>3</id><pid>1</pid><title>R</title><link>" +
               server.Url("/r") + "</link></item>\r\n]]\r\n";
    }

    bool AdShown(Tfm_Quillon3& w) {
        return PumpUntil([&] {
            return Named<Gtk::Box>(w, "ad_panel").get_visible() && AdBrowser(w) &&
                   !AdBrowser(w)->Busy() && AdBrowser(w)->Title() == "adSense";
        });
    }

    TestHttpServer server;
};

TEST_F(ReaderOnline, SwitchedOnAdTakesTheWindowColourAndFollowsEveryColourChange) {
    WriteHkcuInteger(kKey, "FackColor-Quillon3", 0xDDFFDD);  // "粉绿"
    server.Serve("/qbx", {200, "text/html", "<!-- 1 -->\r\n[[DATA<b id=\"ad\">广告</b>]]\r\n"});
    UseService();
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ASSERT_TRUE(AdShown(w));
    // The strip keeps its size: the ad's view asks for the width its page
    // was laid out in, which once widened the strip by a logo's width.
    ASSERT_TRUE(PumpUntil([&] { return AdBrowser(w)->Widget().get_allocated_width() > 1; }));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(Named<Gtk::Box>(w, "ad_strip").get_allocated_width(), kAdStripWidth);
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("/qbx?cl=Quillon3&vs=20090915&mc=", 0), 0u) << requests[0];
    EXPECT_EQ(PageValue(*AdBrowser(w), "document.body.getAttribute('bgcolor')"), "\"#DDFFDD\"");
    EXPECT_EQ(PageValue(*AdBrowser(w), "document.getElementById('ad').textContent"), "\"广告\"");
    // The answer brought no feed: the built-in entries stay.
    EXPECT_EQ(TreeShape(w), "Quillon,资源分享");

    ColorSchemeItem(w, ColorSchemeMenu::kPinkEntry).activate();
    std::optional<std::string> style;
    EXPECT_TRUE(PumpUntil([&] {
        style = PageValue(*AdBrowser(w), "document.body.getAttribute('style')");
        return style && style->find("rgb(255, 181, 179)") != std::string::npos;
    })) << style.value_or("(no answer)");
    EXPECT_NE(style->find("font-size: 12px"), std::string::npos) << *style;
}

TEST_F(ReaderOnline, AdLinksOpenInTheCurrentTabOrTheStripAndTheAdCannotReadTheBook) {
    const std::string book = WriteBook();
    server.Serve("/qbx", {200, "text/html",
                          "<!--1-->\r\n[[DATA<a id=\"new\" href=\"" + server.Url("/new") +
                              "\" target=\"_blank\">n</a><a id=\"plain\" href=\"" +
                              server.Url("/plain") + "\">p</a>]]\r\n"});
    server.Serve("/new", {200, "text/html", "<title>new</title>"});
    server.Serve("/plain", {200, "text/html", "<title>plain</title>"});
    UseService();
    ReaderSession s({book});
    Tfm_Quillon3& w = s.window();
    ASSERT_TRUE(AdShown(w));
    ASSERT_TRUE(PumpUntil([&] { return w.IsDocumentPage() && !HomeBrowser(w).Busy(); }));

    // The ad's page asks the reader's scheme for a page of the open book.
    const std::optional<std::string> read =
        PageValue(*AdBrowser(w),
                  "(function () { try { var r = new XMLHttpRequest();"
                  " r.open('GET', 'qbx://reader/cover.htm', false); r.send();"
                  " return r.responseText; } catch (e) { return 'refused'; } })()");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->find("cover"), std::string::npos) << *read;

    // A link asking for a new window goes to the current tab, no tab is added.
    PageValue(*AdBrowser(w), "document.getElementById('new').click()");
    EXPECT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "new"; }))
        << HomeBrowser(w).LocationUrl();
    EXPECT_EQ(w.PageTabCount(), 0u);
    EXPECT_EQ(AdBrowser(w)->Title(), "adSense");
    // A plain link loads in the strip itself.
    PageValue(*AdBrowser(w), "document.getElementById('plain').click()");
    EXPECT_TRUE(PumpUntil([&] { return AdBrowser(w)->Title() == "plain"; }));
    EXPECT_EQ(HomeBrowser(w).Title(), "new");
}

TEST_F(ReaderOnline, FeedRebuildsTheTreeAndAClickOrEnterOpensTheLinkInTheCurrentTab) {
    // Only a feed: the tree is replaced, the ad strip stays as it was.
    server.Serve("/qbx", {200, "text/html", "<!--0-->\r\n" + Feed()});
    for (const char* page : {"/q", "/r"})
        server.Serve(page, {200, "text/html", std::string("<title>") + (page + 1) + "</title>"});
    UseService();
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ASSERT_TRUE(PumpUntil([&] { return TreeShape(w) == "P[Q,R]"; })) << TreeShape(w);
    EXPECT_FALSE(Named<Gtk::Box>(w, "ad_panel").get_visible());
    EXPECT_EQ(AdBrowser(w), nullptr);

    Activate(w, "act_NavTree");  // the side bar starts hidden
    auto& tree = Named<Gtk::TreeView>(w, "resource_tree");
    tree.expand_all();
    ASSERT_TRUE(PumpUntil([&] {
        Gdk::Rectangle cell;
        if (!tree.get_mapped())
            return false;
        tree.get_cell_area(Gtk::TreePath("0:1"), *tree.get_column(0), cell);
        return cell.get_height() > 0;
    }));
    ClickRow(tree, Gtk::TreePath("0:0"));
    EXPECT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "q"; }))
        << HomeBrowser(w).LocationUrl();

    tree.set_cursor(Gtk::TreePath("0:1"));
    ASSERT_TRUE(TakeFocus(w, &tree));
    PressEnter(tree);
    EXPECT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "r"; }))
        << HomeBrowser(w).LocationUrl();
}

TEST_F(ReaderOnline, WithoutAServiceNothingIsAskedAndTheLogoStillLeadsHome) {
    WriteHkcuString(kKey, "LogoUrl", server.Url("/logo"));
    server.Serve("/logo", {200, "text/html", "<title>logo</title>"});
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ASSERT_TRUE(PumpUntil([&] { return w.get_title() == "首页 - Quillon3"; }));
    // Long enough for a request that was started on an idle turn to arrive.
    PumpFor(std::chrono::milliseconds(1500));
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(TreeShape(w), "Quillon,资源分享");
    // No ad, no ad browser, even across a colour change.
    ColorSchemeItem(w, ColorSchemeMenu::kPinkEntry).activate();
    EXPECT_EQ(AdBrowser(w), nullptr);
    EXPECT_FALSE(Named<Gtk::Box>(w, "ad_panel").get_visible());

    EXPECT_EQ(Named<Gtk::EventBox>(w, "logo_box").get_tooltip_text(), server.Url("/logo"));
    ASSERT_TRUE(TakeFocus(w, &Named<Gtk::EventBox>(w, "logo_box")));
    PressEnter(Named<Gtk::EventBox>(w, "logo_box"));
    EXPECT_TRUE(PumpUntil([&] { return HomeBrowser(w).Title() == "logo"; }));
    EXPECT_EQ(server.Requests(), std::vector<std::string>{"/logo"});
}

TEST_F(ReaderOnline, QuittingWhileTheRequestIsInFlightStopsItAtOnce) {
    // Configured in the registry this time; the server never answers.
    WriteHkcuString(kKey, "ServiceUrl", server.base());
    server.Serve("/qbx", TestHttpServer::Silent());
    q3::testing::TraceRecorder traces;
    ReaderSession s;
    ASSERT_TRUE(PumpUntil([&] { return !server.Requests().empty(); }));
    s.Close();
    // Had the window waited for the request's 30-second time-out, the trace
    // would tell that instead; had it not waited at all, nothing would be
    // traced yet.
    std::vector<q3::testing::TraceRecorder::Entry> fetches = traces.Take();
    std::erase_if(fetches, [](const auto& e) { return e.first != "XMLHttpGet"; });
    ASSERT_EQ(fetches.size(), 1u);
    EXPECT_NE(fetches[0].second.find("stopped"), std::string::npos) << fetches[0].second;
    EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
}  // namespace q3::reader::testing
