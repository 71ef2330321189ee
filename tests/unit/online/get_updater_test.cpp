#include "online/get_updater.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include "common/crc.h"
#include "common/machine_code.h"
#include "common/xdg_sandbox.h"
#include "online/test_http_server.h"
#include "online/trace_recorder.h"

// A name lookup that never ends until the test lets it: the resolver's
// thread of libcurl calls this in place of the C library's.
namespace {

constexpr const char* kHangingHost = "lookup-hangs.test";
std::mutex hang_mutex;
std::condition_variable hang_changed;
bool hang_entered = false;
bool hang_released = false;

}  // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** res) {
    if (node != nullptr && std::strcmp(node, kHangingHost) == 0) {
        std::unique_lock lock(hang_mutex);
        hang_entered = true;
        hang_changed.notify_all();
        hang_changed.wait(lock, [] { return hang_released; });
        return EAI_NONAME;
    }
    using Real = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return real(node, service, hints, res);
}

namespace q3::online {
namespace {

using testing::TestHttpServer;
using testing::TraceRecorder;

TEST(UpdateRequestAddress, CarriesProgramBuildAndMachineChecksumUnsigned) {
    // The checksum of "mac not found" has its high bit set: a signed
    // conversion would show as a negative number.
    EXPECT_EQ(UpdateRequestAddress("http://h:1", "Quillon3", "mac not found"),
              "http://h:1/qbx?cl=Quillon3&vs=20090915&mc=2558911895");
}

class Updater : public ::testing::Test {
  protected:
    Updater() : context_(g_main_context_new()) {
        SetInterfaceSource([] { return std::vector<NetworkInterface>{}; });  // "mac not found"
    }
    ~Updater() override {
        SetInterfaceSource({});
        g_main_context_unref(context_);
    }

    UpdateRequest Request(int timeout_ms = 20000) const {
        return UpdateRequest{server.base(), "Quillon3", timeout_ms};
    }

    // Runs the test's main loop until the handler has run, for at most a minute.
    void RunUntilAnswered() {
        bool late = false;
        GSource* limit = g_timeout_source_new_seconds(60);
        g_source_set_callback(
            limit,
            [](gpointer flag) -> gboolean {
                *static_cast<bool*>(flag) = true;
                return G_SOURCE_REMOVE;
            },
            &late, nullptr);
        g_source_attach(limit, context_);
        while (!answer && !late)
            g_main_context_iteration(context_, TRUE);
        g_source_destroy(limit);
        g_source_unref(limit);
    }

    TGetUpdater::AnswerHandler Record() {
        return [this](std::vector<std::string> lines) {
            answer = std::move(lines);
            answered_on = std::this_thread::get_id();
        };
    }

    testing::ScopedEnv no_proxy{"no_proxy", "127.0.0.1"};
    TestHttpServer server;
    TraceRecorder traces;
    GMainContext* context_;
    std::optional<std::vector<std::string>> answer;
    std::thread::id answered_on;
};

TEST_F(Updater, HandsTheAnswerLinesToTheMainLoop) {
    server.Serve("/qbx", {200, "text/html", "<!--1-->\r\n[[DATA<b>ad</b>]]\n"});
    TGetUpdater updater(Request(), Record(), context_);
    RunUntilAnswered();
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, (std::vector<std::string>{"<!--1-->", "[[DATA<b>ad</b>]]"}));
    EXPECT_EQ(answered_on, std::this_thread::get_id());
    EXPECT_EQ(server.Requests(),
              std::vector<std::string>{"/qbx?cl=Quillon3&vs=20090915&mc=" +
                                       std::to_string(StringCrc("mac not found"))});
}

TEST_F(Updater, DestroyingItStopsARequestInFlightAndNothingArrives) {
    server.Serve("/qbx", TestHttpServer::Silent());
    {
        // Were the request not stopped, the destructor would wait the two
        // minutes and the trace would tell the time-out.
        TGetUpdater updater(Request(120000), Record(), context_);
        ASSERT_TRUE(server.WaitForRequests(1));
    }
    while (g_main_context_iteration(context_, FALSE)) {
    }
    EXPECT_FALSE(answer);
    const auto trace = traces.Take();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].first, "XMLHttpGet");
    EXPECT_NE(trace[0].second.find("stopped"), std::string::npos) << trace[0].second;
}

TEST_F(Updater, AnAnswerNotYetDeliveredIsDroppedWithItsOwner) {
    server.Serve("/qbx", {200, "text/html", "<!--1-->"});
    {
        TGetUpdater updater(Request(), Record(), context_);
        // The answer waits on the main loop, which has not run yet.
        for (int i = 0; i < 60000 && !g_main_context_pending(context_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(g_main_context_pending(context_));
    }
    while (g_main_context_iteration(context_, FALSE)) {
    }
    EXPECT_FALSE(answer);
}

TEST_F(Updater, RegressionQuittingNeverWaitsForAPendingNameLookup) {
    {
        TGetUpdater updater(
            UpdateRequest{std::string("http://") + kHangingHost, "Quillon3", 60000},
            [](std::vector<std::string>) { ADD_FAILURE() << "no answer"; }, context_);
        std::unique_lock lock(hang_mutex);
        hang_changed.wait(lock, [] { return hang_entered; });
    }
    // Reached only when the updater went while the lookup still hangs (a
    // destructor waiting for the resolver never returns here).
    std::lock_guard lock(hang_mutex);
    EXPECT_FALSE(hang_released);
    hang_released = true;
    hang_changed.notify_all();
}

TEST_F(Updater, WithoutAServiceAddressNothingIsRequested) {
    TGetUpdater updater(UpdateRequest{}, Record(), context_);
    EXPECT_FALSE(updater.started());
    EXPECT_TRUE(ProcessOnLine(UpdateRequest{}).empty());
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(traces.Take().empty());
}

TEST_F(Updater, OnlyAnAnswerWithLinesIsHandedOver) {
    const struct {
        std::string body;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},  // one empty line: handed over, and changes nothing there
        {"a\rb", {"a", "b"}},
    };
    for (const auto& c : cases) {
        server.Serve("/qbx", {200, "text/plain", c.body});
        EXPECT_EQ(ProcessOnLine(Request()), c.lines) << c.body;
    }
}

}  // namespace
}  // namespace q3::online
