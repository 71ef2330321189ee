// The page commands that have no call of their own on the browser: find in
// page, the page's properties and its source. The main window owns one
// BrowserCommands; the dialogs and windows it opens belong to it.
#pragma once

#include <gtkmm/window.h>
#include <sigc++/trackable.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <vector>

#include "browser/find_dialog.h"
#include "browser/host_flags.h"
#include "browser/page_windows.h"

namespace q3::browser {

class WebBrowser;

// The view that takes page commands: none until the browser has loaded a page.
WebKitWebView* FindPageWindow(const WebBrowser& browser);

// Trackable: a close that is still pending when the owner goes is dropped.
class BrowserCommands : public sigc::trackable {
  public:
    explicit BrowserCommands(Gtk::Window& owner) : owner_(owner) {}
    ~BrowserCommands();
    BrowserCommands(const BrowserCommands&) = delete;
    BrowserCommands& operator=(const BrowserCommands&) = delete;

    // kCommandFind, kCommandProperties or kCommandViewSource. Nothing happens
    // (false) when the browser has no page yet or the number is unknown.
    bool SendBrowserCommand(WebBrowser& browser, int command);

    // What the commands opened, for the window's own use and for tests.
    FindDialog* Finder() const { return find_.get(); }
    PagePropertiesDialog* LastProperties() const { return last_properties_; }
    SourceWindow* LastSource() const { return last_source_; }
    size_t OpenWindowCount() const { return windows_.size(); }

  private:
    void ShowFind(WebBrowser& browser);
    void Keep(std::unique_ptr<Gtk::Window> window);
    void Forget(Gtk::Window* window);

    Gtk::Window& owner_;
    std::unique_ptr<FindDialog> find_;
    std::vector<std::unique_ptr<Gtk::Window>> windows_;
    PagePropertiesDialog* last_properties_ = nullptr;
    SourceWindow* last_source_ = nullptr;
};

}  // namespace q3::browser
