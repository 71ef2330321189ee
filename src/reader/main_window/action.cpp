#include "reader/main_window/action.h"

#include <gtkmm/accelgroup.h>
#include <gtkmm/accellabel.h>
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/toolbutton.h>
#include <algorithm>

namespace q3::reader {

struct TAction::Proxy {
    TAction* action;
    Gtk::Widget* widget;
    bool is_menu_item;
    bool own_label;  // shows its own text instead of the caption
};

namespace {

const auto kShortcutModifiers = Gdk::CONTROL_MASK | Gdk::SHIFT_MASK | Gdk::MOD1_MASK;

}  // namespace

TAction::TAction(const ActionDef& def)
    : def_(def),
      caption_(def.caption),
      hint_(def.hint),
      checked_(def.checked),
      enabled_(def.enabled),
      visible_(def.visible) {
    if (!def.shortcut.empty()) {
        Gtk::AccelGroup::parse(std::string(def.shortcut), key_, modifiers_);
    }
}

TAction::~TAction() {
    for (auto& p : proxies_)
        p->widget->remove_destroy_notify_callback(p.get());
}

void TAction::SetCaption(const std::string& caption) {
    caption_ = caption;
    Sync();
}

void TAction::SetChecked(bool checked) {
    checked_ = checked;
    if (checked) {
        for (TAction* peer : peers_) {
            if (peer != this && peer->checked_) {
                peer->checked_ = false;
                peer->Sync();
            }
        }
    }
    Sync();
}

void TAction::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Sync();
}

void TAction::SetVisible(bool visible) {
    visible_ = visible;
    Sync();
}

bool TAction::Execute() {
    if (!enabled_)
        return false;
    if (handler_)
        handler_(*this);
    // A check menu item flips itself when chosen; the action decides.
    Sync();
    return true;
}

bool TAction::MatchesShortcut(guint key, Gdk::ModifierType state) const {
    if (key_ == 0)
        return false;
    const guint lower = gdk_keyval_to_lower(key);
    return lower == gdk_keyval_to_lower(key_) &&
           (state & kShortcutModifiers) == (modifiers_ & kShortcutModifiers);
}

Gtk::MenuItem* TAction::MakeMenuItem(const std::string& label) {
    const std::string& text = label.empty() ? caption_ : label;
    Gtk::MenuItem* item = nullptr;
    if (Checkable()) {
        auto* check = Gtk::manage(new Gtk::CheckMenuItem(text));
        check->set_draw_as_radio(def_.group != 0);
        item = check;
    } else {
        item = Gtk::manage(new Gtk::MenuItem(text));
    }
    item->set_name(std::string(def_.name));
    if (auto* accel = dynamic_cast<Gtk::AccelLabel*>(item->get_child()); accel && key_ != 0) {
        accel->set_accel(key_, modifiers_);
    }
    item->signal_activate().connect(
        [this] {
            if (!syncing_)
                Execute();
        },
        true);
    Track(item, true, !label.empty());
    return item;
}

Gtk::ToolButton* TAction::MakeToolButton(const std::string& icon_name, const std::string& label) {
    auto* button = Gtk::manage(new Gtk::ToolButton(label.empty() ? caption_ : label));
    button->set_icon_name(icon_name);
    button->set_name(std::string(def_.name));
    button->signal_clicked().connect([this] { Execute(); });
    Track(button, false, true);
    return button;
}

void TAction::Track(Gtk::Widget* widget, bool is_menu_item, bool own_label) {
    proxies_.push_back(std::make_unique<Proxy>(Proxy{this, widget, is_menu_item, own_label}));
    widget->add_destroy_notify_callback(proxies_.back().get(), &TAction::ProxyGone);
    SyncProxy(*proxies_.back());
}

void* TAction::ProxyGone(void* data) {
    auto* gone = static_cast<Proxy*>(data);
    auto& list = gone->action->proxies_;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [gone](const std::unique_ptr<Proxy>& p) { return p.get() == gone; }),
               list.end());
    return nullptr;
}

void TAction::Sync() {
    for (auto& p : proxies_)
        SyncProxy(*p);
}

void TAction::SyncProxy(Proxy& proxy) {
    syncing_ = true;
    Gtk::Widget* w = proxy.widget;
    w->set_sensitive(enabled_);
    w->set_visible(visible_);
    w->set_tooltip_text(hint_);
    if (proxy.is_menu_item) {
        auto* item = static_cast<Gtk::MenuItem*>(w);
        if (!proxy.own_label && item->get_label() != caption_)
            item->set_label(caption_);
        if (auto* check = dynamic_cast<Gtk::CheckMenuItem*>(item)) {
            if (check->get_active() != checked_)
                check->set_active(checked_);
        }
    }
    syncing_ = false;
}

}  // namespace q3::reader
