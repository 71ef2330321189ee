// What the reader knows about one of its web views: the document its main
// frame shows and the main-frame load the reader itself asked for there.
// WebKit names a request's view but neither its frame nor who started a
// load, so a request without headers of its own is judged by this record.
//
// The reader's claim on a load is as narrow as it can be made: it covers
// one address and ends with the navigation it was made for, however that
// ends (committed at whatever address, failed, stopped, refused). Once
// ended it never carries over to a page that loads later.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "scheme/request_source.h"

namespace q3::server::scheme {

class ViewRecord {
  public:
    // The reader is about to ask the view for a load: the address the view
    // reports while asking is the one to be loaded, not the document's.
    void ReaderLoadAsking() { provisional_ = true; }
    // The reader asked the view to load address (as the view reports it
    // once asked). A fragment within the shown document loads nothing, so
    // it makes no claim.
    void ReaderLoadAsked(std::string address);
    // A book page opened this view as a window on address.
    void OpenedFor(std::string address);
    // The reader stopped the view's load; one that had not begun yet ends
    // without any signal.
    void ReaderLoadStopped();
    // The view refused to navigate to address.
    void NavigationRefused(std::string_view address);

    // The view's main-frame load signals, in the order WebKit sends them.
    void LoadStarted();
    void LoadCommitted(std::string address);
    void LoadFailed(std::string_view failing_address);
    void LoadFinished();
    // The view's address changed.
    void AddressChanged(std::string address);

    const std::string& Document() const { return document_; }
    // The address the reader's load claims; empty when there is none.
    std::string PendingLoad() const { return claim_ ? claim_->address : std::string(); }
    // Fills in the view's part of a request's source.
    void Describe(RequestSource& source) const;

  private:
    struct Claim {
        std::string address;
        // WebKit may still report the end of a load begun before this one
        // (a load it cancels for it, a page finishing its pictures); only
        // after this load's start does an end belong to it.
        bool started = false;
        // Loads the reader asked for earlier that WebKit had not begun yet.
        // Some never send a signal; others send their start and commit
        // after this claim was made, and those are not this load's.
        std::deque<std::string> earlier;
        // Asked for behind such loads: until its own start, a page one of
        // them committed could otherwise read the claimed address.
        bool behind_others = false;
    };

    // Ends the earlier load that committed or failed at address, and those
    // asked before it; false when address is no earlier load's.
    bool EndEarlierLoad(std::string_view address);

    bool Claims(std::string_view address) const;
    void MakeClaim(std::string address);

    std::string document_;
    std::optional<Claim> claim_;
    // Between asking for a main-frame load and its commit the view's address
    // is the one being loaded, not the document's.
    bool provisional_ = false;
};

}  // namespace q3::server::scheme
