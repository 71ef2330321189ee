// The page tabs (pgc_Main): the home tab with its browser, which is never
// closed, and a tab for every window a page opens, each owning its browser.
// The window learns of a tab's browser only through the operations here.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/menu.h>
#include <gtkmm/notebook.h>
#include <sigc++/signal.h>

#include <memory>
#include <string>
#include <vector>

namespace q3::browser {
class WebBrowser;
}

namespace q3::reader {

class TPageTabs : public Gtk::Notebook {
  public:
    TPageTabs();
    ~TPageTabs() override;

    browser::WebBrowser& HomeBrowser() { return *home_browser_; }
    bool HomeInFront() const;
    // The browser of the tab in front, or null. A page shown full screen
    // stays the current one while it is.
    browser::WebBrowser* Current();
    // Whether the browser is one of the tabs' own.
    bool Holds(const browser::WebBrowser& wb) const;
    bool InFront(const browser::WebBrowser& wb) const;
    void BringToFront(const browser::WebBrowser& wb);

    // A new tab in front, captioned as loading, with a browser that shares
    // opener's web process (a window a page asks for must), or a fresh one.
    browser::WebBrowser& AddTab(browser::WebBrowser* opener, const std::string& caption);
    // The tabs opened for new windows.
    size_t AddedCount() const { return added_.size(); }
    // Removes the tab in front, unless it is the home tab; its browser goes
    // with it, after SignalClosing has told who needs to know.
    bool CloseCurrent();
    // The next or previous tab, round the row.
    void Step(bool forward);

    void SetCaption(const browser::WebBrowser& wb, const std::string& caption);
    void SetHint(const browser::WebBrowser& wb, const std::string& hint);
    // The hint of the tab in front: a tooltip on the whole notebook would
    // float over the page wherever the pointer rests.
    void SetCurrentHint(const std::string& hint);

    // The menu the right button and the menu key open over the tabs.
    void SetMenu(Gtk::Menu& menu);

    // A tab's browser about to go.
    sigc::signal<void(browser::WebBrowser&)>& SignalClosing() { return closing_; }
    // A double-click on a tab: the user asks to close it.
    sigc::signal<void()>& SignalCloseAsked() { return close_asked_; }

  private:
    struct PageTab {
        Gtk::Box sheet;
        std::unique_ptr<browser::WebBrowser> browser;
    };

    Gtk::Widget* SheetOf(const browser::WebBrowser& wb) const;
    bool ButtonPressed(GdkEventButton* event);

    Gtk::Box home_tab_;                                  // tbs_htmlHome, "首页"
    std::unique_ptr<browser::WebBrowser> home_browser_;  // wb_home
    std::vector<std::unique_ptr<PageTab>> added_;
    browser::WebBrowser* current_ = nullptr;
    Gtk::Menu* menu_ = nullptr;
    sigc::signal<void(browser::WebBrowser&)> closing_;
    sigc::signal<void()> close_asked_;
};

}  // namespace q3::reader
