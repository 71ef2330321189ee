// The floating navigation bar: a small tool window that stays on top and
// carries the contents actions of the main window (first page, next,
// previous), for reading without the side bar.
#pragma once

#include <giomm/actiongroup.h>
#include <gtkmm/toolbar.h>
#include <functional>

#include "reader/forms/base_form.h"

namespace q3::reader {

class Tfm_NavForm : public Tfm_BaseForm {
  public:
    // actions: the main window's group, holding the contents steps.
    explicit Tfm_NavForm(const Glib::RefPtr<Gio::ActionGroup>& actions);

    // Called when the user closes the window, after it is hidden.
    void SetOnClosed(std::function<void()> on_closed) { on_closed_ = std::move(on_closed); }

    Gtk::Toolbar nav_tool_bar;
    Gtk::ToolButton* first_page_button = nullptr;     // btnQBXNavHome
    Gtk::ToolButton* next_page_button = nullptr;      // btnQBXNavNext
    Gtk::ToolButton* previous_page_button = nullptr;  // btnQBXNavPrev

  private:
    std::function<void()> on_closed_;
};

}  // namespace q3::reader
