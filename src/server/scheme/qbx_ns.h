// One request of the browser for an address of the reader's scheme. The body
// is produced synchronously inside Start and handed over whole; nothing is
// streamed later.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "scheme/dyn_ptl.h"

namespace q3::server::scheme {

class TQBXNS {
  public:
    // owner may be null: a request that arrives with no registration object
    // fails cleanly.
    explicit TQBXNS(const TDynPtl* owner) : owner_(owner) {}

    // Answers the request exactly once: the body when it comes from the
    // book itself and its address was accepted and loaded, an error
    // otherwise. True when data went out.
    bool Start(SchemeRequest& request);

    // Asks the registration object whether the address is handled and, if
    // so, for its body. False when refused or when fetching failed, so no
    // request is ever answered with data it does not have.
    bool LoadData(std::string_view address);

    // Releases the body once it has been handed over.
    void Terminate();

    const std::string& Address() const { return address_; }
    bool Loaded() const { return loaded_; }
    size_t Total() const { return total_; }
    bool HoldsContent() const { return has_content_; }
    const std::string& Content() const { return content_; }

  private:
    const TDynPtl* owner_;
    std::string address_;
    bool loaded_ = false;
    size_t total_ = 0;
    bool has_content_ = false;
    std::string content_;
};

}  // namespace q3::server::scheme
