// What the window tests see of the main window, as a user or an assistive
// tool does: widgets by their names, lists and tabs by what they show,
// actions by their names, and browsers by the tabs that hold them. Every
// look-up of the window's insides goes through here, so the window may keep
// its controls to itself and change how its actions are made.
#pragma once

#include <gtest/gtest.h>
#include <gtkmm/button.h>
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/combobox.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/notebook.h>
#include <gtkmm/treeview.h>
#include <gtkmm/widget.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace q3::browser {
class WebBrowser;
}

namespace q3::reader {
class Tfm_NavForm;
class Tfm_Quillon3;
struct ActionDef;
}  // namespace q3::reader

namespace q3::reader::testing {

// A look-up that found nothing; the test has already been failed.
struct MissingWidget : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The first widget of that name at or below root, depth first: the children
// of containers (internal ones too), the sub-menus of menu items and the
// pop-up menus attached to a widget. Null when there is none.
Gtk::Widget* FindNamed(Gtk::Widget& root, std::string_view name);

// The widget of that name and type; fails the test (and ends it) when there
// is none or it is of another type.
template <typename T>
T& Named(Gtk::Widget& root, std::string_view name) {
    Gtk::Widget* widget = FindNamed(root, name);
    T* typed = dynamic_cast<T*>(widget);
    if (typed == nullptr) {
        const std::string what =
            std::string(widget == nullptr ? "no widget named \"" : "the widget named \"") +
            std::string(name) + (widget == nullptr ? "\"" : "\" is of another type");
        ADD_FAILURE() << what;
        throw MissingWidget(what);
    }
    return *typed;
}

// A pop-up menu of the window by its name.
Gtk::Menu& PopupMenu(Gtk::Widget& root, std::string_view name);
// The sub-menu of the menu item of that name.
Gtk::Menu& SubMenu(Gtk::Widget& root, std::string_view item_name);

// The colour scheme menu's entry, by its place in the menu.
Gtk::CheckMenuItem& ColorSchemeItem(Gtk::Widget& root, std::size_t entry);

// ---- tree views: the text is what the first column shows.
int RowCount(Gtk::TreeView& view);   // top-level rows
int NodeCount(Gtk::TreeView& view);  // every row, at any depth
std::string RowText(Gtk::TreeView& view, const Gtk::TreePath& path);
std::string RowText(Gtk::TreeView& view, int row);
std::vector<std::string> RowTexts(Gtk::TreeView& view);  // top-level rows in order
// The selected row's text; empty when nothing is selected.
std::string SelectedRowText(Gtk::TreeView& view);
bool HasSelection(Gtk::TreeView& view);
// The path of the first row, at any depth, showing text; empty when none does.
Gtk::TreePath PathOfText(Gtk::TreeView& view, const std::string& text);
// Selects a top-level row, as a click on it would, without activating it.
void SelectRow(Gtk::TreeView& view, int row);
// A row's hint, as its tooltip shows it.
std::string RowHint(Gtk::TreeView& view, const Gtk::TreePath& path);

// ---- other controls
std::vector<std::string> ComboItems(Gtk::ComboBox& box);
// The entry of a combo box with one.
Gtk::Entry& ComboEntry(Gtk::ComboBox& box);
// The address box and the search word box beside it: their edits and the
// items of their lists.
Gtk::Entry& AddressEntry(Gtk::Widget& root);
Gtk::Entry& SearchWordEntry(Gtk::Widget& root);
std::vector<std::string> AddressItems(Gtk::Widget& root);
std::vector<std::string> SearchWords(Gtk::Widget& root);
std::string CurrentPageName(Gtk::Notebook& notebook);
// Brings the page of that name to the front.
void ShowPage(Gtk::Notebook& notebook, std::string_view page_name);
// The hint an edit keeps (its tooltip), e.g. the address of the page a
// bookmark would be made of.
std::string HintOf(Gtk::Widget& widget);
void SetHint(Gtk::Widget& widget, const std::string& hint);

// The status bar's panels, left to right.
std::vector<Gtk::Label*> StatusPanels(Gtk::Widget& root);
std::vector<std::string> StatusPanelTexts(Gtk::Widget& root);

// ---- actions, by their names in the action table
// Runs the action as its menu items do; false when it is disabled.
bool Activate(Tfm_Quillon3& w, std::string_view action);
bool ActionEnabled(Tfm_Quillon3& w, std::string_view action);
bool ActionChecked(Tfm_Quillon3& w, std::string_view action);
bool ActionVisible(Tfm_Quillon3& w, std::string_view action);
std::string ActionCaption(Tfm_Quillon3& w, std::string_view action);
bool HasAction(Tfm_Quillon3& w, std::string_view action);
// The table row the window made the action of.
const ActionDef* ActionRow(Tfm_Quillon3& w, std::string_view action);
// Test doubles: an action made to run ran(name) instead of its work, and
// one enabled whatever the window would say.
void ReplaceActionWork(Tfm_Quillon3& w, std::string_view action,
                       std::function<void(const std::string&)> ran);
void SetActionEnabled(Tfm_Quillon3& w, std::string_view action, bool enabled);
// The navigation tool window over the window's contents actions, as the
// program makes it.
std::unique_ptr<Tfm_NavForm> MakeNavForm(Tfm_Quillon3& w);

// ---- browsers
// The browser of the home tab.
browser::WebBrowser& HomeBrowser(Tfm_Quillon3& w);
// The browser on page n of the page tabs; null when the page has none.
browser::WebBrowser* TabBrowser(Tfm_Quillon3& w, int page);
// The ad strip's browser; null until an advertisement is shown.
browser::WebBrowser* AdBrowser(Tfm_Quillon3& w);
// The browser whose view is the widget, or null.
browser::WebBrowser* BrowserOf(Gtk::Widget& view);

}  // namespace q3::reader::testing
