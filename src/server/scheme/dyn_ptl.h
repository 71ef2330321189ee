// The registration of the reader's address scheme with the browser platform,
// and the seams that keep its logic testable without a display: the platform
// side (WebKit in the program, a fake in unit tests) implements
// SchemeRegistrar and hands every request over as a SchemeRequest.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "scheme/request_source.h"

namespace q3::server::scheme {

class TDynPtl;

// One request of the browser for an address of the registered scheme. It is
// answered exactly once: the whole body, or an error.
class SchemeRequest {
  public:
    virtual ~SchemeRequest() = default;
    // The address in the system code page (GBK).
    virtual std::string Address() const = 0;
    // What the platform tells about where the request comes from.
    virtual RequestSource Source() const = 0;
    // The body goes out without a content type; the browser sniffs it.
    virtual void Finish(std::string body) = 0;
    virtual void FinishError(std::string_view reason) = 0;
};

// The platform's namespace registration. Requests for `scheme` reach `owner`
// between the two calls.
class SchemeRegistrar {
  public:
    virtual ~SchemeRegistrar() = default;
    virtual void RegisterNameSpace(const std::string& scheme, TDynPtl& owner) = 0;
    virtual void UnregisterNameSpace(const std::string& scheme, TDynPtl& owner) = 0;
};

// The body served when nobody supplies content; %s is the full address.
inline constexpr std::string_view kLoadErrorPage =
    "<html><body><h3>Load %s Error.</h3></body></html>";
inline constexpr std::string_view kDefaultNamespace = "local";

std::string LoadErrorPage(std::string_view address);

// The one registration object of the process.
class TDynPtl {
  public:
    // accept starts false; a handler that leaves it false refuses the address.
    using AcceptHandler = std::function<void(std::string_view address, bool& accept)>;
    // Appends the body for an address to the stream it is given.
    using ContentHandler = std::function<void(std::string_view address, std::string& stream)>;

    explicit TDynPtl(SchemeRegistrar& registrar) : registrar_(registrar) {}
    // Unregisters while active, so the platform never routes to a freed object.
    ~TDynPtl();
    TDynPtl(const TDynPtl&) = delete;
    TDynPtl& operator=(const TDynPtl&) = delete;

    const std::string& Namespace() const { return namespace_; }
    // Ignored while active: the platform keeps routing the old name.
    void SetNamespace(std::string_view name);

    bool Active() const { return active_; }
    void SetActive(bool active);

    // False when OnAccept is unbound.
    bool Accept(std::string_view address) const;
    // The body for an address; the load error page when OnContent is unbound.
    std::string GetContent(std::string_view address) const;

    AcceptHandler OnAccept;
    ContentHandler OnContent;

  private:
    SchemeRegistrar& registrar_;
    std::string namespace_{kDefaultNamespace};
    bool active_ = false;
};

}  // namespace q3::server::scheme
