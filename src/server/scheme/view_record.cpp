#include "scheme/view_record.h"

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
    claim_.reset();
    if (!address.empty())
        claim_ = Claim{std::move(address), false};
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
    document_ = std::move(address);
    provisional_ = false;
    // Whatever address it commits (a redirect leads anywhere), the load the
    // claim was made for is over.
    if (claim_ && claim_->started)
        claim_.reset();
}

void ViewRecord::LoadFailed(std::string_view failing_address) {
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
    source.pending_load = PendingLoad();
}

}  // namespace q3::server::scheme
