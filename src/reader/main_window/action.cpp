#include "reader/main_window/action.h"
#include "common/translation.h"

#include <gtk/gtk.h>
#include <gtkmm/accelgroup.h>
#include <gtkmm/accellabel.h>
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/toolbutton.h>
#include <algorithm>

namespace q3::reader {

struct TAction::Proxy {
    TAction* action;
    Gtk::MenuItem* item;
    bool own_label;  // shows its own text instead of the caption
};

namespace {

std::string Detailed(std::string_view name) {
    return std::string(kWindowActionPrefix) + "." + std::string(name);
}

const auto kShortcutModifiers = Gdk::CONTROL_MASK | Gdk::SHIFT_MASK | Gdk::MOD1_MASK;

// Hidden rows stay hidden when the window shows all it holds.
void ApplyVisibility(Gtk::Widget& widget, const ActionDef& def) {
    if (!def.visible) {
        widget.set_no_show_all(true);
        widget.hide();
    }
}

}  // namespace

Gtk::ToolButton* MakeActionToolButton(const ActionDef& def, const std::string& icon_name,
                                      const std::string& label) {
    auto* button = Gtk::manage(new Gtk::ToolButton(label.empty() ? Tr(def.caption) : label));
    button->set_icon_name(icon_name);
    button->set_name(std::string(def.name));
    // On the item itself, as on every other control: the tool item's own
    // setter would put it on the button inside.
    static_cast<Gtk::Widget*>(button)->set_tooltip_text(Tr(def.hint));
    gtk_actionable_set_action_name(GTK_ACTIONABLE(button->gobj()), Detailed(def.name).c_str());
    ApplyVisibility(*button, def);
    return button;
}

TAction::TAction(const ActionDef& def)
    : def_(def),
      caption_(Tr(def.caption)),
      hint_(Tr(def.hint)),
      checked_(def.checked),
      enabled_(def.enabled) {
    const std::string name(def.name);
    // A checked row carries its state, so bound check items show it.
    action_ = Checkable() ? Gio::SimpleAction::create_bool(name, checked_)
                          : Gio::SimpleAction::create(name);
    action_->set_enabled(enabled_);
    // Connected, the activation is the handler's alone: GIO would otherwise
    // flip a checked row's state before the handler decides.
    action_->signal_activate().connect([this](const Glib::VariantBase&) {
        if (!syncing_)
            Execute();
    });
    if (!def.shortcut.empty()) {
        Gtk::AccelGroup::parse(std::string(def.shortcut), key_, modifiers_);
    }
}

TAction::~TAction() {
    for (auto& p : proxies_)
        p->item->remove_destroy_notify_callback(p.get());
}

std::string TAction::DetailedName() const {
    return Detailed(def_.name);
}

void TAction::SetCaption(const std::string& caption) {
    caption_ = caption;
    for (auto& p : proxies_) {
        if (!p->own_label && p->item->get_label() != caption_)
            p->item->set_label(caption_);
    }
}

void TAction::SetChecked(bool checked) {
    checked_ = checked;
    if (checked) {
        for (TAction* peer : peers_) {
            if (peer != this && peer->checked_)
                peer->SetChecked(false);
        }
    }
    if (Checkable())
        action_->set_state(Glib::Variant<bool>::create(checked_));
    ShowCheckedOnItems();
}

bool TAction::MatchesShortcut(guint key, Gdk::ModifierType state) const {
    if (key_ == 0)
        return false;
    return gdk_keyval_to_lower(key) == gdk_keyval_to_lower(key_) &&
           (state & kShortcutModifiers) == (modifiers_ & kShortcutModifiers);
}

void TAction::SetEnabled(bool enabled) {
    enabled_ = enabled;
    action_->set_enabled(enabled);
}

bool TAction::Execute() {
    if (!enabled_)
        return false;
    if (handler_)
        handler_(*this);
    ShowCheckedOnItems();
    return true;
}

Gtk::MenuItem* TAction::MakeMenuItem(const std::string& label) {
    const std::string& text = label.empty() ? caption_ : label;
    Gtk::MenuItem* item = nullptr;
    if (Checkable()) {
        auto* check = Gtk::manage(new Gtk::CheckMenuItem(text));
        check->set_draw_as_radio(def_.group != 0);
        check->set_active(checked_);
        item = check;
    } else {
        item = Gtk::manage(new Gtk::MenuItem(text));
    }
    item->set_name(std::string(def_.name));
    item->set_tooltip_text(hint_);
    // The accelerator itself is the application's; the label only shows it.
    if (auto* accel = dynamic_cast<Gtk::AccelLabel*>(item->get_child()); accel && key_ != 0) {
        accel->set_accel(key_, modifiers_);
    }
    gtk_actionable_set_action_name(GTK_ACTIONABLE(item->gobj()), DetailedName().c_str());
    ApplyVisibility(*item, def_);
    Track(item, !label.empty());
    return item;
}

Gtk::ToolButton* TAction::MakeToolButton(const std::string& icon_name, const std::string& label) {
    return MakeActionToolButton(def_, icon_name, label);
}

void TAction::Track(Gtk::MenuItem* item, bool own_label) {
    proxies_.push_back(std::make_unique<Proxy>(Proxy{this, item, own_label}));
    item->add_destroy_notify_callback(proxies_.back().get(), &TAction::ProxyGone);
}

void* TAction::ProxyGone(void* data) {
    auto* gone = static_cast<Proxy*>(data);
    auto& list = gone->action->proxies_;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [gone](const std::unique_ptr<Proxy>& p) { return p.get() == gone; }),
               list.end());
    return nullptr;
}

void TAction::ShowCheckedOnItems() {
    // Setting a check item's state activates it, which would come back here
    // as a choice of the user's.
    syncing_ = true;
    for (auto& p : proxies_) {
        if (auto* check = dynamic_cast<Gtk::CheckMenuItem*>(p->item);
            check != nullptr && check->get_active() != checked_) {
            check->set_active(checked_);
        }
    }
    syncing_ = false;
}

}  // namespace q3::reader
