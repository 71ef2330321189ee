// The main of GUI test programs: GTK on the display of the session (Xvfb
// under `make test`), then the tests. Listing the tests needs no display.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdio>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!gtk_init_check(&argc, &argv)) {
        if (GTEST_FLAG_GET(list_tests))
            return RUN_ALL_TESTS();
        std::fputs("GUI tests need a display (run them under xvfb-run)\n", stderr);
        return 1;
    }
    Gtk::Main::init_gtkmm_internals();
    return RUN_ALL_TESTS();
}
