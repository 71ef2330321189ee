// Owner-drawn page control tabs: each tab's caption is drawn by a painter in
// the window's colours, one character under the other for tabs on the left.
#pragma once

#include <cairomm/context.h>
#include <gtkmm/label.h>
#include <gtkmm/notebook.h>
#include <functional>
#include <string>

#include "browser/color.h"
#include "reader/rules/geometry.h"

namespace q3::reader {

using browser::WindowColor;

// Paints one tab: tab_index counts the shown tabs, rect is the tab's area.
using TabPaintFunc =
    std::function<void(const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Notebook& notebook,
                       int tab_index, const Rect& rect, bool active)>;

// The caption of the page whose tab index is tab_index (hidden pages have no
// tab index), or empty when no page has it.
std::string TabCaption(Gtk::Notebook& notebook, int tab_index);

// The tab index of a page: its place among the shown pages, -1 when hidden.
int TabIndexOf(Gtk::Notebook& notebook, Gtk::Widget& page);

// Whether a notebook's tabs stand on its left or right side.
bool HasSideTabs(const Gtk::Notebook& notebook);

void TabPainter(const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Notebook& notebook, int tab_index,
                const Rect& rect, bool active, WindowColor background, WindowColor inactive_text,
                WindowColor active_text);

// The label of an owner-drawn tab: a label, so that the tab is named by its
// caption for assistive technologies and the notebook gets the clicks (a
// label has no window of its own), whose drawing is the painter's.
class OwnerDrawnTab : public Gtk::Label {
  public:
    OwnerDrawnTab(Gtk::Notebook& notebook, Gtk::Widget& page, const std::string& caption,
                  TabPaintFunc painter);

    std::string Caption() const { return get_text(); }
    void SetCaption(const std::string& caption);
    Gtk::Widget& Page() { return page_; }

  protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;

  private:
    Gtk::Notebook& notebook_;
    Gtk::Widget& page_;
    TabPaintFunc painter_;
};

// Gives every page of the notebook an owner-drawn tab with its current
// caption; tabs repaint when the active page changes.
void OwnerDrawTabs(Gtk::Notebook& notebook, const TabPaintFunc& painter);
bool HasOwnerDrawnTabs(Gtk::Notebook& notebook);

// Sets a page's caption whether its tab is owner-drawn or a plain label.
void SetTabCaption(Gtk::Notebook& notebook, Gtk::Widget& page, const std::string& caption);

// A page's hint, shown over its tab (the tab sheet's hint, not the page's).
void SetTabHint(Gtk::Notebook& notebook, Gtk::Widget& page, const std::string& hint);
std::string TabHint(Gtk::Notebook& notebook, Gtk::Widget& page);

// The page whose tab label lies under a point of the screen, or -1 (the
// empty part of the tab strip, or another place).
int PageAtTab(Gtk::Notebook& notebook, double x_root, double y_root);

// Redraws every tab of the notebook.
void RepaintTabs(Gtk::Notebook& notebook);

}  // namespace q3::reader
