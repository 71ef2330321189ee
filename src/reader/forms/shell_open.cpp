#include "reader/forms/shell_open.h"

#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include "common/base_settings.h"

namespace q3::reader {

namespace {

ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}

}  // namespace

void SetShellOpener(ShellOpener opener) {
    Opener() = std::move(opener);
}

bool ShellOpen(Gtk::Window* parent, const std::string& target) {
    if (target.empty())
        return false;
    if (Opener())
        return Opener()(target);
    std::string uri = target;
    if (uri.front() == '/') {
        gchar* file_uri = g_filename_to_uri(target.c_str(), nullptr, nullptr);
        if (file_uri != nullptr) {
            uri = file_uri;
            g_free(file_uri);
        }
    }
    GError* error = nullptr;
    const gboolean ok = gtk_show_uri_on_window(parent != nullptr ? parent->gobj() : nullptr,
                                               uri.c_str(), GDK_CURRENT_TIME, &error);
    if (!ok) {
        ReportError("ShellOpen", error != nullptr ? error->message : target);
        if (error != nullptr)
            g_error_free(error);
    }
    return ok != FALSE;
}

}  // namespace q3::reader
