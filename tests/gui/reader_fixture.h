// What the reader's window tests share: a private configuration and data
// folder per test, a dialog double that answers from a script and records
// what was asked, a window session, documents made by the project's writer,
// and bounded main loop waits.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/writer.h"
#include "reader/dialogs/dialogs.h"
#include "reader/dialogs/nav_form.h"
#include "reader/main_window/main_window.h"
#include "support/temp_dir.h"
#include "window_probe.h"

namespace q3::reader::testing {

// Runs the main loop until done() holds or the time is up; true when done.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(20));
// Runs the main loop for a while, whatever happens.
void PumpFor(std::chrono::milliseconds time);

// Presents the window and waits until the display has given it the keyboard,
// then gives the widget (when there is one) the focus and waits for that
// too. The virtual display has no window manager: without this, the keyboard
// goes to whatever window happens to lie under the pointer.
::testing::AssertionResult TakeFocus(Gtk::Window& window, Gtk::Widget* widget = nullptr);

// Stops the browser from going to web addresses (the tests have no network)
// and records the last one asked for in `asked`; every other address goes on
// to the handler the window installed.
void CatchWebNavigations(browser::WebBrowser& target, std::string& asked);

class AnsweringDialogs : public Dialogs {
  public:
    struct Message {
        std::string caption;
        std::string text;
        unsigned flags;
    };
    struct Query {
        std::string caption;
        std::string prompt;
        std::string text;
        bool masked;
    };

    int MessageBox(Gtk::Window* owner, const std::string& caption, const std::string& text,
                   unsigned flags) override;
    bool InputQuery(Gtk::Window* owner, const std::string& caption, const std::string& prompt,
                    std::string& text, bool masked) override;
    std::optional<std::string> OpenFile(Gtk::Window* owner, const std::string& filter) override;
    std::optional<std::string> SaveFile(Gtk::Window* owner, const std::string& file_name,
                                        const std::string& filter) override;
    std::optional<browser::WindowColor> ChooseColor(Gtk::Window* owner,
                                                    browser::WindowColor initial) override;

    // Answers used in order; when they run out a message box answers OK,
    // every other dialog is cancelled.
    std::deque<int> message_answers;
    std::deque<std::optional<std::string>> input_answers;
    std::deque<std::optional<std::string>> file_answers;
    std::deque<std::optional<browser::WindowColor>> color_answers;

    std::vector<Message> messages;
    std::vector<Query> queries;
    std::vector<std::string> file_filters;
    std::vector<std::string> save_names;  // the names save dialogs proposed
    std::vector<browser::WindowColor> colour_starts;
};

// Installs a double for the lifetime of the object.
class ScopedDialogs {
  public:
    ScopedDialogs();
    ~ScopedDialogs();
    AnsweringDialogs& operator*() { return *double_; }
    AnsweringDialogs* operator->() { return double_; }

  private:
    AnsweringDialogs* double_;
    std::unique_ptr<Dialogs> previous_;
};

// A main window and its navigation window, as the program makes them.
class ReaderSession {
  public:
    explicit ReaderSession(std::vector<std::string> args = {});
    ~ReaderSession();
    Tfm_Quillon3& window() { return *window_; }
    Tfm_NavForm& nav() { return *nav_; }
    TApplicationModules& modules() { return modules_; }
    // Destroys the windows as the program ends (the server last).
    void Close();

  private:
    TApplicationModules modules_;
    std::unique_ptr<Tfm_Quillon3> window_;
    std::unique_ptr<Tfm_NavForm> nav_;
};

// Every test runs with its own registry and data folder.
class ReaderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    std::string ConfigHome() const { return (dir_.path() / "config").string(); }
    std::string DataHome() const { return (dir_.path() / "data").string(); }
    std::string DataFile(const std::string& name) const;

    // A document of three pages under a heading, written at test time.
    // Books of one subject are one book to the reader, wherever they lie.
    std::string WriteBook(const std::string& name = "book.qbx",
                          const std::string& subject = {}) const;

    q3::testing::TempDir dir_;
    ScopedDialogs dialogs_;

  private:
    std::optional<std::string> old_config_, old_data_, old_service_;
};

}  // namespace q3::reader::testing
