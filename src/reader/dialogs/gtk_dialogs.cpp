#include "reader/dialogs/gtk_dialogs.h"

#include <gtkmm/colorchooserdialog.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/messagedialog.h>

#include "reader/dialogs/input_query_box.h"
#include "reader/rules/file_filter.h"

namespace q3::reader {

namespace {

std::unique_ptr<Dialogs>& Installed() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

Gtk::MessageType MessageTypeOf(unsigned flags) {
    switch (flags & kMbIconMask) {
        case kMbIconQuestion:
            return Gtk::MESSAGE_QUESTION;
        case kMbIconWarning:
            return Gtk::MESSAGE_WARNING;
        case kMbIconInformation:
            return Gtk::MESSAGE_INFO;
        default:
            return Gtk::MESSAGE_OTHER;
    }
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
    const bool ok_cancel = (flags & kMbButtonMask) == kMbOkCancel;
    Gtk::MessageDialog box(text, false, MessageTypeOf(flags),
                           ok_cancel ? Gtk::BUTTONS_OK_CANCEL : Gtk::BUTTONS_OK, true);
    if (owner != nullptr)
        box.set_transient_for(*owner);
    box.set_title(caption);
    // Enter answers with the first button, OK, as the original boxes did.
    box.set_default_response(Gtk::RESPONSE_OK);
    box.set_position(owner != nullptr ? Gtk::WIN_POS_CENTER_ON_PARENT : Gtk::WIN_POS_CENTER);
    const int response = box.run();
    return response == Gtk::RESPONSE_OK ? kIdOk : kIdCancel;
}

bool GtkDialogs::InputQuery(Gtk::Window* owner, const std::string& caption,
                            const std::string& prompt, std::string& text, bool masked) {
    return InputQueryBox(owner, caption, prompt, text, masked);
}

std::optional<std::string> GtkDialogs::OpenFile(Gtk::Window* owner, const std::string& filter) {
    Gtk::FileChooserDialog dialog("打开", Gtk::FILE_CHOOSER_ACTION_OPEN);
    if (owner != nullptr)
        dialog.set_transient_for(*owner);
    dialog.add_button("取消", Gtk::RESPONSE_CANCEL);
    dialog.add_button("打开", Gtk::RESPONSE_ACCEPT);
    dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
    AddFilters(dialog, filter);
    if (dialog.run() != Gtk::RESPONSE_ACCEPT)
        return std::nullopt;
    return dialog.get_filename();
}

std::optional<std::string> GtkDialogs::SaveFile(Gtk::Window* owner, const std::string& file_name,
                                                const std::string& filter) {
    Gtk::FileChooserDialog dialog("另存为", Gtk::FILE_CHOOSER_ACTION_SAVE);
    if (owner != nullptr)
        dialog.set_transient_for(*owner);
    dialog.add_button("取消", Gtk::RESPONSE_CANCEL);
    dialog.add_button("保存", Gtk::RESPONSE_ACCEPT);
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
    Gtk::ColorChooserDialog dialog("颜色");
    if (owner != nullptr)
        dialog.set_transient_for(*owner);
    const browser::WindowColor rgb = browser::ResolveColor(initial);
    Gdk::RGBA start;
    start.set_rgba_u(static_cast<gushort>((rgb & 0xFF) * 257),
                     static_cast<gushort>(((rgb >> 8) & 0xFF) * 257),
                     static_cast<gushort>(((rgb >> 16) & 0xFF) * 257));
    dialog.set_rgba(start);
    dialog.set_use_alpha(false);
    if (dialog.run() != Gtk::RESPONSE_OK)
        return std::nullopt;
    const Gdk::RGBA c = dialog.get_rgba();
    return static_cast<browser::WindowColor>(Channel(c.get_red())) |
           static_cast<browser::WindowColor>(Channel(c.get_green())) << 8 |
           static_cast<browser::WindowColor>(Channel(c.get_blue())) << 16;
}

}  // namespace q3::reader
