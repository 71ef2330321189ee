#include "reader/dialogs/nav_form.h"

#include <gtkmm/separatortoolitem.h>

#include "reader/main_window/action.h"

namespace q3::reader {

Tfm_NavForm::Tfm_NavForm(TAction& nav_home, TAction& nav_next, TAction& nav_prev) {
    set_title("导航条");
    set_type_hint(Gdk::WINDOW_TYPE_HINT_UTILITY);
    set_keep_above(true);
    set_skip_taskbar_hint(true);
    set_resizable(true);
    set_deletable(true);

    tlb_Nav.set_toolbar_style(Gtk::TOOLBAR_BOTH);
    tlb_Nav.set_icon_size(Gtk::ICON_SIZE_LARGE_TOOLBAR);
    btnQBXNavHome = nav_home.MakeToolButton("go-home");
    btnQBXNavNext = nav_next.MakeToolButton("go-down");
    btnQBXNavPrev = nav_prev.MakeToolButton("go-up");
    tlb_Nav.append(*btnQBXNavHome);
    tlb_Nav.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    tlb_Nav.append(*btnQBXNavNext);
    tlb_Nav.append(*btnQBXNavPrev);
    for (Gtk::ToolButton* b : {btnQBXNavHome, btnQBXNavNext, btnQBXNavPrev}) {
        b->set_size_request(43, 35);
    }
    add(tlb_Nav);
    tlb_Nav.show_all();
    for (TAction* a : {&nav_home, &nav_next, &nav_prev})
        a->Sync();

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
