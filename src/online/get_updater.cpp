#include "online/get_updater.h"

#include <pthread.h>

#include <exception>
#include <memory>
#include <utility>

#include "common/crc.h"
#include "common/machine_code.h"
#include "common/trace.h"
#include "online/http_fetch.h"
#include "online/online_info.h"

namespace q3::online {
namespace {

constexpr std::string_view kProcessTag = "TGetUpdater.ProcessOnLine";
constexpr std::string_view kHandlerTag = "TGetUpdater.OnlineInfo";

// The answer on its way to the main loop; the idle source owns it.
struct Delivery {
    TGetUpdater::AnswerHandler handler;
    std::vector<std::string> lines;
};

gboolean DeliverOnMainLoop(gpointer data) {
    auto* delivery = static_cast<Delivery*>(data);
    // Taken out first: the handler may destroy the updater, and with it this
    // source and its data.
    TGetUpdater::AnswerHandler handler = std::move(delivery->handler);
    std::vector<std::string> lines = std::move(delivery->lines);
    try {
        handler(std::move(lines));
    } catch (const std::exception& e) {
        DebugTrace(kHandlerTag, e.what());
    } catch (...) {
        DebugTrace(kHandlerTag, "unknown error");
    }
    return G_SOURCE_REMOVE;
}

void FreeDelivery(gpointer data) {
    std::unique_ptr<Delivery> owned(static_cast<Delivery*>(data));
}

}  // namespace

std::string UpdateRequestAddress(std::string_view service, std::string_view program_name,
                                 std::string_view machine_code) {
    return std::string(service) + "/qbx?cl=" + std::string(program_name) +
           "&vs=" + std::to_string(kBuildNumber) + "&mc=" + std::to_string(StringCrc(machine_code));
}

std::vector<std::string> ProcessOnLine(const UpdateRequest& request, std::stop_token stop) {
    if (request.service.empty())
        return {};
    try {
        const std::string address =
            UpdateRequestAddress(request.service, request.program_name, MachineCode());
        const std::string answer = XMLHttpGet(address, request.timeout_ms, stop);
        if (answer.empty() || stop.stop_requested())
            return {};
        return SplitLines(answer);
    } catch (const std::exception& e) {
        DebugTrace(kProcessTag, e.what());
    } catch (...) {
        DebugTrace(kProcessTag, "unknown error");
    }
    return {};
}

TGetUpdater::TGetUpdater(UpdateRequest request, AnswerHandler on_answer, GMainContext* context)
    : request_(std::move(request)),
      on_answer_(std::move(on_answer)),
      context_(g_main_context_ref(context != nullptr ? context : g_main_context_default())) {
    if (request_.service.empty())
        return;
    InitOnlineLibraries();
    started_ = true;
    thread_ = std::jthread([this](std::stop_token stop) { Run(std::move(stop)); });
}

TGetUpdater::~TGetUpdater() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    if (delivery_ != nullptr) {
        g_source_destroy(delivery_);
        g_source_unref(delivery_);
    }
    g_main_context_unref(context_);
}

void TGetUpdater::Run(std::stop_token stop) {
    pthread_setname_np(pthread_self(), "q3-update");
    std::vector<std::string> lines = ProcessOnLine(request_, stop);
    if (!lines.empty() && !stop.stop_requested())
        Deliver(std::move(lines));
}

void TGetUpdater::Deliver(std::vector<std::string> lines) {
    auto delivery = std::make_unique<Delivery>(Delivery{on_answer_, std::move(lines)});
    delivery_ = g_idle_source_new();
    g_source_set_priority(delivery_, G_PRIORITY_DEFAULT);
    g_source_set_callback(delivery_, &DeliverOnMainLoop, delivery.release(), &FreeDelivery);
    g_source_attach(delivery_, context_);
}

}  // namespace q3::online
