#include "scheme/webkit_scheme.h"

#include <webkit2/webkit2.h>

#include <memory>
#include <optional>

#include "common/gbk.h"
#include "scheme/book_views.h"
#include "scheme/qbx_ns.h"

namespace q3::server::scheme {
namespace {

// Holds one WebKit request and guarantees it is finished exactly once: a
// request left unanswered would keep its page loading for ever.
class WebKitRequest final : public SchemeRequest {
  public:
    explicit WebKitRequest(WebKitURISchemeRequest* request)
        : request_(WEBKIT_URI_SCHEME_REQUEST(g_object_ref(request))) {}
    ~WebKitRequest() override {
        if (!finished_)
            FinishError("The request was not answered");
        g_object_unref(request_);
    }
    WebKitRequest(const WebKitRequest&) = delete;
    WebKitRequest& operator=(const WebKitRequest&) = delete;

    std::string Address() const override {
        const char* uri = webkit_uri_scheme_request_get_uri(request_);
        std::string utf8 = uri ? uri : "";
        // WebKit percent-encodes what is not ASCII, so this is normally a
        // copy; raw UTF-8 that GBK can hold is turned into the document's
        // code page, anything else is left for the server's UTF-8 fallback.
        std::optional<std::string> gbk = Utf8ToGbk(utf8);
        return gbk ? *gbk : utf8;
    }

    RequestSource Source() const override {
        RequestSource source;
        const char* uri = webkit_uri_scheme_request_get_uri(request_);
        source.address = uri ? uri : "";
        if (SoupMessageHeaders* headers = webkit_uri_scheme_request_get_http_headers(request_)) {
            if (const char* origin = soup_message_headers_get_one(headers, "Origin"))
                source.origin = origin;
            if (const char* referer = soup_message_headers_get_one(headers, "Referer"))
                source.referer = referer;
        }
        DescribeView(webkit_uri_scheme_request_get_web_view(request_), source);
        return source;
    }

    void Finish(std::string body) override {
        if (finished_)
            return;
        const gssize size = static_cast<gssize>(body.size());
        // GLib owns the body from here and frees it with the stream.
        auto owned = std::make_unique<std::string>(std::move(body));
        GBytes* bytes = g_bytes_new_with_free_func(
            owned->data(), owned->size(), [](gpointer p) { delete static_cast<std::string*>(p); },
            owned.get());
        owned.release();
        GInputStream* stream = g_memory_input_stream_new_from_bytes(bytes);
        g_bytes_unref(bytes);
        finished_ = true;
        // No content type: WebKit sniffs it from the data.
        webkit_uri_scheme_request_finish(request_, stream, size, nullptr);
        g_object_unref(stream);
    }

    void FinishError(std::string_view reason) override {
        if (finished_)
            return;
        finished_ = true;
        GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "%.*s",
                                    static_cast<int>(reason.size()), reason.data());
        webkit_uri_scheme_request_finish_error(request_, error);
        g_error_free(error);
    }

  private:
    WebKitURISchemeRequest* request_;
    bool finished_ = false;
};

void HandleRequest(WebKitURISchemeRequest* request, gpointer) {
    WebKitRequest adapted(request);
    const char* scheme = webkit_uri_scheme_request_get_scheme(request);
    const TDynPtl* owner = WebKitSchemeRegistrar::Instance().RouteFor(scheme ? scheme : "");
    if (owner == nullptr) {
        adapted.FinishError("The scheme is no longer served");
        return;
    }
    TQBXNS protocol(owner);
    protocol.Start(adapted);
}

}  // namespace

WebKitSchemeRegistrar& WebKitSchemeRegistrar::Instance() {
    static WebKitSchemeRegistrar registrar;
    return registrar;
}

void WebKitSchemeRegistrar::RegisterNameSpace(const std::string& scheme, TDynPtl& owner) {
    routes_[scheme] = &owner;
    if (known_to_webkit_.count(scheme) != 0)
        return;
    known_to_webkit_.insert(scheme);
    WebKitWebContext* context = webkit_web_context_get_default();
    webkit_web_context_register_uri_scheme(context, scheme.c_str(), HandleRequest, nullptr,
                                           nullptr);
    WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
    // Local: WebKit keeps web pages from loading the open book by most
    // routes (a synchronous XMLHttpRequest still gets here, so every request
    // is judged again from its source), and its pages cannot read files.
    // Secure: its pages may load each other's pictures, style sheets
    // and scripts without mixed-content rules getting in the way.
    webkit_security_manager_register_uri_scheme_as_local(security, scheme.c_str());
    webkit_security_manager_register_uri_scheme_as_secure(security, scheme.c_str());
}

void WebKitSchemeRegistrar::UnregisterNameSpace(const std::string& scheme, TDynPtl& owner) {
    auto it = routes_.find(scheme);
    if (it != routes_.end() && it->second == &owner)
        routes_.erase(it);
}

const TDynPtl* WebKitSchemeRegistrar::RouteFor(std::string_view scheme) const {
    auto it = routes_.find(scheme);
    return it == routes_.end() ? nullptr : it->second;
}

TDynPtl& ProcessDynPtl() {
    static TDynPtl dyn(WebKitSchemeRegistrar::Instance());
    return dyn;
}

}  // namespace q3::server::scheme
