#include "scheme/dyn_ptl.h"

namespace q3::server::scheme {

std::string LoadErrorPage(std::string_view address) {
    const std::string_view page = kLoadErrorPage;
    const size_t at = page.find("%s");
    std::string out;
    out.reserve(page.size() + address.size());
    out.append(page.substr(0, at));
    out.append(address);
    out.append(page.substr(at + 2));
    return out;
}

TDynPtl::~TDynPtl() {
    if (active_)
        registrar_.UnregisterNameSpace(namespace_, *this);
}

void TDynPtl::SetNamespace(std::string_view name) {
    if (active_ || name == namespace_)
        return;
    namespace_ = std::string(name);
}

void TDynPtl::SetActive(bool active) {
    if (active == active_)
        return;
    if (active) {
        registrar_.RegisterNameSpace(namespace_, *this);
    } else {
        registrar_.UnregisterNameSpace(namespace_, *this);
    }
    active_ = active;
}

bool TDynPtl::Accept(std::string_view address) const {
    bool accept = false;
    if (OnAccept)
        OnAccept(address, accept);
    return accept;
}

std::string TDynPtl::GetContent(std::string_view address) const {
    if (!OnContent)
        return LoadErrorPage(address);
    std::string stream;
    OnContent(address, stream);
    return stream;
}

}  // namespace q3::server::scheme
