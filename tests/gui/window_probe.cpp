#include "window_probe.h"

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <set>

#include "browser/web_browser.h"
#include "reader/dialogs/nav_form.h"
#include "reader/main_window/main_window.h"

namespace q3::reader::testing {

namespace {

void Children(GtkWidget* widget, gpointer out) {
    static_cast<std::vector<GtkWidget*>*>(out)->push_back(widget);
}

// What a walk goes on to from a widget: its children, internal ones too
// (the entry of a combo box), a menu item's sub-menu and the menus
// attached to the widget (pop-up menus, a menu button's menu).
std::vector<GtkWidget*> Below(GtkWidget* widget) {
    std::vector<GtkWidget*> below;
    if (GTK_IS_CONTAINER(widget))
        gtk_container_forall(GTK_CONTAINER(widget), Children, &below);
    if (GTK_IS_MENU_ITEM(widget)) {
        if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget)))
            below.push_back(sub);
    }
    for (GList* m = gtk_menu_get_for_attach_widget(widget); m != nullptr; m = m->next)
        below.push_back(GTK_WIDGET(m->data));
    return below;
}

GtkWidget* Find(GtkWidget* widget, std::string_view name, std::set<GtkWidget*>& seen) {
    if (!seen.insert(widget).second)
        return nullptr;
    if (const char* own = gtk_widget_get_name(widget); own != nullptr && name == own)
        return widget;
    for (GtkWidget* child : Below(widget)) {
        if (GtkWidget* found = Find(child, name, seen))
            return found;
    }
    return nullptr;
}

std::string FirstColumnText(const Glib::RefPtr<Gtk::TreeModel>& model, const Gtk::TreeIter& row) {
    GValue value = G_VALUE_INIT;
    gtk_tree_model_get_value(model->gobj(), const_cast<GtkTreeIter*>(row.gobj()), 0, &value);
    std::string text;
    if (G_VALUE_HOLDS_STRING(&value)) {
        const char* chars = g_value_get_string(&value);
        text = chars != nullptr ? chars : "";
    } else {
        ADD_FAILURE() << "the first column holds no text";
    }
    g_value_unset(&value);
    return text;
}

int CountRows(const Gtk::TreeNodeChildren& rows) {
    int n = 0;
    for (const Gtk::TreeRow& row : rows)
        n += 1 + CountRows(row.children());
    return n;
}

Gtk::TreePath FindText(const Glib::RefPtr<Gtk::TreeModel>& model, const Gtk::TreeNodeChildren& rows,
                       const std::string& text) {
    for (const Gtk::TreeIter& row : rows) {
        if (FirstColumnText(model, row) == text)
            return model->get_path(row);
        Gtk::TreePath below = FindText(model, row->children(), text);
        if (!below.empty())
            return below;
    }
    return {};
}

Glib::RefPtr<Gtk::TreeModel> ModelOf(Gtk::TreeView& view) {
    Glib::RefPtr<Gtk::TreeModel> model = view.get_model();
    if (!model) {
        ADD_FAILURE() << view.get_name() << " has no model";
        throw MissingWidget(view.get_name() + " has no model");
    }
    return model;
}

TAction& ActionOf(Tfm_Quillon3& w, std::string_view name) {
    TAction* action = w.FindAction(name);
    if (action == nullptr) {
        ADD_FAILURE() << "no action named " << name;
        throw MissingWidget("no action named " + std::string(name));
    }
    return *action;
}

std::string LabelTextBelow(GtkWidget* widget) {
    if (GTK_IS_LABEL(widget))
        return gtk_label_get_text(GTK_LABEL(widget));
    for (GtkWidget* child : Below(widget)) {
        std::string text = LabelTextBelow(child);
        if (!text.empty())
            return text;
    }
    return {};
}

}  // namespace

Gtk::Widget* FindNamed(Gtk::Widget& root, std::string_view name) {
    std::set<GtkWidget*> seen;
    GtkWidget* found = Find(root.gobj(), name, seen);
    return found != nullptr ? Glib::wrap(found) : nullptr;
}

Gtk::Menu& PopupMenu(Gtk::Widget& root, std::string_view name) {
    return Named<Gtk::Menu>(root, name);
}

Gtk::Menu& SubMenu(Gtk::Widget& root, std::string_view item_name) {
    Gtk::Menu* menu = Named<Gtk::MenuItem>(root, item_name).get_submenu();
    if (menu == nullptr) {
        ADD_FAILURE() << item_name << " has no sub-menu";
        throw MissingWidget(std::string(item_name) + " has no sub-menu");
    }
    return *menu;
}

Gtk::CheckMenuItem& ColorSchemeItem(Gtk::Widget& root, std::size_t entry) {
    static const char* const kNames[] = {"color_default_item", "color_blue_item",
                                         "color_green_item", "color_pink_item",
                                         "color_custom_item"};
    if (entry >= std::size(kNames)) {
        ADD_FAILURE() << "no colour scheme entry " << entry;
        throw MissingWidget("no colour scheme entry");
    }
    return Named<Gtk::CheckMenuItem>(root, kNames[entry]);
}

int RowCount(Gtk::TreeView& view) {
    return static_cast<int>(ModelOf(view)->children().size());
}

int NodeCount(Gtk::TreeView& view) {
    return CountRows(ModelOf(view)->children());
}

std::string RowText(Gtk::TreeView& view, const Gtk::TreePath& path) {
    auto model = ModelOf(view);
    Gtk::TreeIter row = model->get_iter(path);
    if (!row) {
        ADD_FAILURE() << view.get_name() << " has no row " << path.to_string();
        return {};
    }
    return FirstColumnText(model, row);
}

std::string RowText(Gtk::TreeView& view, int row) {
    return RowText(view, Gtk::TreePath(std::to_string(row)));
}

std::vector<std::string> RowTexts(Gtk::TreeView& view) {
    auto model = ModelOf(view);
    std::vector<std::string> texts;
    for (const Gtk::TreeIter& row : model->children())
        texts.push_back(FirstColumnText(model, row));
    return texts;
}

std::string SelectedRowText(Gtk::TreeView& view) {
    Gtk::TreeIter row = view.get_selection()->get_selected();
    return row ? FirstColumnText(ModelOf(view), row) : std::string();
}

bool HasSelection(Gtk::TreeView& view) {
    return view.get_selection()->count_selected_rows() > 0;
}

Gtk::TreePath PathOfText(Gtk::TreeView& view, const std::string& text) {
    auto model = ModelOf(view);
    return FindText(model, model->children(), text);
}

void SelectRow(Gtk::TreeView& view, int row) {
    auto model = ModelOf(view);
    Gtk::TreeIter iter = model->get_iter(Gtk::TreePath(std::to_string(row)));
    if (!iter) {
        ADD_FAILURE() << view.get_name() << " has no row " << row;
        return;
    }
    view.get_selection()->select(iter);
}

std::string RowHint(Gtk::TreeView& view, const Gtk::TreePath& path) {
    // The hint a keyboard user gets on the row under the cursor, read from
    // the tooltip the list fills; the selection is put back afterwards.
    std::vector<Gtk::TreePath> selected = view.get_selection()->get_selected_rows();
    view.set_cursor(path);
    // The tooltip makes its window as it is made: the one window more.
    std::vector<GtkWindow*> before;
    for (Gtk::Window* t : Gtk::Window::list_toplevels())
        before.push_back(t->gobj());
    GtkTooltip* tooltip = GTK_TOOLTIP(g_object_new(GTK_TYPE_TOOLTIP, nullptr));
    gboolean shown = FALSE;
    g_signal_emit_by_name(view.gobj(), "query-tooltip", 0, 0, TRUE, tooltip, &shown);
    std::string text;
    if (shown) {
        for (Gtk::Window* t : Gtk::Window::list_toplevels()) {
            if (std::find(before.begin(), before.end(), t->gobj()) == before.end())
                text = LabelTextBelow(GTK_WIDGET(t->gobj()));
        }
    }
    g_object_unref(tooltip);
    view.get_selection()->unselect_all();
    for (const Gtk::TreePath& p : selected)
        view.get_selection()->select(p);
    return text;
}

std::vector<std::string> ComboItems(Gtk::ComboBox& box) {
    std::vector<std::string> items;
    Glib::RefPtr<Gtk::TreeModel> model = box.get_model();
    if (!model)
        return items;
    const int column = box.get_entry_text_column() >= 0 ? box.get_entry_text_column() : 0;
    for (const Gtk::TreeIter& row : model->children()) {
        Glib::ustring text;
        row->get_value(column, text);
        items.emplace_back(text);
    }
    return items;
}

Gtk::Entry& ComboEntry(Gtk::ComboBox& box) {
    Gtk::Entry* entry = box.get_entry();
    if (entry == nullptr) {
        ADD_FAILURE() << box.get_name() << " has no entry";
        throw MissingWidget(box.get_name() + " has no entry");
    }
    return *entry;
}

Gtk::Entry& AddressEntry(Gtk::Widget& root) {
    return ComboEntry(Named<Gtk::ComboBox>(root, "address_box"));
}

Gtk::Entry& SearchWordEntry(Gtk::Widget& root) {
    return ComboEntry(Named<Gtk::ComboBox>(root, "search_word_box"));
}

std::vector<std::string> AddressItems(Gtk::Widget& root) {
    return ComboItems(Named<Gtk::ComboBox>(root, "address_box"));
}

std::vector<std::string> SearchWords(Gtk::Widget& root) {
    return ComboItems(Named<Gtk::ComboBox>(root, "search_word_box"));
}

std::string CurrentPageName(Gtk::Notebook& notebook) {
    Gtk::Widget* page = notebook.get_nth_page(notebook.get_current_page());
    return page != nullptr ? std::string(page->get_name()) : std::string();
}

void ShowPage(Gtk::Notebook& notebook, std::string_view page_name) {
    notebook.set_current_page(notebook.page_num(Named<Gtk::Widget>(notebook, page_name)));
}

std::string HintOf(Gtk::Widget& widget) {
    return widget.get_tooltip_text();
}

void SetHint(Gtk::Widget& widget, const std::string& hint) {
    widget.set_tooltip_text(hint);
}

std::vector<Gtk::Label*> StatusPanels(Gtk::Widget& root) {
    std::vector<Gtk::Label*> panels;
    for (Gtk::Widget* child : Named<Gtk::Box>(root, "status_bar").get_children()) {
        if (auto* label = dynamic_cast<Gtk::Label*>(child))
            panels.push_back(label);
    }
    return panels;
}

std::vector<std::string> StatusPanelTexts(Gtk::Widget& root) {
    std::vector<std::string> texts;
    for (Gtk::Label* panel : StatusPanels(root))
        texts.emplace_back(panel->get_text());
    return texts;
}

bool Activate(Tfm_Quillon3& w, std::string_view action) {
    return ActionOf(w, action).Execute();
}

bool ActionEnabled(Tfm_Quillon3& w, std::string_view action) {
    return ActionOf(w, action).Enabled();
}

bool ActionChecked(Tfm_Quillon3& w, std::string_view action) {
    return ActionOf(w, action).Checked();
}

bool ActionVisible(Tfm_Quillon3& w, std::string_view action) {
    return ActionOf(w, action).Visible();
}

std::string ActionCaption(Tfm_Quillon3& w, std::string_view action) {
    return ActionOf(w, action).Caption();
}

bool HasAction(Tfm_Quillon3& w, std::string_view action) {
    return w.FindAction(action) != nullptr;
}

const ActionDef* ActionRow(Tfm_Quillon3& w, std::string_view action) {
    return &ActionOf(w, action).Def();
}

void ReplaceActionWork(Tfm_Quillon3& w, std::string_view action,
                       std::function<void(const std::string&)> ran) {
    ActionOf(w, action).SetHandler(
        [ran = std::move(ran)](TAction& a) { ran(std::string(a.Name())); });
}

void SetActionEnabled(Tfm_Quillon3& w, std::string_view action, bool enabled) {
    ActionOf(w, action).SetEnabled(enabled);
}

std::unique_ptr<Tfm_NavForm> MakeNavForm(Tfm_Quillon3& w) {
    return std::make_unique<Tfm_NavForm>(w.Actions());
}

browser::WebBrowser* BrowserOf(Gtk::Widget& view) {
    return WEBKIT_IS_WEB_VIEW(view.gobj())
               ? browser::WebBrowser::FromView(WEBKIT_WEB_VIEW(view.gobj()))
               : nullptr;
}

browser::WebBrowser& HomeBrowser(Tfm_Quillon3& w) {
    browser::WebBrowser* wb = BrowserOf(Named<Gtk::Widget>(w, "home_view"));
    if (wb == nullptr) {
        ADD_FAILURE() << "the home tab has no browser";
        throw MissingWidget("the home tab has no browser");
    }
    return *wb;
}

browser::WebBrowser* TabBrowser(Tfm_Quillon3& w, int page) {
    Gtk::Widget* sheet = Named<Gtk::Notebook>(w, "page_tabs").get_nth_page(page);
    if (sheet == nullptr)
        return nullptr;
    std::vector<GtkWidget*> open{sheet->gobj()};
    while (!open.empty()) {
        GtkWidget* widget = open.back();
        open.pop_back();
        if (WEBKIT_IS_WEB_VIEW(widget))
            return browser::WebBrowser::FromView(WEBKIT_WEB_VIEW(widget));
        if (GTK_IS_CONTAINER(widget))
            gtk_container_forall(GTK_CONTAINER(widget), Children, &open);
    }
    return nullptr;
}

browser::WebBrowser* AdBrowser(Tfm_Quillon3& w) {
    Gtk::Widget* view = FindNamed(w, "ad_view");
    return view != nullptr ? BrowserOf(*view) : nullptr;
}

}  // namespace q3::reader::testing
