// The browser's events and commands on real web views.
#include <gtest/gtest.h>

#include <fstream>

#include "browser/host_flags.h"
#include "browser/wb_container.h"
#include "browser_harness.h"

namespace q3::guitest {
namespace {

class EventsTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        const std::string first =
            "<html><head><title>first</title></head><body>"
            "<p id=\"p\">first page text</p>"
            "<a id=\"a\" href=\"second.htm\" style=\"display:block;font-size:60px\">go</a>"
            "</body></html>";
        const std::string second =
            "<html><head><title>second</title></head><body>"
            "<p>second page</p></body></html>";
        const std::string closing = "<html><body><p>bye</p></body></html>";
        OpenBook(WriteBook(dir, "e.qbx",
                           MakeContents({{"First", 2, "first.htm"},
                                         {"Second", 3, "second.htm"},
                                         {"Blocked", 4, "blocked.htm"},
                                         {"Close", 5, "close.htm"}},
                                        {}),
                           {first, second, "<p>blocked</p>", closing}));
    }
    bool Served(const std::string& needle) const {
        for (const std::string& a : binding->Addresses()) {
            if (a.find(needle) != std::string::npos)
                return true;
        }
        return false;
    }
};

TEST_F(EventsTest, BeforeNavigateCanCancel) {
    std::vector<std::string> asked;
    browser->OnBeforeNavigate = [&](browser::WebBrowser& sender, const std::string& address,
                                    bool& cancel) {
        EXPECT_EQ(&sender, browser.get());
        asked.push_back(address);
        cancel = address.find("blocked") != std::string::npos;
    };
    ASSERT_TRUE(Load("qbx://reader/first.htm"));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), "qbx://reader/first.htm");

    // From the window, and from a script in the page.
    browser->Navigate("qbx://reader/blocked.htm");
    Pump(300ms);
    Js("location.href = 'qbx://reader/blocked.htm'; 'ok'");
    Pump(300ms);
    EXPECT_EQ(browser->LocationUrl(), "qbx://reader/first.htm");
    EXPECT_FALSE(Served("blocked"));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "qbx://reader/blocked.htm"), 2);

    // What is not cancelled goes through.
    Js("location.href = 'qbx://reader/second.htm'; 'ok'");
    EXPECT_TRUE(RunUntil([&] { return browser->Title() == "second"; }));
}

TEST_F(EventsTest, NewWindowIsShownByTheBrowserHandedBack) {
    Gtk::Window other_window;
    std::unique_ptr<browser::WebBrowser> opened;
    std::string asked;
    browser->OnNewWindow = [&](browser::WebBrowser& sender, const std::string& address) {
        asked = address;
        opened = std::make_unique<browser::WebBrowser>(sender);
        other_window.add(opened->Widget());
        other_window.show_all();
        return opened.get();
    };
    ASSERT_TRUE(Load("qbx://reader/first.htm"));
    Js("window.open('qbx://reader/second.htm'); 'ok'");
    ASSERT_TRUE(RunUntil([&] { return opened && opened->Title() == "second"; }));
    EXPECT_EQ(asked, "qbx://reader/second.htm");
    // Its own style sheets: a host style of the opener does not reach it.
    EXPECT_NE(webkit_web_view_get_user_content_manager(opened->View()),
              webkit_web_view_get_user_content_manager(view()));
    EXPECT_NE(webkit_web_view_get_settings(opened->View()), webkit_web_view_get_settings(view()));
    EXPECT_STREQ(webkit_settings_get_default_charset(webkit_web_view_get_settings(opened->View())),
                 "GBK");
    opened.reset();
}

TEST_F(EventsTest, RefusedNewWindowOpensNothing) {
    int asked = 0;
    browser->OnNewWindow = [&](browser::WebBrowser&, const std::string&) {
        ++asked;
        return nullptr;
    };
    ASSERT_TRUE(Load("qbx://reader/first.htm"));
    EXPECT_EQ(Js("String(window.open('qbx://reader/second.htm'))"), "null");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(browser->LocationUrl(), "qbx://reader/first.htm");
}

TEST_F(EventsTest, WindowCloseFromAScriptRaisesTheCloseEvent) {
    int closing = 0;
    browser->OnWindowClosing = [&](browser::WebBrowser& sender) {
        EXPECT_EQ(&sender, browser.get());
        ++closing;
    };
    ASSERT_TRUE(Load("qbx://reader/close.htm"));
    Js("window.close(); 'ok'");
    EXPECT_TRUE(RunUntil([&] { return closing == 1; }, 10s));
}

TEST_F(EventsTest, StatusTextIsTheLinkUnderThePointer) {
    std::vector<std::string> texts;
    browser->OnStatusTextChange = [&](browser::WebBrowser&, const std::string& text) {
        texts.push_back(text);
    };
    ASSERT_TRUE(Load("qbx://reader/first.htm"));
    const int y = std::stoi(Js("String(Math.round(document.getElementById('a')"
                               ".getBoundingClientRect().top + 20))")
                                .value_or("0"));
    SendMotion(GTK_WIDGET(view()), 20, y);
    ASSERT_TRUE(RunUntil([&] { return !texts.empty(); }, 10s));
    EXPECT_EQ(texts.back(), "qbx://reader/second.htm");
    SendMotion(GTK_WIDGET(view()), 600, 600);
    ASSERT_TRUE(RunUntil([&] { return texts.size() == 2; }, 10s));
    EXPECT_EQ(texts.back(), "");
}

gboolean AnswerYes(WebKitWebView*, WebKitScriptDialog* dialog, gpointer calls) {
    ++*static_cast<int*>(calls);
    if (webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_CONFIRM) {
        webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
    }
    return TRUE;
}

TEST_F(EventsTest, SilentBrowserShowsNoScriptDialog) {
    int shown = 0;
    g_signal_connect(view(), "script-dialog", G_CALLBACK(AnswerYes), &shown);
    ASSERT_TRUE(Load("qbx://reader/first.htm"));
    EXPECT_EQ(Js("String(confirm('sure?'))"), "true");
    EXPECT_EQ(shown, 1);
    browser->SetSilent(true);
    EXPECT_TRUE(browser->Silent());
    EXPECT_EQ(Js("String(confirm('sure?'))"), "false");
    EXPECT_EQ(Js("alert('x'); 'after'"), "after");
    EXPECT_EQ(shown, 1);
    g_signal_handlers_disconnect_by_data(view(), &shown);
}

TEST_F(EventsTest, BackForwardAndRefresh) {
    ASSERT_TRUE(Load("qbx://reader/first.htm"));
    ASSERT_TRUE(Load("qbx://reader/second.htm"));
    browser->GoBack();
    EXPECT_TRUE(RunUntil([&] { return browser->Title() == "first" && !browser->Busy(); }));
    browser->GoForward();
    EXPECT_TRUE(RunUntil([&] { return browser->Title() == "second" && !browser->Busy(); }));
    const int before = binding->Requests();
    browser->Refresh();
    EXPECT_TRUE(RunUntil([&] { return binding->Requests() > before && !browser->Busy(); }));
    browser->Stop();
    EXPECT_FALSE(browser->Busy());
}

TEST_F(EventsTest, SelectAllAndCopyReachTheClipboard) {
    ASSERT_TRUE(Load("qbx://reader/first.htm"));
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    gtk_clipboard_set_text(clipboard, "before", -1);
    browser->SelectAll();
    browser->Copy();
    std::string copied;
    ASSERT_TRUE(RunUntil(
        [&] {
            gchar* text = gtk_clipboard_wait_for_text(clipboard);
            copied = text ? text : "";
            g_free(text);
            return copied != "before";
        },
        10s));
    EXPECT_NE(copied.find("first page text"), std::string::npos);
}

TEST_F(EventsTest, SaveAsWritesThePageBytes) {
    ASSERT_TRUE(Load("qbx://reader/second.htm"));
    const std::string path = dir.File("saved.htm");
    int done = 0;
    bool ok = false;
    browser->SaveAs(path, [&](bool result) {
        ++done;
        ok = result;
    });
    ASSERT_TRUE(RunUntil([&] { return done == 1; }));
    EXPECT_TRUE(ok);
    std::string expected;
    srv.ReadDataByStream("qbx://reader/second.htm", expected);
    EXPECT_EQ(q3::testing::ReadFileBytes(path), expected);

    const std::string archive = dir.File("saved.mht");
    done = 0;
    browser->SaveAs(archive, [&](bool result) {
        ++done;
        ok = result;
    });
    ASSERT_TRUE(RunUntil([&] { return done == 1; }));
    EXPECT_TRUE(ok);
    EXPECT_NE(q3::testing::ReadFileBytes(archive).find("MIME-Version"), std::string::npos);
}

TEST_F(EventsTest, PendingSaveOfAFreedBrowserNeverCallsBack) {
    ASSERT_TRUE(Load("qbx://reader/second.htm"));
    int done = 0;
    browser->SaveAs(dir.File("gone.htm"), [&](bool) { ++done; });
    window->remove();
    browser.reset();
    Pump(500ms);
    EXPECT_EQ(done, 0);
}

}  // namespace
}  // namespace q3::guitest
