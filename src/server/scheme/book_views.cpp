#include "scheme/book_views.h"

#include <string>

#include "scheme/view_record.h"
#include "scheme/webkit_scheme.h"

namespace q3::server::scheme {
namespace {

constexpr const char* kRecordKey = "q3-book-view";

ViewRecord* RecordOf(WebKitWebView* view) {
    if (view == nullptr)
        return nullptr;
    return static_cast<ViewRecord*>(g_object_get_data(G_OBJECT(view), kRecordKey));
}

std::string AddressOf(WebKitWebView* view) {
    const char* uri = webkit_web_view_get_uri(view);
    return uri ? uri : "";
}

void LoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    auto& record = *static_cast<ViewRecord*>(data);
    switch (event) {
        case WEBKIT_LOAD_STARTED:
            record.LoadStarted();
            break;
        case WEBKIT_LOAD_COMMITTED:
            record.LoadCommitted(AddressOf(view));
            break;
        case WEBKIT_LOAD_FINISHED:
            record.LoadFinished();
            break;
        default:
            break;
    }
}

gboolean LoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* failing_uri, GError*, gpointer data) {
    static_cast<ViewRecord*>(data)->LoadFailed(failing_uri ? failing_uri : "");
    // Others (the browser's error page) still see the failure.
    return FALSE;
}

void AddressChanged(WebKitWebView* view, GParamSpec*, gpointer data) {
    static_cast<ViewRecord*>(data)->AddressChanged(AddressOf(view));
}

bool IsBookAddress(std::string_view address) {
    const std::string scheme = SchemeOf(address);
    return !scheme.empty() && WebKitSchemeRegistrar::Instance().Serves(scheme);
}

}  // namespace

void TrackBookViews(WebKitWebView* view) {
    if (view == nullptr || RecordOf(view) != nullptr)
        return;
    auto* record = new ViewRecord();
    // The view owns its record; its signal handlers go before the record.
    g_object_set_data_full(G_OBJECT(view), kRecordKey, record,
                           [](gpointer p) { delete static_cast<ViewRecord*>(p); });
    g_signal_connect(view, "load-changed", G_CALLBACK(LoadChanged), record);
    g_signal_connect(view, "load-failed", G_CALLBACK(LoadFailed), record);
    g_signal_connect(view, "notify::uri", G_CALLBACK(AddressChanged), record);
}

void StartReaderLoad(WebKitWebView* view, const std::function<void()>& start) {
    ViewRecord* record = RecordOf(view);
    if (record == nullptr) {
        start();
        return;
    }
    // WebKit sets the view's address to the new one inside start, before
    // the load has begun.
    record->ReaderLoadAsking();
    start();
    record->ReaderLoadAsked(AddressOf(view));
}

void StopReaderLoad(WebKitWebView* view) {
    webkit_web_view_stop_loading(view);
    // A load stopped before it began ends without a signal.
    if (ViewRecord* record = RecordOf(view))
        record->ReaderLoadStopped();
}

void NoteRefusedNavigation(WebKitWebView* view, std::string_view address) {
    // A refused navigation never starts, so nothing else would end its claim.
    if (ViewRecord* record = RecordOf(view))
        record->NavigationRefused(address);
}

bool MayOpenWindow(WebKitWebView* opener, std::string_view address) {
    if (!IsBookAddress(address))
        return true;
    const ViewRecord* record = RecordOf(opener);
    return record != nullptr && InScheme(record->Document(), SchemeOf(address));
}

void NoteOpenedWindow(WebKitWebView* view, WebKitWebView* opener, std::string_view address) {
    ViewRecord* record = RecordOf(view);
    if (record == nullptr || !IsBookAddress(address) || !MayOpenWindow(opener, address))
        return;
    record->OpenedFor(std::string(address));
}

void DescribeView(WebKitWebView* view, RequestSource& source) {
    const ViewRecord* record = RecordOf(view);
    source.known_view = record != nullptr;
    if (record != nullptr)
        record->Describe(source);
}

}  // namespace q3::server::scheme
