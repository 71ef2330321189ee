#include "scheme/qbx_ns.h"

#include <exception>

#include "common/trace.h"

namespace q3::server::scheme {

bool TQBXNS::Start(SchemeRequest& request) {
    bool finished = false;
    try {
        address_ = request.Address();
        loaded_ = false;
        if (!ComesFromBook(request.Source())) {
            DebugTrace("TQBXNS.Start", "refused a request from outside the book: " + address_);
            finished = true;
            request.FinishError("The open book is not served to other pages");
            return false;
        }
        if (!LoadData(address_)) {
            finished = true;
            request.FinishError("The address was refused or could not be loaded");
            return false;
        }
        loaded_ = true;
        finished = true;
        // The request takes the body; the object keeps no second copy.
        std::string body = std::move(content_);
        Terminate();
        request.Finish(std::move(body));
        return true;
    } catch (const std::exception& e) {
        DebugTrace("TQBXNS.Start", e.what());
    } catch (...) {
        DebugTrace("TQBXNS.Start", "unknown error");
    }
    // An error before any answer still ends the request, as a failure.
    if (!finished)
        request.FinishError("The address could not be loaded");
    return false;
}

bool TQBXNS::LoadData(std::string_view address) {
    if (owner_ == nullptr)
        return false;
    try {
        if (!owner_->Accept(address))
            return false;
        std::string body = owner_->GetContent(address);
        content_ = std::move(body);
        total_ = content_.size();
        has_content_ = true;
        return true;
    } catch (const std::exception& e) {
        DebugTrace("TQBXNS.LoadData", e.what());
    } catch (...) {
        DebugTrace("TQBXNS.LoadData", "unknown error");
    }
    // A fetch that failed after the address was accepted must not let the
    // request report data it never got.
    content_.clear();
    has_content_ = false;
    total_ = 0;
    return false;
}

void TQBXNS::Terminate() {
    if (!has_content_)
        return;
    std::string().swap(content_);
    has_content_ = false;
}

}  // namespace q3::server::scheme
