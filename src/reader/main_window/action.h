// An action of a window: one command with a caption, hint, shortcut, Tag and
// check, enabled and visible states, shown by any number of menu items and
// tool buttons that follow its state and run it when chosen.
#pragma once

#include <gdkmm/types.h>
#include <sigc++/trackable.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reader/rules/action_table.h"

namespace Gtk {
class MenuItem;
class ToolButton;
class Widget;
}  // namespace Gtk

namespace q3::reader {

class TAction : public sigc::trackable {
  public:
    using Handler = std::function<void(TAction&)>;

    explicit TAction(const ActionDef& def);
    ~TAction();
    TAction(const TAction&) = delete;
    TAction& operator=(const TAction&) = delete;

    const ActionDef& Def() const { return def_; }
    std::string_view Name() const { return def_.name; }
    int Tag() const { return def_.tag; }
    const std::string& Caption() const { return caption_; }
    const std::string& Hint() const { return hint_; }
    bool Checked() const { return checked_; }
    bool Enabled() const { return enabled_; }
    bool Visible() const { return visible_; }
    // Whether menu items show a check mark for it.
    bool Checkable() const { return def_.checked || def_.group != 0; }
    guint Key() const { return key_; }
    Gdk::ModifierType Modifiers() const { return modifiers_; }
    bool HasShortcut() const { return key_ != 0; }

    void SetCaption(const std::string& caption);
    // Checking an action of a radio group clears the others of its list;
    // SetGroupPeers tells it who they are.
    void SetChecked(bool checked);
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    void SetHandler(Handler handler) { handler_ = std::move(handler); }
    void SetGroupPeers(std::vector<TAction*> peers) { peers_ = std::move(peers); }

    // Runs the handler when the action is enabled; true when it ran.
    bool Execute();

    // A new menu item (owned by the menu it is put in) or tool button that
    // shows this action; a label given here stays in place of the caption.
    Gtk::MenuItem* MakeMenuItem(const std::string& label = {});
    Gtk::ToolButton* MakeToolButton(const std::string& icon_name, const std::string& label = {});

    // Does the key event match the shortcut?
    bool MatchesShortcut(guint key, Gdk::ModifierType state) const;

    // Puts the action's state back on every widget that shows it, after
    // something else (showing a whole window) changed their visibility.
    void Sync();

  private:
    struct Proxy;
    void Track(Gtk::Widget* widget, bool is_menu_item, bool own_label);
    void SyncProxy(Proxy& proxy);
    static void* ProxyGone(void* data);

    const ActionDef& def_;
    std::string caption_;
    std::string hint_;
    bool checked_;
    bool enabled_;
    bool visible_;
    guint key_ = 0;
    Gdk::ModifierType modifiers_ = Gdk::ModifierType(0);
    Handler handler_;
    std::vector<TAction*> peers_;
    std::vector<std::unique_ptr<Proxy>> proxies_;
    bool syncing_ = false;
};

}  // namespace q3::reader
