// The input dialog as a window, laid out in dialog units of its font.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/fixed.h>
#include <gtkmm/label.h>
#include <string>

#include "reader/rules/geometry.h"

namespace q3::reader {

inline constexpr int kInputQueryMaxLength = 255;

class InputQueryDialog : public Gtk::Dialog {
  public:
    InputQueryDialog(Gtk::Window* owner, const std::string& caption, const std::string& prompt,
                     const std::string& text, bool masked);

    Gtk::Label& PromptLabel() { return prompt_; }
    Gtk::Entry& Edit() { return edit_; }
    Gtk::Button& OkButton() { return *ok_; }
    Gtk::Button& CancelButton() { return *cancel_; }
    const InputQueryLayout& Layout() const { return layout_; }

  private:
    void LayOut();

    Gtk::Fixed area_;
    Gtk::Label prompt_;
    Gtk::Entry edit_;
    Gtk::Button* ok_ = nullptr;
    Gtk::Button* cancel_ = nullptr;
    InputQueryLayout layout_;
};

}  // namespace q3::reader
