// The dialogs of the desktop: GTK message, file chooser and colour dialogs and
// the program's own input query.
#pragma once

#include "reader/dialogs/dialogs.h"

namespace q3::reader {

class GtkDialogs : public Dialogs {
  public:
    int MessageBox(Gtk::Window* owner, const std::string& caption, const std::string& text,
                   unsigned flags) override;
    bool InputQuery(Gtk::Window* owner, const std::string& caption, const std::string& prompt,
                    std::string& text, bool masked) override;
    std::optional<std::string> OpenFile(Gtk::Window* owner, const std::string& filter) override;
    std::optional<std::string> SaveFile(Gtk::Window* owner, const std::string& file_name,
                                        const std::string& filter) override;
    std::optional<browser::WindowColor> ChooseColor(Gtk::Window* owner,
                                                    browser::WindowColor initial) override;
};

}  // namespace q3::reader
