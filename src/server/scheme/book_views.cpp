#include "scheme/book_views.h"

#include <string>

#include "scheme/webkit_scheme.h"

namespace q3::server::scheme {
namespace {

constexpr const char* kRecordKey = "q3-book-view";

struct ViewRecord {
    std::string document;
    std::string pending_load;
    // Between the start of a main-frame load and its commit the view's
    // address is the one being loaded, not the document's.
    bool provisional = false;
};

ViewRecord* RecordOf(WebKitWebView* view) {
    if (view == nullptr)
        return nullptr;
    return static_cast<ViewRecord*>(g_object_get_data(G_OBJECT(view), kRecordKey));
}

std::string AddressOf(WebKitWebView* view) {
    const char* uri = webkit_web_view_get_uri(view);
    return uri ? uri : "";
}

std::string_view WithoutFragment(std::string_view address) {
    return address.substr(0, address.find('#'));
}

void LoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    auto& record = *static_cast<ViewRecord*>(data);
    switch (event) {
        case WEBKIT_LOAD_STARTED:
            record.provisional = true;
            break;
        case WEBKIT_LOAD_COMMITTED:
            record.document = AddressOf(view);
            record.provisional = false;
            // Only the reader's own load ends its claim: a commit of an
            // older load that was still on its way must not cancel it.
            if (WithoutFragment(record.document) == WithoutFragment(record.pending_load))
                record.pending_load.clear();
            break;
        case WEBKIT_LOAD_FINISHED:
            record.provisional = false;
            break;
        default:
            break;
    }
}

// Outside a load the address changes with the document itself: a fragment
// or a history entry the page pushes (never another scheme), or a fresh
// window its opener writes into (it takes the opener's address). Any other
// change is a load WebKit has been asked for but not begun, such as a page
// going back in its history: its address is not the document's yet.
void AddressChanged(WebKitWebView* view, GParamSpec*, gpointer data) {
    auto& record = *static_cast<ViewRecord*>(data);
    if (record.provisional)
        return;
    std::string address = AddressOf(view);
    const bool fresh_window = record.document.empty() || record.document == "about:blank";
    if (fresh_window || SchemeOf(address) == SchemeOf(record.document))
        record.document = std::move(address);
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
    g_signal_connect(view, "notify::uri", G_CALLBACK(AddressChanged), record);
}

void StartReaderLoad(WebKitWebView* view, const std::function<void()>& start) {
    ViewRecord* record = RecordOf(view);
    if (record == nullptr) {
        start();
        return;
    }
    // WebKit sets the view's address to the new one inside start, before
    // the load has begun; that address is not the document's yet.
    record->provisional = true;
    start();
    record->pending_load = AddressOf(view);
}

bool MayOpenWindow(WebKitWebView* opener, std::string_view address) {
    if (!IsBookAddress(address))
        return true;
    const ViewRecord* record = RecordOf(opener);
    return record != nullptr && InScheme(record->document, SchemeOf(address));
}

void NoteOpenedWindow(WebKitWebView* view, WebKitWebView* opener, std::string_view address) {
    ViewRecord* record = RecordOf(view);
    if (record == nullptr || !IsBookAddress(address) || !MayOpenWindow(opener, address))
        return;
    record->pending_load = std::string(address);
}

void DescribeView(WebKitWebView* view, RequestSource& source) {
    const ViewRecord* record = RecordOf(view);
    source.known_view = record != nullptr;
    if (record == nullptr)
        return;
    source.document = record->document;
    source.pending_load = record->pending_load;
}

}  // namespace q3::server::scheme
