// An action of a window: one row of the action table (caption, hint,
// shortcut, Tag, initial check and enabled states) as a GIO action, so that
// the menu items and tool buttons bound to it follow its sensitivity and
// check mark by themselves and the application's accelerators run it.
#pragma once

#include <gdkmm/types.h>
#include <giomm/simpleaction.h>
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

// The group the window's actions live in, as GTK finds them from a widget.
inline constexpr char kWindowActionPrefix[] = "win";

// A tool button that runs the action named by def in the window's group;
// label empty for the caption.
Gtk::ToolButton* MakeActionToolButton(const ActionDef& def, const std::string& icon_name,
                                      const std::string& label = {});

class TAction : public sigc::trackable {
  public:
    using Handler = std::function<void(TAction&)>;

    explicit TAction(const ActionDef& def);
    ~TAction();
    TAction(const TAction&) = delete;
    TAction& operator=(const TAction&) = delete;

    const ActionDef& Def() const { return def_; }
    std::string_view Name() const { return def_.name; }
    // "win.<name>", as menu items and accelerators name it.
    std::string DetailedName() const;
    int Tag() const { return def_.tag; }
    const std::string& Caption() const { return caption_; }
    const std::string& Hint() const { return hint_; }
    bool Checked() const { return checked_; }
    bool Enabled() const { return enabled_; }
    bool Visible() const { return def_.visible; }
    // Whether menu items show a check mark for it.
    bool Checkable() const { return def_.checked || def_.group != 0; }
    guint Key() const { return key_; }
    Gdk::ModifierType Modifiers() const { return modifiers_; }
    bool HasShortcut() const { return key_ != 0; }

    const Glib::RefPtr<Gio::SimpleAction>& GioAction() const { return action_; }

    void SetCaption(const std::string& caption);
    // Checking an action of a radio group clears the others of its list;
    // SetGroupPeers tells it who they are.
    void SetChecked(bool checked);
    void SetEnabled(bool enabled);
    void SetHandler(Handler handler) { handler_ = std::move(handler); }
    void SetGroupPeers(std::vector<TAction*> peers) { peers_ = std::move(peers); }

    // Runs the handler when the action is enabled; true when it ran.
    bool Execute();

    // A new menu item (owned by the menu it is put in) or tool button bound
    // to this action; a label given here stays in place of the caption.
    Gtk::MenuItem* MakeMenuItem(const std::string& label = {});
    Gtk::ToolButton* MakeToolButton(const std::string& icon_name, const std::string& label = {});

  private:
    struct Proxy;
    void Track(Gtk::MenuItem* item, bool own_label);
    // A check menu item flips itself when chosen, whatever the handler then
    // decides; this puts the action's word back on every one.
    void ShowCheckedOnItems();
    static void* ProxyGone(void* data);

    const ActionDef& def_;
    Glib::RefPtr<Gio::SimpleAction> action_;
    std::string caption_;
    std::string hint_;
    bool checked_;
    bool enabled_;
    guint key_ = 0;
    Gdk::ModifierType modifiers_ = Gdk::ModifierType(0);
    Handler handler_;
    std::vector<TAction*> peers_;
    std::vector<std::unique_ptr<Proxy>> proxies_;
    bool syncing_ = false;
};

}  // namespace q3::reader
