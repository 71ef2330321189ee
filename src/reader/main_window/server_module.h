// The content server as the application owns it: created by the main window
// at start, freed by the application after the window. While it lives, the
// reader's address scheme answers from it.
#pragma once

#include <memory>
#include <string>

#include "reader/main_window/book_ahead.h"
#include "server/ht_server.h"

namespace q3::server::scheme {
class TDynPtl;
}

namespace q3::reader {

inline constexpr const char* kReaderScheme = "qbx";

class TServerModule {
  public:
    // Sets the scheme to "qbx", routes its content to the server's
    // ReadDataByStream, accepts every address and registers it.
    explicit TServerModule(server::scheme::TDynPtl& dyn);
    // Unregisters the route before the server (and its document) goes.
    ~TServerModule();
    TServerModule(const TServerModule&) = delete;
    TServerModule& operator=(const TServerModule&) = delete;

    server::Tdm_htServer& Server() { return server_; }

  private:
    server::scheme::TDynPtl& dyn_;
    server::Tdm_htServer server_;
};

// What the application owns beside its windows.
struct TApplicationModules {
    std::unique_ptr<TServerModule> server_module;  // htServer
    std::unique_ptr<TBookAhead> book_ahead;        // the book named at start, until opened
};

}  // namespace q3::reader
