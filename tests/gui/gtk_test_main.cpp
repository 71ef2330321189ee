// The main of GUI test programs: GTK on the display of the session (Xvfb
// under `make test`), then the tests. Listing the tests needs no display.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/application.h>
#include <gtkmm/main.h>

#include <cstdio>

// Many test processes start at once under ctest -j, and a busy virtual
// display can refuse a connection for a moment; a few tries ride that out.
bool InitGtk(int& argc, char**& argv) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (gtk_init_check(&argc, &argv))
            return true;
        if (g_getenv("DISPLAY") == nullptr)
            return false;
        g_usleep(250 * 1000);
    }
    return false;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!InitGtk(argc, argv)) {
        if (GTEST_FLAG_GET(list_tests))
            return RUN_ALL_TESTS();
        std::fputs("GUI tests need a display (run them under xvfb-run)\n", stderr);
        return 1;
    }
    Gtk::Main::init_gtkmm_internals();
    // The windows take their shortcuts from the running application, as in
    // the reader; without an identity it needs no session bus.
    Glib::RefPtr<Gtk::Application> app = Gtk::Application::create("", Gio::APPLICATION_NON_UNIQUE);
    app->register_application();
    return RUN_ALL_TESTS();
}
