// The reader as one application per session and settings folder: a second
// start hands its request to the window that runs already and ends.
#pragma once

#include <gtkmm/application.h>

#include <string>

#include "command_line.h"

namespace q3::reader {
class Tfm_Quillon3;
}

namespace q3::app {

// Created and registered. Without a session bus, or when the bus will not
// have it, the reader runs on its own as it would with no other reader.
Glib::RefPtr<Gtk::Application> RegisterReaderApplication(int& argc, char**& argv);

// In a start that found a reader running: hands it the request and returns
// the exit status it answers with.
int ForwardToRunningReader(const Glib::RefPtr<Gtk::Application>& app, const StartRequest& request,
                           const std::string& program);

// In the first reader: the window comes up with the first start's page and
// search (its book the window has opened itself), and later starts' requests
// go to the window.
void ServeCommandLines(const Glib::RefPtr<Gtk::Application>& app, reader::Tfm_Quillon3& window,
                       const StartRequest& first);

}  // namespace q3::app
