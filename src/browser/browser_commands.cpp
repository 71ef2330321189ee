#include "browser/browser_commands.h"

#include <glibmm/main.h>

#include <algorithm>

#include "browser/web_browser.h"

namespace q3::browser {

WebKitWebView* FindPageWindow(const WebBrowser& browser) {
    return browser.HasDocument() ? browser.View() : nullptr;
}

BrowserCommands::~BrowserCommands() {
    // The windows go before the owner they are transient for.
    windows_.clear();
    find_.reset();
}

bool BrowserCommands::SendBrowserCommand(WebBrowser& browser, int command) {
    if (FindPageWindow(browser) == nullptr)
        return false;
    switch (command) {
        case kCommandFind:
            ShowFind(browser);
            return true;
        case kCommandProperties: {
            auto dialog = std::make_unique<PagePropertiesDialog>(owner_, browser);
            last_properties_ = dialog.get();
            Keep(std::move(dialog));
            return true;
        }
        case kCommandViewSource: {
            auto window = std::make_unique<SourceWindow>(owner_, browser);
            last_source_ = window.get();
            Keep(std::move(window));
            return true;
        }
        default:
            return false;
    }
}

void BrowserCommands::ShowFind(WebBrowser& browser) {
    if (!find_)
        find_ = std::make_unique<FindDialog>(owner_);
    find_->Bind(browser);
    if (!find_->get_visible())
        find_->PlaceBesidePage();
    find_->present();
}

void BrowserCommands::Keep(std::unique_ptr<Gtk::Window> window) {
    Gtk::Window* raw = window.get();
    // Hidden means closed: the window is freed once its handler has returned.
    raw->signal_hide().connect([this, raw] {
        Glib::signal_idle().connect_once(
            sigc::bind(sigc::mem_fun(*this, &BrowserCommands::Forget), raw));
    });
    windows_.push_back(std::move(window));
    raw->show();
}

void BrowserCommands::Forget(Gtk::Window* window) {
    if (window == last_properties_)
        last_properties_ = nullptr;
    if (window == last_source_)
        last_source_ = nullptr;
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [window](const auto& w) { return w.get() == window; });
    if (it != windows_.end())
        windows_.erase(it);
}

}  // namespace q3::browser
