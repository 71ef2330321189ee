#include "reader/panes/page_tabs.h"

#include "browser/web_browser.h"
#include "common/translation.h"
#include "reader/forms/tab_painter.h"

namespace q3::reader {

TPageTabs::TPageTabs() {
    set_name("page_tabs");
    set_scrollable(true);
    home_tab_.set_orientation(Gtk::ORIENTATION_VERTICAL);
    home_browser_ = std::make_unique<browser::WebBrowser>();
    Gtk::Widget& home_view = home_browser_->Widget();
    home_view.set_name("home_view");
    home_tab_.pack_start(home_view, Gtk::PACK_EXPAND_WIDGET);
    home_tab_.set_name("home_tab");
    append_page(home_tab_, _("首页"));
    signal_button_press_event().connect([this](GdkEventButton* e) { return ButtonPressed(e); },
                                        false);
    signal_popup_menu().connect([this] {
        if (menu_ == nullptr)
            return false;
        menu_->popup_at_widget(this, Gdk::GRAVITY_NORTH_WEST, Gdk::GRAVITY_NORTH_WEST, nullptr);
        return true;
    });
}

// The added tabs go first: their browsers share the home browser's web
// process.
TPageTabs::~TPageTabs() {
    current_ = nullptr;
    added_.clear();
}

bool TPageTabs::ButtonPressed(GdkEventButton* e) {
    if (e->button == 3 && e->type == GDK_BUTTON_PRESS && menu_ != nullptr) {
        menu_->popup_at_pointer(reinterpret_cast<GdkEvent*>(e));
        return true;
    }
    // A double-click on a tab closes it; the empty strip beside the tabs
    // is no tab.
    if (e->button == 1 && e->type == GDK_2BUTTON_PRESS &&
        PageAtTab(*this, e->x_root, e->y_root) >= 0) {
        close_asked_.emit();
        return true;
    }
    return false;
}

bool TPageTabs::HomeInFront() const {
    return get_nth_page(get_current_page()) == &home_tab_;
}

browser::WebBrowser* TPageTabs::Current() {
    if (current_ != nullptr && current_->FullScreen())
        return current_;
    current_ = nullptr;
    const int active = get_current_page();
    if (active < 0)
        return nullptr;
    const Gtk::Widget* sheet = get_nth_page(active);
    if (sheet == &home_tab_) {
        current_ = home_browser_.get();
    } else {
        for (const auto& tab : added_) {
            if (&tab->sheet == sheet)
                current_ = tab->browser.get();
        }
    }
    return current_;
}

Gtk::Widget* TPageTabs::SheetOf(const browser::WebBrowser& wb) const {
    if (&wb == home_browser_.get())
        return const_cast<Gtk::Box*>(&home_tab_);
    for (const auto& tab : added_) {
        if (tab->browser.get() == &wb)
            return &tab->sheet;
    }
    return nullptr;
}

bool TPageTabs::Holds(const browser::WebBrowser& wb) const {
    return SheetOf(wb) != nullptr;
}

bool TPageTabs::InFront(const browser::WebBrowser& wb) const {
    const Gtk::Widget* sheet = SheetOf(wb);
    return sheet != nullptr && get_nth_page(get_current_page()) == sheet;
}

void TPageTabs::BringToFront(const browser::WebBrowser& wb) {
    if (Gtk::Widget* sheet = SheetOf(wb))
        set_current_page(page_num(*sheet));
}

browser::WebBrowser& TPageTabs::AddTab(browser::WebBrowser* opener, const std::string& caption) {
    auto tab = std::make_unique<PageTab>();
    tab->browser = opener ? std::make_unique<browser::WebBrowser>(*opener)
                          : std::make_unique<browser::WebBrowser>();
    browser::WebBrowser& wb = *tab->browser;
    tab->sheet.set_orientation(Gtk::ORIENTATION_VERTICAL);
    tab->sheet.pack_start(wb.Widget(), Gtk::PACK_EXPAND_WIDGET);
    tab->sheet.show_all();
    const int page = append_page(tab->sheet, caption);
    added_.push_back(std::move(tab));
    set_current_page(page);
    return wb;
}

bool TPageTabs::CloseCurrent() {
    const Gtk::Widget* sheet = get_nth_page(get_current_page());
    for (auto it = added_.begin(); it != added_.end(); ++it) {
        if (&(*it)->sheet != sheet)
            continue;
        std::unique_ptr<PageTab> tab = std::move(*it);
        added_.erase(it);
        if (current_ == tab->browser.get())
            current_ = nullptr;
        closing_.emit(*tab->browser);
        remove_page(tab->sheet);
        return true;  // the browser and its sheet go with the tab
    }
    return false;
}

void TPageTabs::Step(bool forward) {
    const int count = get_n_pages();
    if (count < 2)
        return;
    const int at = get_current_page();
    set_current_page(forward ? (at + 1) % count : (at + count - 1) % count);
}

void TPageTabs::SetCaption(const browser::WebBrowser& wb, const std::string& caption) {
    if (Gtk::Widget* sheet = SheetOf(wb))
        SetTabCaption(*this, *sheet, caption);
}

void TPageTabs::SetHint(const browser::WebBrowser& wb, const std::string& hint) {
    if (Gtk::Widget* sheet = SheetOf(wb))
        SetTabHint(*this, *sheet, hint);
}

void TPageTabs::SetCurrentHint(const std::string& hint) {
    if (Gtk::Widget* page = get_nth_page(get_current_page()))
        SetTabHint(*this, *page, hint);
}

void TPageTabs::SetMenu(Gtk::Menu& menu) {
    menu_ = &menu;
    menu.attach_to_widget(*this);
}

}  // namespace q3::reader
