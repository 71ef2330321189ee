// The update check: once per run, a worker thread asks the client service
// for its answer (the ad and the resource feed) and hands the answer's lines
// to the main loop. The thread never touches a window; its owner can go away
// at any time: destroying the updater stops the request at once, waits for
// the thread and drops an answer that was not delivered yet.
#pragma once

#include <glib.h>

#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace q3::online {

inline constexpr const char* kProgramName = "Quillon3";
// The reader's build number, sent as "vs".
inline constexpr int kBuildNumber = 20090915;
inline constexpr int kUpdateTimeoutMs = 30000;

struct UpdateRequest {
    std::string service;  // the service's base address; empty: no request
    std::string program_name = kProgramName;
    int timeout_ms = kUpdateTimeoutMs;
};

// service + "/qbx?cl=<program>&vs=20090915&mc=<StringCrc(machine_code)>",
// the checksum as an unsigned decimal number.
std::string UpdateRequestAddress(std::string_view service, std::string_view program_name,
                                 std::string_view machine_code);

// The update check's one piece of work: the machine code (MachineCode), the
// request, the answer split into lines. Empty when nothing is to be handed
// over: no service address, no answer, a stop request, or an error (traced
// as "TGetUpdater.ProcessOnLine").
std::vector<std::string> ProcessOnLine(const UpdateRequest& request, std::stop_token stop = {});

class TGetUpdater {
  public:
    // Receives the answer's lines (never none) on the thread that runs
    // context's main loop; the default context is the GTK main loop. What it
    // throws is traced, not propagated.
    using AnswerHandler = std::function<void(std::vector<std::string> lines)>;

    // Starts the thread at once, unless request.service is empty: then
    // nothing is requested and the handler is never called. Create and
    // destroy the updater on the thread that runs context.
    TGetUpdater(UpdateRequest request, AnswerHandler on_answer, GMainContext* context = nullptr);
    // Stops a request in flight, waits for the thread (promptly: no time-out
    // is waited for) and drops an answer not yet delivered, so the handler
    // is never called after this returns.
    ~TGetUpdater();
    TGetUpdater(const TGetUpdater&) = delete;
    TGetUpdater& operator=(const TGetUpdater&) = delete;

    // Whether a request was started.
    bool started() const { return started_; }

  private:
    void Run(std::stop_token stop);
    void Deliver(std::vector<std::string> lines);

    UpdateRequest request_;
    AnswerHandler on_answer_;
    GMainContext* context_;
    GSource* delivery_ = nullptr;  // written by the thread, read after joining it
    bool started_ = false;
    std::jthread thread_;  // last: it starts once everything above is set
};

}  // namespace q3::online
