#include "reader/dialogs/nav_form.h"

#include <gtkmm/separatortoolitem.h>

#include "common/translation.h"
#include "reader/main_window/action.h"

namespace q3::reader {

namespace {

Gtk::ToolButton* StepButton(const char* action, const std::string& icon) {
    // The rows are the program's own; a missing one is a fault of the build.
    const ActionDef* def = FindActionDef(action);
    g_assert(def != nullptr);
    return MakeActionToolButton(*def, icon);
}

}  // namespace

Tfm_NavForm::Tfm_NavForm(const Glib::RefPtr<Gio::ActionGroup>& actions) {
    // The buttons find the main window's actions here, so they follow their
    // states as the main window's own controls do.
    insert_action_group(kWindowActionPrefix, actions);
    set_title(_("导航条"));
    set_type_hint(Gdk::WINDOW_TYPE_HINT_UTILITY);
    set_keep_above(true);
    set_skip_taskbar_hint(true);
    set_resizable(true);
    set_deletable(true);

    nav_tool_bar.set_toolbar_style(Gtk::TOOLBAR_BOTH);
    nav_tool_bar.set_icon_size(Gtk::ICON_SIZE_LARGE_TOOLBAR);
    first_page_button = StepButton("act_QBXNavHome", "go-home");
    next_page_button = StepButton("act_QBXNavNext", "go-down");
    previous_page_button = StepButton("act_QBXNavPrev", "go-up");
    nav_tool_bar.append(*first_page_button);
    nav_tool_bar.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    nav_tool_bar.append(*next_page_button);
    nav_tool_bar.append(*previous_page_button);
    for (Gtk::ToolButton* b : {first_page_button, next_page_button, previous_page_button}) {
        b->set_size_request(43, 35);
    }
    add(nav_tool_bar);
    nav_tool_bar.show_all();

    FormCreate(false);
    // Closing only hides the window; the main window's menu entry follows.
    signal_delete_event().connect([this](GdkEventAny*) {
        hide();
        if (on_closed_)
            on_closed_();
        return true;
    });
}

}  // namespace q3::reader
