#include "browser/page_windows.h"

#include <gtkmm/grid.h>

#include <memory>

#include "browser/signal_guard.h"
#include "browser/web_browser.h"
#include "common/gbk.h"
#include "common/translation.h"

namespace q3::browser {
namespace {

struct FetchJob {
    GCancellable* cancellable = nullptr;
    std::function<void(std::optional<std::string>)> done;
    ~FetchJob() {
        if (cancellable)
            g_object_unref(cancellable);
    }
};

void Fetched(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<FetchJob> job(static_cast<FetchJob*>(data));
    GError* error = nullptr;
    gsize length = 0;
    guchar* bytes =
        webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result, &length, &error);
    std::optional<std::string> out;
    if (bytes != nullptr)
        out.emplace(reinterpret_cast<const char*>(bytes), length);
    g_free(bytes);
    if (error)
        g_error_free(error);
    if (g_cancellable_is_cancelled(job->cancellable))
        return;
    Guarded([&] { job->done(std::move(out)); });
}

Gtk::Label& ValueLabel(Gtk::Label& label) {
    label.set_xalign(0);
    label.set_selectable(true);
    label.set_line_wrap(true);
    label.set_max_width_chars(60);
    return label;
}

std::string OrEmpty(const char* s) {
    return s ? s : "";
}

}  // namespace

void FetchPageBytes(WebKitWebView* view, GCancellable* cancellable,
                    std::function<void(std::optional<std::string>)> done) {
    WebKitWebResource* resource = webkit_web_view_get_main_resource(view);
    if (resource == nullptr) {
        done(std::nullopt);
        return;
    }
    auto job = std::make_unique<FetchJob>();
    job->cancellable = G_CANCELLABLE(g_object_ref(cancellable));
    job->done = std::move(done);
    webkit_web_resource_get_data(resource, cancellable, Fetched, job.release());
}

std::string PageBytesToText(std::string_view bytes) {
    const std::string text = TextFileToUtf8(bytes);
    // A text view takes no NUL; a binary page still shows, marked where they were.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\0') {
            out += "\xEF\xBF\xBD";
        } else {
            out += c;
        }
    }
    return out;
}

std::string SizeText(size_t bytes) {
    if (bytes < 1024)
        return std::to_string(bytes) + _(" 字节");
    const size_t tenths = (bytes * 10 + 512) / 1024;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " KB (" +
           std::to_string(bytes) + _(" 字节") + ")";
}

PagePropertiesDialog::PagePropertiesDialog(Gtk::Window& owner, WebBrowser& browser)
    : Gtk::Dialog(_("属性"), owner, false), cancellable_(g_cancellable_new()) {
    auto* grid = Gtk::manage(new Gtk::Grid());
    grid->set_row_spacing(6);
    grid->set_column_spacing(12);
    grid->set_border_width(10);
    const char* captions[] = {_("地址:"), _("标题:"), _("类型:"), _("大小:")};
    Gtk::Label* values[] = {&address_, &title_, &type_, &size_};
    for (int row = 0; row < 4; ++row) {
        auto* caption = Gtk::manage(new Gtk::Label(captions[row]));
        caption->set_xalign(0);
        caption->set_yalign(0);
        grid->attach(*caption, 0, row);
        grid->attach(ValueLabel(*values[row]), 1, row);
    }
    get_content_area()->pack_start(*grid, true, true);
    add_button(_("确定"), Gtk::RESPONSE_OK);
    signal_response().connect([this](int) { hide(); });

    WebKitWebView* view = browser.View();
    address_.set_text(browser.LocationUrl());
    title_.set_text(browser.Title());
    WebKitWebResource* resource = webkit_web_view_get_main_resource(view);
    WebKitURIResponse* response = resource ? webkit_web_resource_get_response(resource) : nullptr;
    type_.set_text(response ? OrEmpty(webkit_uri_response_get_mime_type(response)) : "");
    size_.set_text("...");
    FetchPageBytes(view, cancellable_, [this](std::optional<std::string> bytes) {
        if (!bytes) {
            size_.set_text("");
            return;
        }
        page_size_ = bytes->size();
        size_.set_text(SizeText(bytes->size()));
    });
    show_all_children();
}

PagePropertiesDialog::~PagePropertiesDialog() {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
}

SourceWindow::SourceWindow(Gtk::Window& owner, WebBrowser& browser)
    : cancellable_(g_cancellable_new()) {
    set_transient_for(owner);
    set_title(_("源文件 - ") + browser.LocationUrl());
    set_default_size(720, 520);
    text_.set_editable(false);
    text_.set_monospace(true);
    text_.set_wrap_mode(Gtk::WRAP_CHAR);
    scroller_.add(text_);
    add(scroller_);
    FetchPageBytes(browser.View(), cancellable_, [this](std::optional<std::string> bytes) {
        text_.get_buffer()->set_text(bytes ? PageBytesToText(*bytes) : std::string());
        loaded_ = true;
    });
    show_all_children();
}

SourceWindow::~SourceWindow() {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
}

std::string SourceWindow::Text() const {
    return text_.get_buffer()->get_text();
}

}  // namespace q3::browser
