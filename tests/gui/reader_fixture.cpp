#include "reader_fixture.h"

#include "browser/web_browser.h"

#include <glibmm/main.h>
#include <glibmm/timer.h>

#include <filesystem>

#include "icons/shell_icons.h"
#include "window_probe.h"

namespace q3::reader::testing {

namespace {

std::optional<std::string> GetEnv(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::optional<std::string>(v) : std::nullopt;
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

template <typename T>
T Next(std::deque<T>& answers, T otherwise) {
    if (answers.empty())
        return otherwise;
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

void CatchWebNavigations(browser::WebBrowser& target, std::string& asked) {
    target.OnBeforeNavigate = [&asked, previous = target.OnBeforeNavigate](
                                  browser::WebBrowser& sender, const std::string& address,
                                  bool& cancel) {
        if (address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0) {
            asked = address;
            cancel = true;
            return;
        }
        if (previous)
            previous(sender, address, cancel);
    };
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto context = Glib::MainContext::get_default();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (!context->iteration(false))
            Glib::usleep(2000);
    }
    return true;
}

void PumpFor(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

::testing::AssertionResult TakeFocus(Gtk::Window& window, Gtk::Widget* widget) {
    constexpr auto kLimit = std::chrono::seconds(10);
    if (!window.is_active()) {
        // Without a window manager, presenting sets the X input focus on the
        // window itself, so it keeps the keys wherever the pointer goes.
        window.present();
        if (!PumpUntil([&] { return window.is_active(); }, kLimit)) {
            return ::testing::AssertionFailure()
                   << "the window \"" << window.get_title() << "\" did not become active";
        }
    }
    if (widget != nullptr) {
        widget->grab_focus();
        if (!PumpUntil([&] { return widget->has_focus(); }, kLimit)) {
            return ::testing::AssertionFailure()
                   << "the widget \"" << widget->get_name() << "\" did not take the focus";
        }
    }
    return ::testing::AssertionSuccess();
}

int AnsweringDialogs::MessageBox(Gtk::Window*, const std::string& caption, const std::string& text,
                                 unsigned flags) {
    messages.push_back({caption, text, flags});
    return Next(message_answers, kIdOk);
}

bool AnsweringDialogs::InputQuery(Gtk::Window*, const std::string& caption,
                                  const std::string& prompt, std::string& text, bool masked) {
    queries.push_back({caption, prompt, text, masked});
    std::optional<std::string> answer = Next(input_answers, std::optional<std::string>());
    if (!answer)
        return false;
    text = *answer;
    return true;
}

std::optional<std::string> AnsweringDialogs::OpenFile(Gtk::Window*, const std::string& filter) {
    file_filters.push_back(filter);
    return Next(file_answers, std::optional<std::string>());
}

std::optional<std::string> AnsweringDialogs::SaveFile(Gtk::Window*, const std::string& file_name,
                                                      const std::string& filter) {
    file_filters.push_back(filter);
    save_names.push_back(file_name);
    return Next(file_answers, std::optional<std::string>());
}

std::optional<browser::WindowColor> AnsweringDialogs::ChooseColor(Gtk::Window*,
                                                                  browser::WindowColor initial) {
    colour_starts.push_back(initial);
    return Next(color_answers, std::optional<browser::WindowColor>());
}

ScopedDialogs::ScopedDialogs() {
    auto dialogs = std::make_unique<AnsweringDialogs>();
    double_ = dialogs.get();
    previous_ = InstallDialogs(std::move(dialogs));
}

ScopedDialogs::~ScopedDialogs() {
    InstallDialogs(std::move(previous_));
}

ReaderSession::ReaderSession(std::vector<std::string> args) {
    window_ = std::make_unique<Tfm_Quillon3>(modules_, std::move(args));
    nav_ = MakeNavForm(*window_);
    window_->SetNavForm(nav_.get());
    window_->show();
    PumpUntil([this] { return window_->get_mapped(); }, std::chrono::seconds(10));
    // Every test that sends keys or expects a focused control needs the
    // keyboard; none may depend on where an earlier test left the pointer.
    EXPECT_TRUE(TakeFocus(*window_));
}

ReaderSession::~ReaderSession() {
    Close();
}

void ReaderSession::Close() {
    nav_.reset();
    window_.reset();
    modules_.server_module.reset();
}

void ReaderTest::SetUpTestSuite() {
    icons::InitStandardIcons();
}

void ReaderTest::SetUp() {
    old_config_ = GetEnv("XDG_CONFIG_HOME");
    old_data_ = GetEnv("XDG_DATA_HOME");
    // A service configured where the tests run must not be asked.
    old_service_ = GetEnv("QUILLON3_SERVICE_URL");
    unsetenv("QUILLON3_SERVICE_URL");
    std::filesystem::create_directories(ConfigHome());
    std::filesystem::create_directories(DataHome());
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
}

void ReaderTest::TearDown() {
    RestoreEnv("XDG_CONFIG_HOME", old_config_);
    RestoreEnv("XDG_DATA_HOME", old_data_);
    RestoreEnv("QUILLON3_SERVICE_URL", old_service_);
}

std::string ReaderTest::DataFile(const std::string& name) const {
    return (dir_.path() / "data" / "quillon3" / name).string();
}

std::string ReaderTest::WriteBook(const std::string& name, const std::string& subject) const {
    // Record 1: the contents; 2-4: the pages. A heading without a page holds
    // the second and third page.
    const std::string contents =
        "<ul>\n"
        "<li><param name=\"name\" value=\"Cover\" id=\"2\"><param name=\"local\" "
        "value=\"cover.htm\">\n"
        "<li><param name=\"name\" value=\"Part one\">\n"
        "<ul>\n"
        "<li><param name=\"name\" value=\"First\" id=\"3\"><param name=\"local\" "
        "value=\"one\\first.htm\">\n"
        "<li><param name=\"name\" value=\"Second\" id=\"4\"><param name=\"local\" "
        "value=\"one\\second.htm\">\n"
        "</ul>\n"
        "</ul>\n";
    doc::DocumentInfo info;
    info.Subject = subject;
    doc::QbxWriter writer(info);
    writer.AddRecord(contents);
    writer.AddRecord("<html><head><title>Cover page</title></head><body>cover</body></html>");
    writer.AddRecord("<html><head><title>First page</title></head><body>first</body></html>");
    writer.AddRecord("<html><head><title>Second page</title></head><body>second</body></html>");
    const std::string path = dir_.File(name);
    writer.WriteFile(path);
    return path;
}

}  // namespace q3::reader::testing
