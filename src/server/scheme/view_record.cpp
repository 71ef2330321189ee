#include "scheme/view_record.h"

#include <algorithm>
#include <utility>

namespace q3::server::scheme {
namespace {

// The fragment never reaches the server's lookup; a load asked for with one
// may be requested with or without it.
std::string_view WithoutFragment(std::string_view address) {
    return address.substr(0, address.find('#'));
}

}  // namespace

bool ViewRecord::Claims(std::string_view address) const {
    return claim_ && WithoutFragment(claim_->address) == WithoutFragment(address);
}

void ViewRecord::MakeClaim(std::string address) {
    // A load asked for before this one and not yet begun may still send its
    // start and commit first (the web process may not even be running yet):
    // taken for this load's, they would end the claim before its request.
    std::deque<std::string> earlier;
    if (claim_ && !claim_->started) {
        earlier = std::move(claim_->earlier);
        earlier.push_back(std::move(claim_->address));
        // Loads asked for in a burst: only the last few can still begin.
        constexpr size_t kEarlierKept = 8;
        if (earlier.size() > kEarlierKept)
            earlier.pop_front();
    }
    claim_.reset();
    if (!address.empty()) {
        const bool behind = !earlier.empty();
        claim_ = Claim{std::move(address), false, std::move(earlier), behind};
    }
}

// Matched by address: WebKit names no navigation in its signals, and the
// address it reports with a start is the newest one asked for.
bool ViewRecord::EndEarlierLoad(std::string_view address) {
    if (!claim_ || Claims(address))
        return false;
    auto& earlier = claim_->earlier;
    const auto it = std::find_if(earlier.begin(), earlier.end(), [&](const std::string& e) {
        return WithoutFragment(e) == WithoutFragment(address);
    });
    if (it == earlier.end())
        return false;
    earlier.erase(earlier.begin(), it + 1);
    // The start seen so far was that load's.
    claim_->started = false;
    return true;
}

void ViewRecord::ReaderLoadAsked(std::string address) {
    // WebKit scrolls to a fragment of the document it shows without any
    // load: a claim made for it would wait for a start that never comes.
    const bool same_document = address.find('#') != std::string::npos && !document_.empty() &&
                               WithoutFragment(address) == WithoutFragment(document_);
    if (same_document) {
        claim_.reset();
        provisional_ = false;
        document_ = std::move(address);
        return;
    }
    provisional_ = true;
    MakeClaim(std::move(address));
}

void ViewRecord::OpenedFor(std::string address) {
    MakeClaim(std::move(address));
}

void ViewRecord::ReaderLoadStopped() {
    claim_.reset();
    provisional_ = false;
}

void ViewRecord::NavigationRefused(std::string_view address) {
    if (!Claims(address))
        return;
    claim_.reset();
    provisional_ = false;
}

void ViewRecord::LoadStarted() {
    provisional_ = true;
    if (claim_)
        claim_->started = true;
}

void ViewRecord::LoadCommitted(std::string address) {
    const bool earlier = EndEarlierLoad(address);
    document_ = std::move(address);
    // The claim's own load has yet to begin: the address keeps moving.
    provisional_ = earlier;
    // Whatever address it commits (a redirect leads anywhere), the load the
    // claim was made for is over.
    if (!earlier && claim_ && claim_->started)
        claim_.reset();
}

void ViewRecord::LoadFailed(std::string_view failing_address) {
    if (EndEarlierLoad(failing_address))
        return;
    // A load cancelled before it began names itself only by its address.
    if (claim_ && (claim_->started || Claims(failing_address)))
        claim_.reset();
    if (!claim_)
        provisional_ = false;
}

void ViewRecord::LoadFinished() {
    if (claim_ && claim_->started)
        claim_.reset();
    if (!claim_)
        provisional_ = false;
}

// Outside a load the address changes with the document itself: a fragment
// or a history entry the page pushes (never another scheme), or a fresh
// window its opener writes into (it takes the opener's address). Any other
// change is a load WebKit has been asked for but not begun, such as a page
// going back in its history: its address is not the document's yet.
void ViewRecord::AddressChanged(std::string address) {
    if (provisional_)
        return;
    const bool fresh_window = document_.empty() || document_ == "about:blank";
    if (fresh_window || SchemeOf(address) == SchemeOf(document_))
        document_ = std::move(address);
}

void ViewRecord::Describe(RequestSource& source) const {
    source.known_view = true;
    source.document = document_;
    if (claim_ && (claim_->started || !claim_->behind_others))
        source.pending_load = claim_->address;
}

}  // namespace q3::server::scheme
