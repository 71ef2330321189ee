// The yardstick of the start-up benchmark: the least a GTK program can do to
// show a page, one window of the reader's size holding one WebKitGTK view with
// the engine's default settings, loading the address it is given.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bare_view URI\n");
        return 2;
    }
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    // The reader's design size and place, so both paint the same area.
    gtk_window_set_default_size(GTK_WINDOW(window), 1016, 600);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* view = webkit_web_view_new();
    gtk_container_add(GTK_CONTAINER(window), view);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
