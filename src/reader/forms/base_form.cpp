#include "reader/forms/base_form.h"

#include <gdkmm/screen.h>
#include <glibmm/miscutils.h>
#include <gtkmm/container.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/stylecontext.h>
#include <gtkmm/treeview.h>

#include "common/app_paths.h"
#include "common/base_settings.h"
#include "reader/forms/column_sorter.h"
#include "reader/forms/tab_painter.h"
#include "reader/rules/color_scheme.h"

namespace q3::reader {

namespace {

int NextFormNumber() {
    static int counter = 0;
    return ++counter;
}

}  // namespace

namespace {

std::string& Title() {
    static std::string title;
    return title;
}

}  // namespace

void InstallProgramIcon() {
    Glib::RefPtr<Gtk::IconTheme> theme = Gtk::IconTheme::get_default();
    if (theme && theme->has_icon(kProgramIconName)) {
        Gtk::Window::set_default_icon_name(kProgramIconName);
        return;
    }
    std::vector<Glib::RefPtr<Gdk::Pixbuf>> icons;
    for (const char* size : {"16", "32", "48", "64", "128"}) {
        const std::string file =
            q3::ReadOnlyDataDir() + "data/icons/" + size + "/" + kProgramIconName + ".png";
        try {
            icons.push_back(Gdk::Pixbuf::create_from_file(file));
        } catch (const Glib::Error&) {
            // Not drawn at this size, or no build tree: the theme's name stands.
        }
    }
    if (icons.empty()) {
        Gtk::Window::set_default_icon_name(kProgramIconName);
        return;
    }
    Gtk::Window::set_default_icon_list(icons);
}

std::string ApplicationTitle() {
    if (!Title().empty())
        return Title();
    return std::string(Glib::get_application_name());
}

void SetApplicationTitle(const std::string& title) {
    if (Title() == title)
        return;
    // GLib's application name may be set once per process.
    if (Title().empty() && g_get_application_name() == g_get_prgname()) {
        Glib::set_application_name(title);
    }
    Title() = title;
}

Tfm_BaseForm::Tfm_BaseForm()
    : color_(kBaseFormColor), style_name_("q3form" + std::to_string(NextFormNumber())) {
    set_name(style_name_);
    style_ = Gtk::CssProvider::create();
    Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), style_,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    ApplyColorStyle();
}

Tfm_BaseForm::~Tfm_BaseForm() {
    if (Glib::RefPtr<Gdk::Screen> screen = Gdk::Screen::get_default()) {
        Gtk::StyleContext::remove_provider_for_screen(screen, style_);
    }
}

void Tfm_BaseForm::FormCreate(bool is_main_form) {
    if (is_main_form)
        set_position(Gtk::WIN_POS_CENTER);
    SetColor(kBaseFormColor);
    HookControls(*this);
}

void Tfm_BaseForm::HookControls(Gtk::Widget& widget) {
    if (auto* notebook = dynamic_cast<Gtk::Notebook*>(&widget);
        notebook && ControlTag(widget) == 0) {
        OwnerDrawTabs(*notebook, [this](const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Notebook& nb,
                                        int index, const Rect& rect,
                                        bool active) { PaintTab(cr, nb, index, rect, active); });
    }
    if (auto* list = dynamic_cast<Gtk::TreeView*>(&widget);
        list && ControlTag(widget) == 0 && IsListView(widget) && !HasOwnColumnClick(*list)) {
        AttachColumnSorter(*list);
    }
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
        for (Gtk::Widget* child : container->get_children())
            HookControls(*child);
        // A notebook's tab labels are not among its children.
        if (auto* notebook = dynamic_cast<Gtk::Notebook*>(&widget)) {
            for (int i = 0; i < notebook->get_n_pages(); ++i) {
                if (Gtk::Widget* label = notebook->get_tab_label(*notebook->get_nth_page(i))) {
                    if (dynamic_cast<OwnerDrawnTab*>(label) == nullptr)
                        HookControls(*label);
                }
            }
        }
    }
}

void Tfm_BaseForm::PaintTab(const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Notebook& notebook,
                            int tab_index, const Rect& rect, bool active) {
    TabPainter(cr, notebook, tab_index, rect, active, color_,
               browser::ReadableOn(kInactiveTabText, color_),
               browser::ReadableOn(kActiveTabText, color_));
}

void Tfm_BaseForm::SetColor(WindowColor colour) {
    color_ = colour;
    ApplyColorStyle();
}

void Tfm_BaseForm::ApplyColorStyle() {
    const std::string html = browser::ColorToHtml(color_);
    const std::string text = browser::ColorToHtml(browser::TextColorOn(color_));
    const std::string& n = style_name_;
    // Surfaces that take the window's colour; edits, lists and pages keep
    // their own white.
    const std::string css =
        "#" + n + ", #" + n + " menubar, #" + n + " toolbar, #" + n + " notebook > header, #" + n +
        " notebook > header > tabs > tab, #" + n + " notebook > stack, #" + n + " .q3-panel, #" +
        n + " statusbar, #" + n + " paned > separator {" + " background-color: " + html +
        "; background-image: none; }\n" + "#" + n + " { font-size: 12px; }\n" +
        // Text on those surfaces must read on whatever colour the user
        // picked; buttons with a ground of their own keep the theme's text.
        "#" + n + " menubar > menuitem, #" + n + " .q3-panel label, #" + n +
        " notebook > stack label, #" + n + " statusbar label { color: " + text + "; }\n" + "#" + n +
        " .q3-panel button label, #" + n +
        " notebook > stack button label { color: @theme_fg_color; }\n" + "#" + n +
        " .q3-panel toolbar button label { color: " + text + "; }\n" +
        // Compact bars and boxes, close to the design's 22-pixel rows.
        "#" + n + " toolbar { padding: 0; }\n#" + n +
        " toolbar button { padding: 1px 2px; min-height: 0; min-width: 0; }\n#" + n +
        " entry { min-height: 18px; padding-top: 0; padding-bottom: 0; }\n#" + n +
        " combobox button { min-height: 18px; padding-top: 0; padding-bottom: 0; }\n#" + n +
        " menubar > menuitem { padding: 2px 8px; min-height: 0; }\n#" + n +
        " notebook > header > tabs > tab { padding: 2px 4px; min-height: 0; min-width: 0; }\n";
    try {
        style_->load_from_data(css);
    } catch (const Glib::Error& e) {
        ReportError("Tfm_BaseForm.SetColor", std::string(e.what()));
    }
    queue_draw();
}

int Tfm_BaseForm::ShowMessageBox(const std::string& text, unsigned flags) {
    return ActiveDialogs().MessageBox(this, ApplicationTitle(), text, flags);
}

bool Tfm_BaseForm::AskYesNo(const std::string& text, unsigned flags) {
    return ShowMessageBox(text, flags) == kIdOk;
}

void Tfm_BaseForm::ShowWarning(const std::string& text, unsigned flags) {
    ShowMessageBox(text, flags);
}

std::int32_t Tfm_BaseForm::ReadRegInteger(std::string_view name, std::int32_t def) {
    return q3::ReadRegInteger(name, def);
}

std::string Tfm_BaseForm::ReadRegString(std::string_view name, std::string_view def) {
    return q3::ReadRegString(name, def);
}

bool Tfm_BaseForm::WriteRegInteger(std::string_view name, std::int32_t value) {
    return q3::WriteRegInteger(name, value);
}

bool Tfm_BaseForm::WriteRegString(std::string_view name, std::string_view value) {
    return q3::WriteRegString(name, value);
}

std::string Tfm_BaseForm::AppDir() {
    return q3::AppDir();
}

void Tfm_BaseForm::ReportError(std::string_view context, std::string_view message) noexcept {
    q3::ReportError(context, message);
}

Rect Tfm_BaseForm::Bounds() {
    int x = 0, y = 0, w = 0, h = 0;
    get_position(x, y);
    get_size(w, h);
    return {x, y, w, h};
}

}  // namespace q3::reader
