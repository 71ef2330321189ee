// The reader's record of each web view it makes, kept on the view itself:
// which document its main frame shows and which main-frame load the reader
// started there. WebKit names a request's view but not the frame or the
// page that made it, nor whether the reader or a page started a load; this
// record supplies what the scheme handler needs to tell the book's own
// requests from everyone else's. A view without a record never reads the
// book.
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
