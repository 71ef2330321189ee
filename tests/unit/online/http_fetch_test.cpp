#include "online/http_fetch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "common/xdg_sandbox.h"
#include "online/test_http_server.h"
#include "online/trace_recorder.h"

namespace q3::online {
namespace {

using testing::TestHttpServer;
using testing::TraceRecorder;

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

class HttpFetch : public ::testing::Test {
  protected:
    // A proxy from the environment must not stand between us and loopback.
    testing::ScopedEnv no_proxy{"no_proxy", "127.0.0.1"};
    TestHttpServer server;
    TraceRecorder traces;
};

TEST_F(HttpFetch, AnswersComeBackAsTheirText) {
    const std::string gbk_body =
        "<html><head><meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=GB2312\"></head>"
        "<body>\xD6\xD0\xCE\xC4\x81\x40</body></html>";
    const std::string capitals =
        "<meta http-equiv=\"CONTENT-TYPE\" "
        "content=\"text/html; charset=gb2312\"><p>中文</p>";
    const std::string unquoted =
        "<meta http-equiv=\"Content-Type\" "
        "content=text/html;charset=gb2312><p>中文</p>";
    const struct {
        std::string path;
        TestHttpServer::Answer answer;
        std::string expected;
    } cases[] = {
        // Leading blanks, single quotes: parsed and written back.
        {"/rss",
         {200, "text/xml", " \r\n <rss version='2.0'><channel><title>Q</title></channel></rss>"},
         "<rss version=\"2.0\"><channel><title>Q</title></channel></rss>\n"},
        {"/capital-rss",
         {200, "text/xml", "  <RSS version='2.0'></RSS>"},
         "  <RSS version='2.0'></RSS>"},
        // The header's wrong character set loses to the page's own meta tag.
        {"/gb2312",
         {200, "text/html; charset=iso-8859-1", gbk_body},
         "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\">"
         "</head><body>中文丂</body></html>"},
        {"/capitals", {200, "text/html", capitals}, capitals},
        {"/unquoted", {200, "text/html", unquoted}, unquoted},
        {"/missing", {404, "text/html", "<p>not here</p>"}, "<p>not here</p>"},
    };
    for (const auto& c : cases)
        server.Serve(c.path, c.answer);
    for (const auto& c : cases)
        EXPECT_EQ(XMLHttpGet(server.Url(c.path), 20000), c.expected) << c.path;
    EXPECT_EQ(ServerXMLHTTPGet(server.Url("/gb2312"), 20000), cases[2].expected);
    EXPECT_TRUE(traces.Take().empty());
}

TEST_F(HttpFetch, AnUnknownDeclaredCharsetGivesNothingAndOneTrace) {
    server.Serve("/odd", {200, "text/html",
                          "<meta http-equiv=\"Content-Type\" content=\"charset=x-no-such\">"});
    const std::string url = server.Url("/odd");
    EXPECT_EQ(XMLHttpGet(url, 20000), "");
    const auto trace = traces.Take();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].first, "XMLHttpGet");
    EXPECT_TRUE(Contains(trace[0].second, "x-no-such")) << trace[0].second;
    EXPECT_TRUE(trace[0].second.ends_with("  - " + url)) << trace[0].second;
}

TEST_F(HttpFetch, TheInnerHttpAddressIsTheOneFetched) {
    server.Serve("/inner", {200, "text/plain", "inner"});
    EXPECT_EQ(XMLHttpGet("http://wrapper.invalid/go?to=" + server.Url("/inner"), 20000), "inner");
    EXPECT_EQ(server.Requests(), std::vector<std::string>{"/inner"});
}

TEST_F(HttpFetch, ASilentServerGivesNothingAfterTheTimeOut) {
    server.Serve("/never", TestHttpServer::Silent());
    const std::string url = server.Url("/never");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(XMLHttpGet(url, 300), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(ServerXMLHTTPGet(url, 300), "");
    const std::vector<TraceRecorder::Entry> expected = {{"XMLHttpGet", "响应超时：" + url},
                                                        {"ServerXMLHTTPGet", "响应超时：" + url}};
    EXPECT_EQ(traces.Take(), expected);
}

TEST_F(HttpFetch, AStopRequestEndsTheWaitWithoutTheTimeOut) {
    server.Serve("/never", TestHttpServer::Silent());
    std::stop_source stop;
    std::jthread stopper([&] {
        server.WaitForRequests(1);
        stop.request_stop();
    });
    // Were the stop ignored, this would wait the two minutes and trace the
    // time-out instead.
    EXPECT_EQ(XMLHttpGet(server.Url("/never"), 120000, stop.get_token()), "");
    const auto trace = traces.Take();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].first, "XMLHttpGet");
    EXPECT_TRUE(Contains(trace[0].second, "stopped")) << trace[0].second;
}

TEST_F(HttpFetch, NoAnswerAtAllIsTriedOnceMoreThroughTheSecondRoutine) {
    std::string refused;
    {
        TestHttpServer gone;
        refused = gone.Url("/x");
    }
    EXPECT_EQ(XMLHttpGet(refused, 20000), "");
    const auto trace = traces.Take();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].first, "ServerXMLHTTPGet");
    EXPECT_TRUE(trace[0].second.ends_with("\r\n" + refused)) << trace[0].second;
}

TEST_F(HttpFetch, OnlyWebAddressesAreFetched) {
    EXPECT_EQ(XMLHttpGet("file:///etc/hostname", 20000), "");
    EXPECT_EQ(ServerXMLHTTPGet("file:///etc/hostname", 20000), "");
    EXPECT_EQ(traces.Take().size(), 2u);
}

TEST_F(HttpFetch, RegressionAnOversizedAnswerIsRefusedNotKept) {
    server.Serve("/huge", {200, "text/plain", std::string(kMaxAnswerBytes + 1, 'a')});
    EXPECT_EQ(XMLHttpGet(server.Url("/huge"), 20000), "");
    const auto trace = traces.Take();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_TRUE(Contains(trace[0].second, "larger than")) << trace[0].second;
}

}  // namespace
}  // namespace q3::online
