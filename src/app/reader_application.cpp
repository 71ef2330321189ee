#include "reader_application.h"

#include <glibmm/miscutils.h>

#include <vector>

#include "application_id.h"
#include "common/base_settings.h"
#include "reader/main_window/main_window.h"
#include "reader/main_window/main_window_request.h"

namespace q3::app {

namespace {

reader::TOpenRequest WindowRequest(const StartRequest& request) {
    return {request.book, request.page, request.search_word};
}

// A later start's request as it arrives: its arguments after the program
// name, checked already where they were given.
StartRequest ArrivedRequest(const Glib::RefPtr<Gio::ApplicationCommandLine>& line) {
    int argc = 0;
    char** argv = line->get_arguments(argc);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    g_strfreev(argv);
    return ParseStartRequest(args, [](const std::string&) { return true; });
}

}  // namespace

Glib::RefPtr<Gtk::Application> RegisterReaderApplication(int& argc, char**& argv) {
    const std::string id = ApplicationIdFor(Glib::get_user_config_dir(), Glib::get_home_dir());
    Glib::RefPtr<Gtk::Application> app =
        Gtk::Application::create(argc, argv, id, Gio::APPLICATION_HANDLES_COMMAND_LINE);
    try {
        // GIO itself runs the reader on its own when there is no session bus.
        if (app->register_application())
            return app;
    } catch (const Glib::Error& e) {
        ReportError("RegisterReaderApplication", std::string(e.what()));
    }
    app = Gtk::Application::create(
        argc, argv, id, Gio::APPLICATION_HANDLES_COMMAND_LINE | Gio::APPLICATION_NON_UNIQUE);
    app->register_application();
    return app;
}

int ForwardToRunningReader(const Glib::RefPtr<Gtk::Application>& app, const StartRequest& request,
                           const std::string& program) {
    std::vector<std::string> args = ForwardedArguments(request, Glib::get_current_dir());
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return app->run(static_cast<int>(args.size()), argv.data());
}

void ServeCommandLines(const Glib::RefPtr<Gtk::Application>& app, reader::Tfm_Quillon3& window,
                       const StartRequest& first) {
    // The window opened the first start's book while it was made.
    const reader::TOpenRequest in_first_book{"", first.page, first.search_word};
    app->signal_command_line().connect(
        [&window, in_first_book](const Glib::RefPtr<Gio::ApplicationCommandLine>& line) {
            if (!line->is_remote()) {
                Gio::Application::get_default()->activate();
                if (!in_first_book.page.empty() || !in_first_book.search_word.empty())
                    reader::OpenRequestSoon(window, in_first_book);
                return 0;
            }
            reader::OpenRequestSoon(window, WindowRequest(ArrivedRequest(line)));
            return 0;
        },
        false);
}

}  // namespace q3::app
