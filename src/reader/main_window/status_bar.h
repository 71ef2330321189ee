// The status bar (stat1): a row of text panels; the last one runs to the
// window's edge, as status bars do.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <memory>
#include <string>
#include <vector>

namespace q3::reader {

class TStatusBar : public Gtk::Box {
  public:
    // One panel per width given.
    explicit TStatusBar(const std::vector<int>& panel_widths);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    std::string PanelText(int index) const;
    // Sets a panel's text; nothing for an index past the panels.
    void SetStatusText(const std::string& text, int index);

  private:
    std::vector<std::unique_ptr<Gtk::Label>> panels_;
};

}  // namespace q3::reader
