// The reader: the application, its main window and the navigation window.
#include <glibmm/exceptionhandler.h>
#include <glibmm/miscutils.h>
#include <gtkmm/application.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "browser/theme_colors.h"
#include "command_line.h"
#include "common/base_settings.h"
#include "common/translation.h"
#include "icons/shell_icons.h"
#include "reader/dialogs/nav_form.h"
#include "reader/forms/base_form.h"
#include "reader/main_window/main_window.h"
#include "reader_application.h"
#include "session_bus.h"

namespace {

// Whatever escapes a signal handler ends here and is not shown; the program
// goes on with the next event.
void ApplicationException() {
    try {
        throw;
    } catch (const std::exception& e) {
        q3::ReportError("Tfm_Quillon3.aplctnvnts1Exception", e.what());
    } catch (const Glib::Error& e) {
        q3::ReportError("Tfm_Quillon3.aplctnvnts1Exception", std::string(e.what()));
    } catch (...) {
        q3::ReportError("Tfm_Quillon3.aplctnvnts1Exception", "unknown error");
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Before any thread: it may change the environment.
    q3::app::ExportSessionBusAddress();
    // Answered before GTK starts, so they work without a display.
    const q3::app::InfoRequest info = q3::app::InfoRequestOf({argv + 1, argv + argc});
    if (info != q3::app::InfoRequest::kNone) {
        std::cout << q3::app::InfoText(info) << std::flush;
        return std::cout ? 0 : 1;
    }
    const q3::app::StartRequest request =
        q3::app::ParseStartRequest({argv + 1, argv + argc}, [](const std::string& path) {
            std::error_code ec;
            return std::filesystem::is_regular_file(path, ec);
        });
    if (!request.error.empty()) {
        std::cerr << "quillon3: " << request.error << "\nTry 'quillon3 --help'.\n";
        return 2;
    }
    // The documents named on the command line are the window's business; GTK
    // only sees the program name.
    int gtk_argc = 1;
    char* gtk_argv_storage[] = {argv[0], nullptr};
    char** gtk_argv = gtk_argv_storage;
    // Chinese whatever the desktop's language, unless English was asked
    // for; the toolkit's and the web engine's own texts follow the choice.
    q3::UseChosenInterfaceLanguage();
    q3::reader::SetApplicationTitle(q3::reader::kAppName);
    // The content server outlives the window, as the application's module.
    // The book is read on a second core while the toolkit starts and the
    // window is made, which together take longer than reading most books.
    q3::reader::TApplicationModules modules;
    if (!request.book.empty())
        modules.book_ahead =
            std::make_unique<q3::reader::TBookAhead>(q3::reader::StartBookPath(request.book));
    // Registered before the window is made, so the window can take its
    // shortcuts from it, and so a reader already running gets the request.
    Glib::RefPtr<Gtk::Application> app = q3::app::RegisterReaderApplication(gtk_argc, gtk_argv);
    if (app->is_remote()) {
        // The running reader opens the book; this one lets go of it first.
        modules.book_ahead.reset();
        return q3::app::ForwardToRunningReader(app, request, argv[0]);
    }
    Glib::add_exception_handler(&ApplicationException);
    q3::browser::InstallThemeColorResolver();
    q3::icons::InitStandardIcons();
    q3::reader::InstallProgramIcon();

    int status = 0;
    {
        std::vector<std::string> args;
        if (!request.book.empty())
            args.push_back(request.book);
        q3::reader::Tfm_Quillon3 window(modules, args);
        q3::reader::Tfm_NavForm nav(window.Actions());
        window.SetNavForm(&nav);
        q3::app::ServeCommandLines(app, window, request);
        status = app->run(window);
    }
    modules.server_module.reset();
    return status;
}
