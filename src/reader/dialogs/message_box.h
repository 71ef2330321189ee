// The program's message box: the icon its flags name (information, warning,
// question), the text, and buttons captioned in Chinese whatever the
// desktop's language. Enter presses the first button, Escape cancels.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <string>

namespace q3::reader {

// The theme icon a message box shows for its flags, or empty for none.
const char* MessageIconName(unsigned flags);

class TMessageBox : public Gtk::Dialog {
  public:
    TMessageBox(Gtk::Window* owner, const std::string& caption, const std::string& text,
                unsigned flags);

    // Shows the box modally; the button pressed (kIdOk or kIdCancel, also
    // for the close box and Escape).
    int ShowModal();

    Gtk::Image icon_image;
    Gtk::Label text_label;
    Gtk::Button* ok_button = nullptr;      // "确定"
    Gtk::Button* cancel_button = nullptr;  // "取消", with OK and Cancel only

  private:
    Gtk::Box body_;
};

}  // namespace q3::reader
