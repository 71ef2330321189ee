#include "reader/main_window/server_module.h"

#include <exception>

#include "common/trace.h"
#include "scheme/dyn_ptl.h"

namespace q3::reader {

TServerModule::TServerModule(server::scheme::TDynPtl& dyn) : dyn_(dyn) {
    dyn_.SetNamespace(kReaderScheme);
    dyn_.OnAccept = [](std::string_view, bool& accept) { accept = true; };
    dyn_.OnContent = [this](std::string_view address, std::string& stream) {
        try {
            server_.ReadDataByStream(address, stream);
        } catch (const std::exception& e) {
            DebugTrace("Tdm_htServer.OnContent.ReadDataByStream", e.what());
        }
    };
    dyn_.SetActive(true);
}

TServerModule::~TServerModule() {
    dyn_.SetActive(false);
    dyn_.OnContent = nullptr;
    dyn_.OnAccept = nullptr;
}

}  // namespace q3::reader
