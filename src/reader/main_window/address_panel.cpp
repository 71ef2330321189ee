#include "reader/main_window/address_panel.h"

#include <atkmm/object.h>
#include <gdkmm/rectangle.h>
#include <glibmm/main.h>
#include <gtkmm/window.h>

#include "common/translation.h"
#include "icons/attach_image_list.h"
#include "reader/forms/list_keys.h"
#include "reader/rules/auto_append.h"

namespace q3::reader {

namespace {

// The popup is the toolkit's own; it exists from the box's construction.
void NamePopup(Gtk::ComboBox& box, const char* name) {
    if (AtkObject* popup = gtk_combo_box_get_popup_accessible(box.gobj()))
        atk_object_set_name(popup, name);
}

}  // namespace

TAddressPanel::TAddressPanel()
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 2),
      address_label_(_("地址 ")),
      address_box_(true),
      go_button_(_("转到")),
      search_word_box_(true),
      test_button_(_("测试")) {
    set_name("address_panel");
    get_style_context()->add_class("q3-panel");
    set_size_request(-1, 22);

    address_label_.set_name("address_label");
    url_store_ = Gtk::ListStore::create(url_columns_);
    address_box_.set_name("address_box");
    address_box_.set_model(url_store_);
    address_box_.set_entry_text_column(url_columns_.text);
    BuildCompletion();
    // The boxes are named for assistive technologies as their captions say.
    UrlEntry().get_accessible()->set_name(_("地址"));
    // Without a name of its own the box is named by its chosen item, and
    // has none before the history gives it one.
    address_box_.get_accessible()->set_name(_("地址"));
    // The drop-down lists have no caption of their own.
    NamePopup(address_box_, _("地址历史"));
    NamePopup(search_word_box_, _("搜索关键字历史"));

    go_button_.set_name("go_button");
    go_button_.set_tooltip_text(_("转到URL"));

    search_word_box_.set_name("search_word_box");
    KeyEntry().set_width_chars(12);

    BuildSearchMenu();
    search_button_.set_name("search_button");
    search_button_.set_label(_("搜索"));
    search_button_.set_icon_name("edit-find");
    // The tooltip goes on the item itself, where hovering anywhere shows it.
    static_cast<Gtk::Widget&>(search_button_).set_tooltip_text(_("搜索页面/全文搜索"));
    search_button_.set_is_important(true);
    search_mode_menu_.set_name("search_mode_menu");
    search_button_.set_menu(search_mode_menu_);
    search_tool_bar_.set_name("search_tool_bar");
    search_tool_bar_.set_toolbar_style(Gtk::TOOLBAR_BOTH_HORIZ);
    search_tool_bar_.set_icon_size(Gtk::ICON_SIZE_MENU);
    search_tool_bar_.set_show_arrow(false);
    search_tool_bar_.append(search_button_);

    test_button_.set_name("test_button");
    test_button_.set_no_show_all(true);

    pack_start(address_label_, Gtk::PACK_SHRINK);
    pack_start(address_box_, Gtk::PACK_EXPAND_WIDGET);
    pack_start(go_button_, Gtk::PACK_SHRINK);
    pack_start(test_button_, Gtk::PACK_SHRINK);
    pack_start(search_word_box_, Gtk::PACK_SHRINK);
    pack_start(search_tool_bar_, Gtk::PACK_SHRINK);
    NameSearchControls();
    WireControls();
}

void TAddressPanel::WireControls() {
    UrlEntry().signal_key_press_event().connect(
        [this](GdkEventKey* e) {
            const bool test_keys = (e->state & GDK_CONTROL_MASK) && (e->state & GDK_MOD1_MASK) &&
                                   e->keyval == GDK_KEY_9;
            test_button_.set_visible(test_keys);
            return false;
        },
        false);
    test_button_.signal_clicked().connect([this] { test_clicked_.emit(); });
    go_button_.signal_clicked().connect([this] { go_.emit(Address()); });
    address_box_.signal_changed().connect([this] {
        // Only a choice from the drop-down goes somewhere, not the history's
        // own selection of the address just shown.
        if (selecting_item_ || address_box_.get_active_row_number() < 0)
            return;
        go_.emit(Address());
    });
    KeyEntry().signal_activate().connect([this] { search_.emit(); });
    search_button_.signal_clicked().connect([this] { search_.emit(); });
    // Choosing a mode searches at once with the word in the box; choosing the
    // mode already checked searches too. The item that loses the check is
    // activated as well, and must not search a second time.
    for (Gtk::RadioMenuItem* item : {page_search_item_, full_text_search_item_, google_search_item_,
                                     bing_search_item_, baidu_search_item_}) {
        item->signal_activate().connect(
            [this, item] {
                if (item->get_active())
                    search_.emit();
            },
            true);
    }
}

void TAddressPanel::BuildCompletion() {
    Gtk::Entry& entry = UrlEntry();
    // Ahead of the suggestions' own key handler, so that Enter is always
    // the box's: that handler would swallow it while the list is open.
    entry.signal_key_press_event().connect([this](GdkEventKey* e) { return AddressKeyPressed(e); },
                                           false);
    // The toolkit's inline completion appends the common prefix of all
    // matches and loses its selection when the list opens; the box appends
    // the rest of the first match itself, and the list only suggests.
    completion_ = Gtk::EntryCompletion::create();
    completion_->set_model(url_store_);
    completion_->set_text_column(url_columns_.text);
    completion_->set_inline_completion(false);
    completion_->set_popup_completion(true);
    completion_->set_popup_set_width(true);
    completion_->set_minimum_key_length(1);
    // Moving through the list shows the item in the box, so Enter takes it.
    completion_->set_inline_selection(true);
    completion_->set_match_func(
        [this](const Glib::ustring&, const Gtk::TreeModel::const_iterator& row) {
            return Suggests(row);
        });
    entry.set_completion(completion_);
    // Ahead of the list's own button handler, which closes it and keeps the
    // click for itself.
    if (GtkWindow* list = SuggestionsWindow()) {
        g_signal_connect(
            list, "event", G_CALLBACK(+[](GtkWidget*, GdkEvent* e, gpointer self) {
                return gboolean(static_cast<TAddressPanel*>(self)->SuggestionsEvent(e));
            }),
            this);
    }
    entry.signal_insert_text().connect(
        [this](const Glib::ustring&, int*) { AddressTextInserted(); }, true);
}

bool TAddressPanel::AddressKeyPressed(GdkEventKey* event) {
    if (!IsEnterKey(event))
        return false;
    append_pending_.disconnect();
    const auto state = static_cast<GdkModifierType>(event->state);
    if (!SuggestionsShown()) {
        address_enter_.emit(state);
        return true;
    }
    // The open list holds the pointer: it closes first (its handler runs
    // after this one), and the address is taken once it has.
    Glib::signal_idle().connect_once(
        sigc::track_obj([this, state] { address_enter_.emit(state); }, *this), Glib::PRIORITY_HIGH);
    return false;
}

GtkWindow* TAddressPanel::SuggestionsWindow() {
    // Through the toolkit's own list: wrapping every toplevel would touch the
    // main window while it is still being made.
    GList* toplevels = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* at = toplevels; at != nullptr && found == nullptr; at = at->next) {
        auto* window = GTK_WINDOW(at->data);
        if (gtk_window_get_attached_to(window) == GTK_WIDGET(UrlEntry().gobj()))
            found = window;
    }
    g_list_free(toplevels);
    return found;
}

bool TAddressPanel::SuggestionsShown() {
    GtkWindow* list = SuggestionsWindow();
    return list != nullptr && gtk_widget_get_visible(GTK_WIDGET(list));
}

bool TAddressPanel::SuggestionsEvent(GdkEvent* event) {
    if (event->type != GDK_BUTTON_PRESS)
        return false;
    GtkWidget* list = GTK_WIDGET(SuggestionsWindow());
    if (list == nullptr || gtk_widget_get_window(list) == nullptr)
        return false;
    const GdkEventButton& press = event->button;
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(list), &x, &y);
    const Gdk::Rectangle inside(x, y, gtk_widget_get_allocated_width(list),
                                gtk_widget_get_allocated_height(list));
    if (inside.intersects(
            Gdk::Rectangle(static_cast<int>(press.x_root), static_cast<int>(press.y_root), 1, 1))) {
        return false;
    }
    // Once the list has closed and let the pointer go, the press goes again
    // to the window under it; the release follows by itself. Ahead of the
    // events still queued, so that the release cannot come first.
    const guint button = press.button;
    const guint32 time = press.time;
    const guint state = press.state;
    GdkDevice* device = gdk_event_get_device(event);
    Glib::signal_idle().connect_once(
        [button, time, state, device] {
            int wx = 0, wy = 0;
            GdkWindow* under = gdk_device_get_window_at_position(device, &wx, &wy);
            if (under == nullptr || gdk_window_get_window_type(under) == GDK_WINDOW_ROOT)
                return;
            GdkEvent* again = gdk_event_new(GDK_BUTTON_PRESS);
            again->button.window = GDK_WINDOW(g_object_ref(under));
            again->button.send_event = TRUE;
            again->button.time = time;
            again->button.x = wx;
            again->button.y = wy;
            int rx = 0, ry = 0;
            gdk_window_get_origin(under, &rx, &ry);
            again->button.x_root = rx + wx;
            again->button.y_root = ry + wy;
            again->button.button = button;
            again->button.state = state;
            gdk_event_set_device(again, device);
            gtk_main_do_event(again);
            gdk_event_free(again);
        },
        Glib::PRIORITY_HIGH);
    return false;
}

void TAddressPanel::AddressTextInserted() {
    if (appending_)
        return;
    // Only typing appends: an address the window puts into the box is shown
    // as it is.
    GdkEvent* current = gtk_get_current_event();
    const bool typed = current != nullptr && current->type == GDK_KEY_PRESS;
    if (current != nullptr)
        gdk_event_free(current);
    if (!typed)
        return;
    // The entry places the caret after the insertion once this signal has
    // returned, which would drop a selection made now; the next key is
    // dispatched at a lower priority than this.
    append_pending_.disconnect();
    append_pending_ = Glib::signal_idle().connect(
        [this] {
            AppendFromHistory();
            return false;
        },
        Glib::PRIORITY_HIGH);
}

void TAddressPanel::AppendFromHistory() {
    Gtk::Entry& entry = UrlEntry();
    int start = 0, end = 0;
    const Glib::ustring text = entry.get_text();
    const int length = static_cast<int>(text.length());
    if (entry.get_selection_bounds(start, end) || entry.get_position() != length)
        return;
    const std::string rest = AutoAppendRest(text.raw(), UrlItems());
    if (rest.empty())
        return;
    int at = length;
    appending_ = true;
    entry.insert_text(rest, static_cast<int>(rest.size()), at);
    appending_ = false;
    entry.select_region(length, -1);
}

Glib::ustring TAddressPanel::TypedAddress() {
    Gtk::Entry& entry = UrlEntry();
    const Glib::ustring text = entry.get_text();
    int start = 0, end = 0;
    if (entry.get_selection_bounds(start, end) && end == static_cast<int>(text.length()))
        return text.substr(0, static_cast<Glib::ustring::size_type>(start));
    return text;
}

bool TAddressPanel::Suggests(const Gtk::TreeModel::const_iterator& row) {
    const Glib::ustring item = (*row)[url_columns_.text];
    return SuggestsItem(TypedAddress().raw(), item.raw());
}

Gtk::Entry& TAddressPanel::UrlEntry() {
    return *address_box_.get_entry();
}
std::string TAddressPanel::Address() {
    return UrlEntry().get_text();
}

void TAddressPanel::SetAddress(const std::string& text) {
    UrlEntry().set_text(text);
}

Gtk::Widget& TAddressPanel::AddressControl() {
    return UrlEntry();
}

void TAddressPanel::ClearUrlItems() {
    url_store_->clear();
}

void TAddressPanel::SelectUrlItem(int index) {
    selecting_item_ = true;
    address_box_.set_active(index);
    selecting_item_ = false;
}

void TAddressPanel::AttachIcons(int size_index) {
    icons::AttachSystemImageList(address_box_, url_columns_.image, size_index);
}

std::vector<std::string> TAddressPanel::UrlItems() const {
    std::vector<std::string> items;
    for (const Gtk::TreeRow& row : url_store_->children()) {
        items.emplace_back(Glib::ustring(row[url_columns_.text]));
    }
    return items;
}

void TAddressPanel::AddUrlItem(const std::string& text, int image) {
    Gtk::TreeRow row = *url_store_->append();
    row[url_columns_.text] = text;
    row[url_columns_.image] = image;
}

}  // namespace q3::reader
