// A bare window with one web view, the content server behind the process's
// scheme registration, and bounded waits on the main loop: no GUI test can
// hang, every wait ends by its deadline and the test then fails.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <gtkmm/window.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/web_browser.h"
#include "document/writer.h"
#include "scheme/webkit_scheme.h"
#include "server/ht_server.h"
#include "support/temp_dir.h"

namespace q3::guitest {

using namespace std::chrono_literals;

// Iterates the main loop until done() or the deadline; true when done.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s);
// Lets the main loop run for a while (layout, painting).
void Pump(std::chrono::milliseconds span);

// Runs a script in the page; its result as text, or nothing on error/time-out.
std::optional<std::string> EvalJs(WebKitWebView* view, const std::string& script);
// The bytes of the page the view shows (its main resource).
std::optional<std::string> PageBytes(WebKitWebView* view);

// Pointer events delivered to a widget as the window system would, at
// widget coordinates.
void SendButton(GtkWidget* widget, int x, int y, guint button);
void SendMotion(GtkWidget* widget, int x, int y);
// The visible pop-up menus of the process (WebKit's context menu is one).
std::vector<GtkWidget*> VisibleMenus();
void CloseMenus();

// A PNG picture of one colour, made at test time.
std::string MakePng(int width, int height, uint32_t rgb);

// A contents text for items {caption GBK, record, path}.
struct Item {
    std::string caption;
    int record;
    std::string path;
};
// Resources use record and path; their caption is left empty.
std::string MakeContents(const std::vector<Item>& items, const std::vector<Item>& resources);

// Records 2.. are `records` in order; record 1 the contents.
std::string WriteBook(const q3::testing::TempDir& dir, const std::string& name,
                      const std::string& contents, const std::vector<std::string>& records);

// Binds the process's registration object to a content server and counts
// the requests; unbinds on destruction so no request reaches a freed server.
class SchemeBinding {
  public:
    explicit SchemeBinding(server::Tdm_htServer& srv);
    ~SchemeBinding();
    int Requests() const { return requests_; }
    const std::vector<std::string>& Addresses() const { return addresses_; }

  private:
    int requests_ = 0;
    std::vector<std::string> addresses_;
};

// The fixture: a 900x700 window holding one browser, shown.
class BrowserTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a document into the server.
    void OpenBook(const std::string& path, const std::string& password = "");
    // Navigates and waits for the page to complete; false on time-out.
    bool Load(const std::string& address, unsigned flags = 0);
    bool Load(browser::WebBrowser& b, const std::string& address, unsigned flags = 0);
    std::optional<std::string> Js(const std::string& script) { return EvalJs(view(), script); }
    WebKitWebView* view() const { return browser->View(); }
    // Saves what the window shows as a PNG; true on success.
    bool Screenshot(const std::string& path);

    q3::testing::TempDir dir;
    server::Tdm_htServer srv;
    server::MemoryContentsModel model;
    std::unique_ptr<SchemeBinding> binding;
    std::unique_ptr<Gtk::Window> window;
    std::unique_ptr<browser::WebBrowser> browser;
    int completed = 0;
    std::string last_completed;
};

}  // namespace q3::guitest
