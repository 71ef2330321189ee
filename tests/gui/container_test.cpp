// Host containers on real web views: the context menu question, the host
// flags and style sheet, and detaching.
#include <gtest/gtest.h>
#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>

#include <stdexcept>

#include "browser/wb_container.h"
#include "browser_harness.h"

namespace q3::guitest {
namespace {

using browser::ContainerList;
using browser::ContainerOf;
using browser::ScreenPoint;
using browser::TWBContainer;

class ContainerTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        std::string tall =
            "<html><body><p id=\"p\">first words</p>"
            "<a id=\"a\" href=\"index.htm\" style=\"font-size:40px\">link</a>";
        for (int i = 0; i < 200; ++i)
            tall += "<p>line " + std::to_string(i) + "</p>";
        tall += "</body></html>";
        const std::string contents = MakeContents({{"Index", 2, "index.htm"}}, {});
        OpenBook(WriteBook(dir, "c.qbx", contents, {tall}));
        menu.append(*Gtk::manage(new Gtk::MenuItem("item")));
        menu.show_all();
    }
    void TearDown() override {
        CloseMenus();
        containers.Clear();
        BrowserTest::TearDown();
    }
    GtkWidget* widget() const { return GTK_WIDGET(view()); }
    // Right-clicks the page at a point and waits until the question was
    // answered by a handler or by a menu showing.
    void RightClick(int x, int y, const int* calls) {
        const int before = calls ? *calls : 0;
        SendButton(widget(), x, y, 3);
        RunUntil([&] { return (calls && *calls > before) || !VisibleMenus().empty(); }, 10s);
        Pump(100ms);
    }
    bool OurMenuShown() const { return gtk_widget_get_mapped(GTK_WIDGET(menu.gobj())); }
    // A visible menu that is not ours: WebKit's own.
    bool EngineMenuShown() const {
        for (GtkWidget* m : VisibleMenus()) {
            if (m != GTK_WIDGET(menu.gobj()))
                return true;
        }
        return false;
    }

    ContainerList containers;
    Gtk::Menu menu;
};

TEST_F(ContainerTest, ContextMenuIsReplacedOnDemand) {
    TWBContainer& c = containers.Add(*browser);
    int calls = 0;
    uint32_t kind = 99;
    c.OnShowContextMenu = [&](browser::WebBrowser& sender, uint32_t k, ScreenPoint p,
                              bool& handled) {
        EXPECT_EQ(&sender, browser.get());
        ++calls;
        kind = k;
        handled = true;
        ContainerOf(sender)->PopupAt(menu, p);
    };
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    RightClick(300, 400, &calls);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(kind, browser::CONTEXT_MENU_DEFAULT);
    EXPECT_TRUE(RunUntil([&] { return OurMenuShown(); }, 5s));
    EXPECT_FALSE(EngineMenuShown());
}

TEST_F(ContainerTest, UnhandledQuestionLeavesTheEnginesMenu) {
    TWBContainer& c = containers.Add(*browser);
    int calls = 0;
    c.OnShowContextMenu = [&](browser::WebBrowser&, uint32_t, ScreenPoint, bool&) { ++calls; };
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    RightClick(300, 400, &calls);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(RunUntil([&] { return EngineMenuShown(); }, 5s));
    EXPECT_FALSE(OurMenuShown());
}

TEST_F(ContainerTest, MenuKindNamesALink) {
    TWBContainer& c = containers.Add(*browser);
    int calls = 0;
    uint32_t kind = 99;
    c.OnShowContextMenu = [&](browser::WebBrowser&, uint32_t k, ScreenPoint, bool& handled) {
        ++calls;
        kind = k;
        handled = true;
    };
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    const std::string x =
        Js("String(Math.round(document.getElementById('a').getBoundingClientRect().left + 10))")
            .value_or("0");
    const std::string y =
        Js("String(Math.round(document.getElementById('a').getBoundingClientRect().top + 10))")
            .value_or("0");
    RightClick(std::stoi(x), std::stoi(y), &calls);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(kind, browser::CONTEXT_MENU_ANCHOR);
}

TEST_F(ContainerTest, CustomMenuIsTheBrowsersOwn) {
    TWBContainer& c = containers.Add(*browser);
    c.SetUseCustomMenu(true);
    int calls = 0;
    c.OnShowContextMenu = [&](browser::WebBrowser&, uint32_t, ScreenPoint, bool&) { ++calls; };
    browser->SetPopupMenu(&menu);
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    RightClick(300, 400, nullptr);
    EXPECT_TRUE(RunUntil([&] { return OurMenuShown(); }, 5s));
    EXPECT_FALSE(EngineMenuShown());
    EXPECT_EQ(calls, 0);
    browser->SetPopupMenu(nullptr);
}

TEST_F(ContainerTest, CustomMenuWithoutPopupShowsNothing) {
    TWBContainer& c = containers.Add(*browser);
    c.SetUseCustomMenu(true);
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    SendButton(widget(), 300, 400, 3);
    Pump(500ms);
    EXPECT_TRUE(VisibleMenus().empty());
}

TEST_F(ContainerTest, FreedContainerIsNeverCalled) {
    int calls = 0;
    {
        ContainerList list;
        TWBContainer& c = list.Add(*browser);
        c.OnShowContextMenu = [&](browser::WebBrowser&, uint32_t, ScreenPoint, bool& handled) {
            ++calls;
            handled = true;
        };
        c.SetHostCss("p { color: rgb(9, 9, 9) !important; }");
    }
    EXPECT_EQ(ContainerOf(*browser), nullptr);
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    RightClick(300, 400, &calls);
    EXPECT_EQ(calls, 0);
    // With no host the engine's own menu shows, and its style sheet is gone.
    EXPECT_TRUE(RunUntil([&] { return EngineMenuShown(); }, 5s));
    EXPECT_NE(Js("getComputedStyle(document.getElementById('p')).color"), "rgb(9, 9, 9)");
}

TEST_F(ContainerTest, ScrollBarsHiddenInANoScrollBarContainer) {
    // Classic scroll bars take room, so their absence can be measured; a
    // fresh view (and web process) picks the setting up.
    GtkSettings* settings = gtk_settings_get_default();
    g_object_set(settings, "gtk-overlay-scrolling", FALSE, nullptr);
    struct Restore {
        GtkSettings* s;
        ~Restore() { g_object_set(s, "gtk-overlay-scrolling", TRUE, nullptr); }
    } restore{settings};
    window->remove();
    browser = std::make_unique<browser::WebBrowser>();
    window->add(browser->Widget());
    window->show_all();

    const std::string bar = "String(window.innerWidth - document.documentElement.clientWidth)";
    const std::string overflow = "getComputedStyle(document.documentElement).overflowY";
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    // The tall page has its vertical bar in a plain view.
    ASSERT_NE(Js(bar).value_or("0"), "0");
    EXPECT_EQ(Js(overflow), "visible");

    TWBContainer& c = containers.Add(*browser);
    EXPECT_TRUE(c.ShowScrollBars());
    c.SetShowScrollBars(false);
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    EXPECT_EQ(Js(bar), "0");
    EXPECT_EQ(Js(overflow), "hidden");

    c.SetShowScrollBars(true);
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    EXPECT_NE(Js(bar).value_or("0"), "0");
}

TEST_F(ContainerTest, HostCssAppliesToEveryPageAndIsReplaced) {
    TWBContainer& c = containers.Add(*browser);
    c.SetHostCss("p { color: rgb(1, 2, 3); }");
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    EXPECT_EQ(Js("getComputedStyle(document.getElementById('p')).color"), "rgb(1, 2, 3)");
    c.SetHostCss("p { color: rgb(4, 5, 6); }");
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    EXPECT_EQ(Js("getComputedStyle(document.getElementById('p')).color"), "rgb(4, 5, 6)");
}

TEST_F(ContainerTest, TextSelectionCanBeForbidden) {
    TWBContainer& c = containers.Add(*browser);
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    browser->SelectAll();
    EXPECT_TRUE(RunUntil(
        [&] { return Js("String(window.getSelection().toString().length > 0)") == "true"; }, 5s));
    c.SetAllowTextSelection(false);
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    browser->SelectAll();
    Pump(200ms);
    EXPECT_EQ(Js("window.getSelection().toString()"), "");
}

TEST_F(ContainerTest, HostInfoFlagsIncludeTheTheme) {
    TWBContainer& c = containers.Add(*browser);
    // Xvfb sessions run GTK with its default theme.
    ASSERT_EQ(browser::CurrentThemeState(), browser::ThemeState::kEnabled);
    browser::HostInfo info = c.GetHostInfo();
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwFlags, 0x40084u);
    EXPECT_TRUE(info.css.empty());
    c.SetShowScrollBars(false);
    EXPECT_EQ(c.GetHostInfo().dwFlags, 0x4008Cu);
    // The neutral container answers nothing.
    browser::WebBrowser other;
    browser::TNulWBContainer neutral(other);
    EXPECT_EQ(neutral.GetHostInfo().dwFlags, 0u);
    EXPECT_FALSE(neutral.ShowContextMenu(0, {}));
}

TEST_F(ContainerTest, ContainerIsFoundFromItsView) {
    TWBContainer& c = containers.Add(*browser);
    EXPECT_EQ(ContainerOf(view()), &c);
    EXPECT_EQ(containers.Find(*browser), &c);
    EXPECT_EQ(c.HostedBrowser(), browser.get());
    EXPECT_THROW(containers.Add(*browser), std::logic_error);
    EXPECT_EQ(containers.Count(), 1u);
    EXPECT_TRUE(containers.Remove(*browser));
    EXPECT_FALSE(containers.Remove(*browser));
    EXPECT_EQ(ContainerOf(view()), nullptr);
}

TEST_F(ContainerTest, ContainerOutlivingItsBrowserDetachesSafely) {
    auto other = std::make_unique<browser::WebBrowser>();
    TWBContainer& c = containers.Add(*other);
    c.SetHostCss("p { color: red; }");
    other.reset();
    EXPECT_EQ(c.HostedBrowser(), nullptr);
    c.UpdateUI();
    EXPECT_EQ(c.ShowContextMenu(0, {}), false);
    containers.Clear();
    EXPECT_EQ(containers.Count(), 0u);
}

}  // namespace
}  // namespace q3::guitest
