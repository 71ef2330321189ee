// The reader's record of each web view it makes (a ViewRecord), kept on the
// view itself and fed from the view's load signals. A view without a record
// never reads the book.
#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <string_view>

#include "scheme/request_source.h"

namespace q3::server::scheme {

// Starts the record of a view; call once, before it loads anything.
void TrackBookViews(WebKitWebView* view);

// Runs start, which makes the view load a page (load_uri, go_back, ...), as
// a load the reader itself asked for.
void StartReaderLoad(WebKitWebView* view, const std::function<void()>& start);
// Stops the view's load, and with it the reader's claim on it.
void StopReaderLoad(WebKitWebView* view);
// The reader refused the view's navigation to address.
void NoteRefusedNavigation(WebKitWebView* view, std::string_view address);

// A page of opener asks for a new window showing address. A book address is
// for book pages only.
bool MayOpenWindow(WebKitWebView* opener, std::string_view address);
// view is that new window: a window a book page opened may load the address
// it was opened for.
void NoteOpenedWindow(WebKitWebView* view, WebKitWebView* opener, std::string_view address);

// Fills in what the record says about the view a request came from (null
// when WebKit names none).
void DescribeView(WebKitWebView* view, RequestSource& source);

}  // namespace q3::server::scheme
