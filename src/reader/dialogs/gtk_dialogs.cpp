#include "reader/dialogs/gtk_dialogs.h"

#include <glib/gi18n.h>
#include <gtkmm/dialog.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/label.h>

#include "common/translation.h"
#include "reader/dialogs/input_query_box.h"
#include "reader/dialogs/message_box.h"
#include "reader/rules/file_filter.h"

namespace q3::reader {

namespace {

std::unique_ptr<Dialogs>& Installed() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

void AddFilters(Gtk::FileChooser& chooser, const std::string& filter) {
    for (const FileFilter& f : ParseFileFilter(filter)) {
        auto gtk_filter = Gtk::FileFilter::create();
        gtk_filter->set_name(f.name);
        for (const std::string& p : f.patterns)
            gtk_filter->add_pattern(p == "*.*" ? "*" : p);
        chooser.add_filter(gtk_filter);
    }
}

// Gives a caption the toolkit draws in a widget of its own (in whatever
// language the desktop has) the program's Chinese caption.
void RenameToolkitCaption(Gtk::Widget& widget, const char* toolkit_text, const char* caption) {
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget)) {
        const Glib::ustring text = label->get_text();
        if (text == toolkit_text || text == g_dgettext("gtk30", toolkit_text))
            label->set_text(caption);
        return;
    }
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
        for (Gtk::Widget* child : container->get_children())
            RenameToolkitCaption(*child, toolkit_text, caption);
    }
}

void ColorActivated(GtkColorChooser*, GdkRGBA*, gpointer dialog) {
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
}

guint16 Channel(double v) {
    return static_cast<guint16>(v * 255.0 + 0.5);
}

}  // namespace

Dialogs& ActiveDialogs() {
    std::unique_ptr<Dialogs>& d = Installed();
    if (!d)
        d = std::make_unique<GtkDialogs>();
    return *d;
}

std::unique_ptr<Dialogs> InstallDialogs(std::unique_ptr<Dialogs> dialogs) {
    std::unique_ptr<Dialogs> previous = std::move(Installed());
    Installed() = std::move(dialogs);
    return previous;
}

int GtkDialogs::MessageBox(Gtk::Window* owner, const std::string& caption, const std::string& text,
                           unsigned flags) {
    TMessageBox box(owner, caption, text, flags);
    return box.ShowModal();
}

bool GtkDialogs::InputQuery(Gtk::Window* owner, const std::string& caption,
                            const std::string& prompt, std::string& text, bool masked) {
    return InputQueryBox(owner, caption, prompt, text, masked);
}

std::optional<std::string> GtkDialogs::OpenFile(Gtk::Window* owner, const std::string& filter) {
    Gtk::FileChooserDialog dialog(_("打开"), Gtk::FILE_CHOOSER_ACTION_OPEN);
    if (owner != nullptr)
        dialog.set_transient_for(*owner);
    dialog.add_button(_("取消"), Gtk::RESPONSE_CANCEL);
    dialog.add_button(_("打开"), Gtk::RESPONSE_ACCEPT);
    dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
    AddFilters(dialog, filter);
    if (dialog.run() != Gtk::RESPONSE_ACCEPT)
        return std::nullopt;
    return dialog.get_filename();
}

std::optional<std::string> GtkDialogs::SaveFile(Gtk::Window* owner, const std::string& file_name,
                                                const std::string& filter) {
    Gtk::FileChooserDialog dialog(_("另存为"), Gtk::FILE_CHOOSER_ACTION_SAVE);
    if (owner != nullptr)
        dialog.set_transient_for(*owner);
    dialog.add_button(_("取消"), Gtk::RESPONSE_CANCEL);
    dialog.add_button(_("保存"), Gtk::RESPONSE_ACCEPT);
    dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
    dialog.set_do_overwrite_confirmation(true);
    dialog.set_current_name(file_name);
    AddFilters(dialog, filter);
    if (dialog.run() != Gtk::RESPONSE_ACCEPT)
        return std::nullopt;
    return dialog.get_filename();
}

std::optional<browser::WindowColor> GtkDialogs::ChooseColor(Gtk::Window* owner,
                                                            browser::WindowColor initial) {
    // The toolkit's colour dialog speaks the desktop's language; this one
    // holds the same chooser under the program's own buttons.
    Gtk::Dialog dialog(_("颜色"), true);
    if (owner != nullptr)
        dialog.set_transient_for(*owner);
    dialog.set_resizable(false);
    // gtkmm has no wrapper of the chooser widget alone.
    GtkWidget* chooser_widget = gtk_color_chooser_widget_new();
    Gtk::Widget& chooser = *Gtk::manage(Glib::wrap(chooser_widget));
    chooser.set_name("color_chooser");
    const browser::WindowColor rgb = browser::ResolveColor(initial);
    Gdk::RGBA start;
    start.set_rgba_u(static_cast<gushort>((rgb & 0xFF) * 257),
                     static_cast<gushort>(((rgb >> 8) & 0xFF) * 257),
                     static_cast<gushort>(((rgb >> 16) & 0xFF) * 257));
    gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(chooser_widget), FALSE);
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser_widget), start.gobj());
    // A double-click on a swatch takes it, as in the toolkit's own dialog.
    g_signal_connect(chooser_widget, "color-activated", G_CALLBACK(ColorActivated), dialog.gobj());
    dialog.get_content_area()->pack_start(chooser, Gtk::PACK_EXPAND_WIDGET);
    Gtk::Button* ok = dialog.add_button(_("确定"), Gtk::RESPONSE_OK);
    dialog.add_button(_("取消"), Gtk::RESPONSE_CANCEL);
    dialog.set_default_response(Gtk::RESPONSE_OK);
    RenameToolkitCaption(chooser, "Custom", _("自定义"));
    dialog.show_all_children();
    ok->grab_focus();
    if (dialog.run() != Gtk::RESPONSE_OK)
        return std::nullopt;
    GdkRGBA chosen{};
    gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser_widget), &chosen);
    const Gdk::RGBA c(&chosen, true);
    return static_cast<browser::WindowColor>(Channel(c.get_red())) |
           static_cast<browser::WindowColor>(Channel(c.get_green())) << 8 |
           static_cast<browser::WindowColor>(Channel(c.get_blue())) << 16;
}

}  // namespace q3::reader
