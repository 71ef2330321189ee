// The scheme's logic without WebKit: a fake registrar records what the
// platform would be asked, a fake request records how it was answered.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/trace.h"
#include "scheme/dyn_ptl.h"
#include "scheme/qbx_ns.h"

namespace q3::server::scheme {
namespace {

class FakeRegistrar : public SchemeRegistrar {
  public:
    void RegisterNameSpace(const std::string& scheme, TDynPtl& owner) override {
        calls.push_back("register " + scheme);
        route = &owner;
    }
    void UnregisterNameSpace(const std::string& scheme, TDynPtl& owner) override {
        calls.push_back("unregister " + scheme);
        if (route == &owner)
            route = nullptr;
    }
    std::vector<std::string> calls;
    TDynPtl* route = nullptr;
};

// Comes from a book page unless a test says otherwise.
class FakeRequest : public SchemeRequest {
  public:
    explicit FakeRequest(std::string address) : address_(std::move(address)) {
        source.known_view = true;
        source.document = "qbx://reader/index.htm";
    }
    std::string Address() const override { return address_; }
    RequestSource Source() const override {
        RequestSource s = source;
        s.address = address_;
        return s;
    }
    void Finish(std::string data) override {
        ++answers;
        finished_with_data = true;
        body = std::move(data);
    }
    void FinishError(std::string_view reason) override {
        ++answers;
        error = std::string(reason);
    }
    RequestSource source;
    int answers = 0;
    bool finished_with_data = false;
    std::string body;
    std::string error;

  private:
    std::string address_;
};

// Serves whatever the platform asks for the way the registrar routes it.
bool Serve(FakeRegistrar& platform, FakeRequest& request) {
    TQBXNS protocol(platform.route);
    return protocol.Start(request);
}

struct TraceLog {
    TraceLog() {
        SetTraceSink([this](std::string_view tag, std::string_view text) {
            tags.emplace_back(tag);
            texts.emplace_back(text);
        });
    }
    ~TraceLog() { SetTraceSink({}); }
    std::vector<std::string> tags;
    std::vector<std::string> texts;
};

TEST(DynPtlTest, StartsInactiveWithTheLocalNamespace) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    EXPECT_FALSE(dyn.Active());
    EXPECT_EQ(dyn.Namespace(), "local");
    EXPECT_TRUE(platform.calls.empty());
}

TEST(DynPtlTest, ActivatingRegistersTheNamespaceOnce) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    dyn.SetNamespace("qbx");
    dyn.SetActive(true);
    dyn.SetActive(true);
    EXPECT_TRUE(dyn.Active());
    EXPECT_EQ(platform.calls, std::vector<std::string>{"register qbx"});
}

TEST(DynPtlTest, NamespaceIsFixedWhileActive) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    dyn.SetNamespace("qbx");
    dyn.SetActive(true);
    dyn.SetNamespace("other");
    EXPECT_EQ(dyn.Namespace(), "qbx");
    dyn.SetActive(false);
    // The old name is the one unregistered; afterwards the name may change.
    dyn.SetNamespace("other");
    EXPECT_EQ(dyn.Namespace(), "other");
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"register qbx", "unregister qbx"}));
}

TEST(DynPtlTest, DeactivatingWhenInactiveDoesNothing) {
    FakeRegistrar platform;
    {
        TDynPtl dyn(platform);
        dyn.SetActive(false);
    }
    EXPECT_TRUE(platform.calls.empty());
}

TEST(DynPtlTest, DestructionUnregistersWhileActive) {
    FakeRegistrar platform;
    {
        TDynPtl dyn(platform);
        dyn.SetNamespace("qbx");
        dyn.SetActive(true);
    }
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"register qbx", "unregister qbx"}));
    EXPECT_EQ(platform.route, nullptr);
}

TEST(DynPtlTest, UnboundAcceptRefusesEveryAddress) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    EXPECT_FALSE(dyn.Accept("qbx://reader/index.htm"));
    dyn.OnAccept = [](std::string_view address, bool& accept) {
        accept = address.find("secret") == std::string_view::npos;
    };
    EXPECT_TRUE(dyn.Accept("qbx://reader/index.htm"));
    EXPECT_FALSE(dyn.Accept("qbx://reader/secret.htm"));
}

TEST(DynPtlTest, UnboundContentIsTheLoadErrorPage) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    EXPECT_EQ(dyn.GetContent("qbx://reader/a/b.htm?key=x"),
              "<html><body><h3>Load qbx://reader/a/b.htm?key=x Error.</h3></body></html>");
    EXPECT_EQ(LoadErrorPage(""), "<html><body><h3>Load  Error.</h3></body></html>");
}

TEST(DynPtlTest, BoundContentIsWhatTheHandlerWrote) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    std::string seen;
    dyn.OnContent = [&seen](std::string_view address, std::string& stream) {
        seen = std::string(address);
        stream += "<HTML>";
        stream += "body";
    };
    EXPECT_EQ(dyn.GetContent("qbx://reader/x.htm"), "<HTML>body");
    EXPECT_EQ(seen, "qbx://reader/x.htm");
}

// How one request ends for each way the registration object can answer.
struct StartCase {
    const char* name;
    bool bind_accept;  // OnAccept bound at all
    bool accept;       // what the bound OnAccept answers
    int content;       // 0 unbound, 1 writes the body, 2 throws, 3 writes nothing
    bool active;       // the scheme is routed to the object
    bool expect_data;  // the request is finished with data
    const char* expect_body;
};

const StartCase kStartCases[] = {
    {"AcceptedAndServed", true, true, 1, true, true, "<HTML>page"},
    {"EmptyBodyIsStillData", true, true, 3, true, true, ""},
    {"UnboundContentServesErrorPage", true, true, 0, true, true,
     "<html><body><h3>Load qbx://reader/p.htm Error.</h3></body></html>"},
    {"RefusedAddressFails", true, false, 1, true, false, ""},
    {"UnboundAcceptFails", false, false, 1, true, false, ""},
    {"ThrowingContentFails", true, true, 2, true, false, ""},
    {"InactiveSchemeFails", true, true, 1, false, false, ""},
};

class StartTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartTest, AnswersExactlyOnce) {
    const StartCase& c = GetParam();
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    dyn.SetNamespace("qbx");
    if (c.active)
        dyn.SetActive(true);
    if (c.bind_accept) {
        const bool answer = c.accept;
        dyn.OnAccept = [answer](std::string_view, bool& accept) { accept = answer; };
    }
    if (c.content == 1) {
        dyn.OnContent = [](std::string_view, std::string& s) { s += "<HTML>page"; };
    } else if (c.content == 2) {
        dyn.OnContent = [](std::string_view, std::string& s) {
            s += "partial";
            throw std::runtime_error("record damaged");
        };
    } else if (c.content == 3) {
        dyn.OnContent = [](std::string_view, std::string&) {};
    }
    FakeRequest request("qbx://reader/p.htm");
    const bool started = Serve(platform, request);
    EXPECT_EQ(request.answers, 1);
    EXPECT_EQ(started, c.expect_data);
    EXPECT_EQ(request.finished_with_data, c.expect_data);
    EXPECT_EQ(request.body, c.expect_body);
    EXPECT_EQ(request.error.empty(), c.expect_data);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, StartTest, ::testing::ValuesIn(kStartCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(QbxNsTest, LoadDataKeepsTheBodyAndItsSize) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    dyn.OnAccept = [](std::string_view, bool& accept) { accept = true; };
    dyn.OnContent = [](std::string_view, std::string& s) { s.assign(70000, 'x'); };
    TQBXNS protocol(&dyn);
    ASSERT_TRUE(protocol.LoadData("qbx://reader/big.bin"));
    EXPECT_TRUE(protocol.HoldsContent());
    EXPECT_EQ(protocol.Total(), 70000u);
    EXPECT_EQ(protocol.Content().size(), 70000u);
    protocol.Terminate();
    EXPECT_FALSE(protocol.HoldsContent());
    EXPECT_TRUE(protocol.Content().empty());
}

TEST(QbxNsTest, WithoutRegistrationObjectNothingLoads) {
    TQBXNS protocol(nullptr);
    EXPECT_FALSE(protocol.LoadData("qbx://reader/index.htm"));
    FakeRequest request("qbx://reader/index.htm");
    EXPECT_FALSE(protocol.Start(request));
    EXPECT_EQ(request.answers, 1);
    EXPECT_FALSE(request.finished_with_data);
}

TEST(QbxNsTest, StartRecordsTheAddressAndHandsTheBodyOver) {
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    dyn.OnAccept = [](std::string_view, bool& accept) { accept = true; };
    dyn.OnContent = [](std::string_view a, std::string& s) { s = std::string(a); };
    TQBXNS protocol(&dyn);
    FakeRequest request("qbx://reader/\xC7\xB0\xD1\xD4.htm");
    ASSERT_TRUE(protocol.Start(request));
    EXPECT_EQ(protocol.Address(), "qbx://reader/\xC7\xB0\xD1\xD4.htm");
    EXPECT_TRUE(protocol.Loaded());
    EXPECT_EQ(request.body, "qbx://reader/\xC7\xB0\xD1\xD4.htm");
    // The request owns the body now; the protocol object keeps no copy.
    EXPECT_FALSE(protocol.HoldsContent());
}

// A fetch that failed after the address was accepted used to leave the
// request reporting data it never had.
TEST(QbxNsTest, RegressionFailedFetchReportsNoData) {
    TraceLog trace;
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    dyn.OnAccept = [](std::string_view, bool& accept) { accept = true; };
    dyn.OnContent = [](std::string_view, std::string&) { throw std::runtime_error("inflate"); };
    TQBXNS protocol(&dyn);
    EXPECT_FALSE(protocol.LoadData("qbx://reader/x.htm"));
    EXPECT_FALSE(protocol.HoldsContent());
    EXPECT_EQ(protocol.Total(), 0u);
    ASSERT_EQ(trace.tags.size(), 1u);
    EXPECT_EQ(trace.tags[0], "TQBXNS.LoadData");
    EXPECT_EQ(trace.texts[0], "inflate");
}

TEST(QbxNsTest, RequestFromAWebPageIsRefusedBeforeAnyContentIsMade) {
    TraceLog trace;
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    int contents = 0;
    dyn.OnAccept = [](std::string_view, bool& accept) { accept = true; };
    dyn.OnContent = [&](std::string_view, std::string& out) {
        ++contents;
        out = "book";
    };
    TQBXNS protocol(&dyn);
    FakeRequest request("qbx://reader/index.htm");
    request.source.origin = "http://127.0.0.1:8080";
    EXPECT_FALSE(protocol.Start(request));
    EXPECT_EQ(request.answers, 1);
    EXPECT_FALSE(request.finished_with_data);
    EXPECT_EQ(contents, 0);
    EXPECT_FALSE(protocol.HoldsContent());
    ASSERT_EQ(trace.tags.size(), 1u);
    EXPECT_EQ(trace.tags[0], "TQBXNS.Start");
}

class ThrowingRequest : public FakeRequest {
  public:
    using FakeRequest::FakeRequest;
    std::string Address() const override { throw std::runtime_error("bad address"); }
};

TEST(QbxNsTest, AnErrorInStartIsTracedAndEndsTheRequest) {
    TraceLog trace;
    FakeRegistrar platform;
    TDynPtl dyn(platform);
    dyn.OnAccept = [](std::string_view, bool& accept) { accept = true; };
    TQBXNS protocol(&dyn);
    ThrowingRequest request("qbx://reader/x.htm");
    EXPECT_FALSE(protocol.Start(request));
    EXPECT_EQ(request.answers, 1);
    EXPECT_FALSE(request.error.empty());
    ASSERT_EQ(trace.tags.size(), 1u);
    EXPECT_EQ(trace.tags[0], "TQBXNS.Start");
}

}  // namespace
}  // namespace q3::server::scheme
