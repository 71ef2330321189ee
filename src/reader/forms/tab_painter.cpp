#include "reader/forms/tab_painter.h"

#include <glib.h>
#include <gtkmm/label.h>
#include <pangomm/layout.h>

#include <utility>

namespace q3::reader {

namespace {

void SetSourceColor(const Cairo::RefPtr<Cairo::Context>& cr, WindowColor colour) {
    const WindowColor rgb = browser::ResolveColor(colour);
    cr->set_source_rgb((rgb & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       ((rgb >> 16) & 0xFF) / 255.0);
}

// A caption of a side tab is written down the tab a character under the
// other, as Chinese is; one in an alphabet (the English interface's) would
// then spell its word letter by letter, so it is turned a quarter instead
// and reads upwards, as side tabs in such languages do.
bool TurnedCaption(const std::string& caption) {
    for (const unsigned char c : caption)
        if (c >= 0x80)
            return false;
    return true;
}

// The caption split into characters (UTF-8 sequences), each drawn on its own.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> chars;
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        const char* next = g_utf8_find_next_char(p, end);
        if (next == nullptr)
            next = end;
        chars.emplace_back(p, next);
        p = next;
    }
    return chars;
}

// Width and height of text as the layout draws it, in pixels.
std::pair<int, int> PixelSize(const Glib::RefPtr<Pango::Layout>& layout, const std::string& text) {
    layout->set_text(text);
    int width = 0, height = 0;
    layout->get_pixel_size(width, height);
    return {width, height};
}

const char kCaptionKey[] = "q3-tab-caption";

}  // namespace

int TabIndexOf(Gtk::Notebook& notebook, Gtk::Widget& page) {
    int index = 0;
    for (int i = 0; i < notebook.get_n_pages(); ++i) {
        Gtk::Widget* p = notebook.get_nth_page(i);
        if (p == &page)
            return p->get_visible() ? index : -1;
        if (p->get_visible())
            ++index;
    }
    return -1;
}

std::string TabCaption(Gtk::Notebook& notebook, int tab_index) {
    int index = 0;
    for (int i = 0; i < notebook.get_n_pages(); ++i) {
        Gtk::Widget* page = notebook.get_nth_page(i);
        if (!page->get_visible())
            continue;
        if (index++ != tab_index)
            continue;
        Gtk::Widget* label = notebook.get_tab_label(*page);
        if (auto* drawn = dynamic_cast<OwnerDrawnTab*>(label))
            return drawn->Caption();
        if (auto* plain = dynamic_cast<Gtk::Label*>(label))
            return plain->get_text();
        return {};
    }
    return {};
}

bool HasSideTabs(const Gtk::Notebook& notebook) {
    const Gtk::PositionType pos = notebook.get_tab_pos();
    return pos == Gtk::POS_LEFT || pos == Gtk::POS_RIGHT;
}

void TabPainter(const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Notebook& notebook, int tab_index,
                const Rect& rect, bool active, WindowColor background, WindowColor inactive_text,
                WindowColor active_text) {
    cr->save();
    SetSourceColor(cr, background);
    cr->rectangle(rect.left, rect.top, rect.width, rect.height);
    cr->fill();
    SetSourceColor(cr, active ? active_text : inactive_text);
    const std::string caption = TabCaption(notebook, tab_index);
    Glib::RefPtr<Pango::Layout> layout = notebook.create_pango_layout("");
    if (HasSideTabs(notebook) && TurnedCaption(caption)) {
        // Rotated about its origin: the text's top faces the tab's outer edge.
        layout->set_text(caption);
        cr->move_to(rect.left + (active ? 5 : 3), rect.top + rect.height - (active ? 7 : 3));
        cr->rotate(-G_PI / 2);
        layout->show_in_cairo_context(cr);
    } else if (HasSideTabs(notebook)) {
        std::vector<std::string> chars = Characters(caption);
        std::vector<int> heights;
        for (const std::string& c : chars)
            heights.push_back(PixelSize(layout, c).second);
        const std::vector<Point> at = VerticalCaptionOrigins(rect, active, heights);
        for (size_t i = 0; i < chars.size(); ++i) {
            layout->set_text(chars[i]);
            cr->move_to(at[i].x, at[i].y);
            layout->show_in_cairo_context(cr);
        }
    } else {
        const Point at = HorizontalCaptionOrigin(rect, active);
        layout->set_text(caption);
        cr->move_to(at.x, at.y);
        layout->show_in_cairo_context(cr);
    }
    cr->restore();
}

OwnerDrawnTab::OwnerDrawnTab(Gtk::Notebook& notebook, Gtk::Widget& page, const std::string& caption,
                             TabPaintFunc painter)
    : Gtk::Label(caption), notebook_(notebook), page_(page), painter_(std::move(painter)) {
    set_name(kCaptionKey);
}

void OwnerDrawnTab::SetCaption(const std::string& caption) {
    set_text(caption);
    queue_resize();
    queue_draw();
}

bool OwnerDrawnTab::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const int index = TabIndexOf(notebook_, page_);
    if (index < 0 || !painter_)
        return true;
    const bool active = notebook_.get_nth_page(notebook_.get_current_page()) == &page_;
    painter_(cr, notebook_, index, Rect{0, 0, get_allocated_width(), get_allocated_height()},
             active);
    return true;
}

void OwnerDrawnTab::get_preferred_width_vfunc(int& minimum, int& natural) const {
    auto* self = const_cast<OwnerDrawnTab*>(this);
    Glib::RefPtr<Pango::Layout> layout = self->create_pango_layout("");
    int width = 0;
    if (HasSideTabs(notebook_) && TurnedCaption(Caption())) {
        width = PixelSize(layout, Caption()).second + 10;
    } else if (HasSideTabs(notebook_)) {
        for (const std::string& c : Characters(Caption()))
            width = std::max(width, PixelSize(layout, c).first);
        width += 10;  // the active caption stands 5 pixels in, and as much room after it
    } else {
        width = PixelSize(layout, Caption()).first + 14;
    }
    minimum = natural = width;
}

void OwnerDrawnTab::get_preferred_height_vfunc(int& minimum, int& natural) const {
    auto* self = const_cast<OwnerDrawnTab*>(this);
    Glib::RefPtr<Pango::Layout> layout = self->create_pango_layout("");
    int height = 0;
    if (HasSideTabs(notebook_) && TurnedCaption(Caption())) {
        height = PixelSize(layout, Caption()).first + 14;
    } else if (HasSideTabs(notebook_)) {
        int tallest = 0;
        for (const std::string& c : Characters(Caption())) {
            const int h = PixelSize(layout, c).second;
            height += h;
            tallest = std::max(tallest, h);
        }
        // The first character is drawn one line down less the lead-in.
        height += tallest - 6;
    } else {
        height = PixelSize(layout, Caption()).second + 6;
    }
    minimum = natural = std::max(height, 8);
}

namespace {

void DrawTabOf(Gtk::Notebook& notebook, Gtk::Widget& page, const TabPaintFunc& painter) {
    Gtk::Widget* old_label = notebook.get_tab_label(page);
    if (dynamic_cast<OwnerDrawnTab*>(old_label) != nullptr)
        return;
    std::string caption;
    if (auto* plain = dynamic_cast<Gtk::Label*>(old_label))
        caption = plain->get_text();
    auto* tab = Gtk::manage(new OwnerDrawnTab(notebook, page, caption, painter));
    if (old_label != nullptr)
        tab->set_tooltip_text(old_label->get_tooltip_text());
    notebook.set_tab_label(page, *tab);
    tab->show();
}

const char kOwnerDrawnKey[] = "q3-owner-drawn-tabs";

}  // namespace

void OwnerDrawTabs(Gtk::Notebook& notebook, const TabPaintFunc& painter) {
    for (int i = 0; i < notebook.get_n_pages(); ++i) {
        DrawTabOf(notebook, *notebook.get_nth_page(i), painter);
    }
    if (notebook.get_data(kOwnerDrawnKey) != nullptr)
        return;
    notebook.set_data(kOwnerDrawnKey, &notebook);
    // Pages added later (new browser tabs) get drawn tabs as well.
    notebook.signal_page_added().connect([&notebook, painter](Gtk::Widget* page, guint) {
        if (page != nullptr)
            DrawTabOf(notebook, *page, painter);
    });
    notebook.signal_switch_page().connect(
        [&notebook](Gtk::Widget*, guint) { RepaintTabs(notebook); });
}

bool HasOwnerDrawnTabs(Gtk::Notebook& notebook) {
    return notebook.get_data(kOwnerDrawnKey) != nullptr;
}

void SetTabCaption(Gtk::Notebook& notebook, Gtk::Widget& page, const std::string& caption) {
    Gtk::Widget* label = notebook.get_tab_label(page);
    if (auto* drawn = dynamic_cast<OwnerDrawnTab*>(label)) {
        drawn->SetCaption(caption);
    } else {
        notebook.set_tab_label_text(page, caption);
    }
}

void SetTabHint(Gtk::Notebook& notebook, Gtk::Widget& page, const std::string& hint) {
    if (Gtk::Widget* label = notebook.get_tab_label(page))
        label->set_tooltip_text(hint);
}

std::string TabHint(Gtk::Notebook& notebook, Gtk::Widget& page) {
    Gtk::Widget* label = notebook.get_tab_label(page);
    return label != nullptr ? std::string(label->get_tooltip_text()) : std::string();
}

int PageAtTab(Gtk::Notebook& notebook, double x_root, double y_root) {
    for (int i = 0; i < notebook.get_n_pages(); ++i) {
        Gtk::Widget* label = notebook.get_tab_label(*notebook.get_nth_page(i));
        if (label == nullptr || !label->get_mapped())
            continue;
        // A label draws on its parent's window, at its allocation there.
        int origin_x = 0, origin_y = 0;
        label->get_window()->get_origin(origin_x, origin_y);
        const Gtk::Allocation a = label->get_allocation();
        const double x = x_root - origin_x - a.get_x();
        const double y = y_root - origin_y - a.get_y();
        if (x >= 0 && y >= 0 && x < a.get_width() && y < a.get_height())
            return i;
    }
    return -1;
}

void RepaintTabs(Gtk::Notebook& notebook) {
    for (int i = 0; i < notebook.get_n_pages(); ++i) {
        if (Gtk::Widget* label = notebook.get_tab_label(*notebook.get_nth_page(i))) {
            label->queue_draw();
        }
    }
}

}  // namespace q3::reader
