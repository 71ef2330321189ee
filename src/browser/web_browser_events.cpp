// The web view's signals turned into the browser's events, and saving.
#include <gio/gio.h>

#include <memory>

#include "browser/load_error_page.h"
#include "browser/signal_guard.h"
#include "browser/web_browser.h"
#include "common/translation.h"
#include "scheme/book_views.h"

namespace q3::browser {
namespace {

WebBrowser& Self(gpointer self) {
    return *static_cast<WebBrowser*>(self);
}

std::string RequestUri(WebKitNavigationAction* action) {
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    return uri ? uri : "";
}

// One save in flight; GLib holds it until its callback.
struct SaveJob {
    GFile* file = nullptr;
    WebBrowser::DoneHandler done;
    GCancellable* cancellable = nullptr;
    ~SaveJob() {
        if (file)
            g_object_unref(file);
        if (cancellable)
            g_object_unref(cancellable);
    }
    void Finish(bool ok) {
        if (done && !g_cancellable_is_cancelled(cancellable))
            Guarded([&] { done(ok); });
    }
};

void SavedArchive(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<SaveJob> job(static_cast<SaveJob*>(data));
    GError* error = nullptr;
    bool ok = webkit_web_view_save_to_file_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (error)
        g_error_free(error);
    job->Finish(ok);
}

void SavedBytes(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<SaveJob> job(static_cast<SaveJob*>(data));
    GError* error = nullptr;
    gsize length = 0;
    guchar* bytes =
        webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result, &length, &error);
    bool ok = false;
    if (bytes != nullptr && !g_cancellable_is_cancelled(job->cancellable)) {
        ok = g_file_replace_contents(job->file, reinterpret_cast<const char*>(bytes), length,
                                     nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, nullptr, &error);
    }
    g_free(bytes);
    if (error)
        g_error_free(error);
    job->Finish(ok);
}

}  // namespace

void WebBrowser::ConnectSignals() {
    g_signal_connect(view_, "decide-policy", G_CALLBACK(HandleDecidePolicy), this);
    g_signal_connect(view_, "create", G_CALLBACK(HandleCreate), this);
    g_signal_connect(view_, "notify::title", G_CALLBACK(HandleTitle), this);
    g_signal_connect(view_, "notify::uri", G_CALLBACK(HandleUri), this);
    g_signal_connect(view_, "mouse-target-changed", G_CALLBACK(HandleMouseTarget), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(HandleLoadChanged), this);
    g_signal_connect(view_, "close", G_CALLBACK(HandleClose), this);
    g_signal_connect(view_, "script-dialog", G_CALLBACK(HandleScriptDialog), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(HandleLoadFailed), this);
}

gboolean WebBrowser::HandleDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                        WebKitPolicyDecisionType type, gpointer self) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION)
        return FALSE;
    WebBrowser& browser = Self(self);
    if (!browser.OnBeforeNavigate)
        return FALSE;
    auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(navigation);
    browser.navigation_by_user_ = webkit_navigation_action_is_user_gesture(action) != FALSE;
    const std::string address = RequestUri(action);
    const bool cancel = Guarded(false, [&] {
        bool c = false;
        browser.OnBeforeNavigate(browser, address, c);
        return c;
    });
    if (!cancel)
        return FALSE;
    webkit_policy_decision_ignore(decision);
    server::scheme::NoteRefusedNavigation(browser.view_, address);
    return TRUE;
}

GtkWidget* WebBrowser::HandleCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self) {
    WebBrowser& browser = Self(self);
    if (!browser.OnNewWindow)
        return nullptr;
    browser.navigation_by_user_ = webkit_navigation_action_is_user_gesture(action) != FALSE;
    const std::string address = RequestUri(action);
    // Only a book page opens a window on the book: anyone else would get
    // an empty window at best, or have the reader load the page for it.
    if (!server::scheme::MayOpenWindow(browser.view_, address))
        return nullptr;
    WebBrowser* target = Guarded(static_cast<WebBrowser*>(nullptr),
                                 [&] { return browser.OnNewWindow(browser, address); });
    if (target == nullptr)
        return nullptr;
    server::scheme::NoteOpenedWindow(target->View(), browser.view_, address);
    // WebKit loads the page into the view handed back; it must be a fresh
    // view related to this one, which is what WebBrowser(opener) makes.
    return GTK_WIDGET(target->View());
}

void WebBrowser::HandleTitle(GObject*, GParamSpec*, gpointer self) {
    WebBrowser& browser = Self(self);
    if (!browser.OnTitleChange)
        return;
    Guarded([&] { browser.OnTitleChange(browser, browser.Title()); });
}

void WebBrowser::HandleUri(GObject*, GParamSpec*, gpointer self) {
    WebBrowser& browser = Self(self);
    if (!browser.OnLocationChange)
        return;
    Guarded([&] { browser.OnLocationChange(browser, browser.LocationUrl()); });
}

void WebBrowser::HandleMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer self) {
    WebBrowser& browser = Self(self);
    std::string text;
    if (webkit_hit_test_result_context_is_link(hit)) {
        const char* uri = webkit_hit_test_result_get_link_uri(hit);
        text = uri ? uri : "";
    }
    if (text == browser.status_text_)
        return;
    browser.status_text_ = text;
    if (!browser.OnStatusTextChange)
        return;
    Guarded([&] { browser.OnStatusTextChange(browser, text); });
}

void WebBrowser::HandleLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
    WebBrowser& browser = Self(self);
    if (event == WEBKIT_LOAD_COMMITTED)
        browser.has_document_ = true;
    if (event != WEBKIT_LOAD_FINISHED || !browser.OnDocumentComplete)
        return;
    Guarded([&] { browser.OnDocumentComplete(browser, browser.LocationUrl()); });
}

void WebBrowser::HandleClose(WebKitWebView*, gpointer self) {
    WebBrowser& browser = Self(self);
    if (!browser.OnWindowClosing)
        return;
    Guarded([&] { browser.OnWindowClosing(browser); });
}

namespace {

// What went wrong, in the words the page gives the user.
const char* LoadFailureReason(const GError* error) {
    if (error->domain == WEBKIT_NETWORK_ERROR) {
        switch (error->code) {
            case WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL:
                return _("不支持这种地址。");
            case WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST:
                return _("文件不存在。");
            default:
                return _("无法连接到该地址，或连接已中断。");
        }
    }
    if (error->domain == WEBKIT_POLICY_ERROR) {
        switch (error->code) {
            case WEBKIT_POLICY_ERROR_CANNOT_SHOW_MIME_TYPE:
                return _("无法显示这种类型的内容。");
            case WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI:
                return _("无法显示这个地址。");
            default:
                return _("该页面被拒绝显示。");
        }
    }
    return _("无法连接到该地址，或连接已中断。");
}

}  // namespace

gboolean WebBrowser::HandleLoadFailed(WebKitWebView* view, WebKitLoadEvent, gchar* uri,
                                      GError* error, gpointer) {
    // A load that was stopped or turned away on purpose shows nothing.
    if (error == nullptr ||
        g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
        g_error_matches(error, WEBKIT_POLICY_ERROR,
                        WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
        g_error_matches(error, WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD)) {
        return FALSE;
    }
    const std::string address = uri != nullptr && *uri != '\0' ? uri : "about:blank";
    const std::string html = LoadErrorPageHtml(address, LoadFailureReason(error),
                                               error->message != nullptr ? error->message : "");
    webkit_web_view_load_alternate_html(view, html.c_str(), address.c_str(), nullptr);
    return TRUE;
}

gboolean WebBrowser::HandleScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer self) {
    // Handled without showing anything: alerts vanish, confirmations and
    // prompts get WebKit's negative answer.
    return Self(self).silent_ ? TRUE : FALSE;
}

void WebBrowser::SaveAs(const std::string& path, DoneHandler done) {
    auto job = std::make_unique<SaveJob>();
    job->file = g_file_new_for_path(path.c_str());
    job->done = std::move(done);
    job->cancellable = G_CANCELLABLE(g_object_ref(cancellable_));
    if (path.ends_with(".mht") || path.ends_with(".mhtml")) {
        GFile* file = job->file;
        webkit_web_view_save_to_file(view_, file, WEBKIT_SAVE_MODE_MHTML, cancellable_,
                                     SavedArchive, job.release());
        return;
    }
    WebKitWebResource* resource = webkit_web_view_get_main_resource(view_);
    if (resource == nullptr) {
        job->Finish(false);
        return;
    }
    webkit_web_resource_get_data(resource, cancellable_, SavedBytes, job.release());
}

}  // namespace q3::browser
