// A real HTTP server on the loopback interface for the online tests: libsoup
// on a thread of its own, answering each path with a prepared answer and
// recording every request it sees.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;
typedef struct _GHashTable GHashTable;
typedef struct _SoupServer SoupServer;
typedef struct _SoupServerMessage SoupServerMessage;

namespace q3::testing {

class TestHttpServer {
  public:
    struct Answer {
        int status = 200;
        std::string content_type;  // empty: no Content-Type header
        std::string body;
        bool never = false;  // hold the request open and never answer
    };
    static Answer Silent() {
        Answer answer;
        answer.never = true;
        return answer;
    }

    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // Paths without an answer get 404 and an empty body.
    void Serve(const std::string& path, Answer answer);
    // "http://127.0.0.1:<port>" followed by path.
    std::string Url(std::string_view path) const;
    std::string base() const { return Url(""); }
    // Every request's path and query ("/p?a=1"), in arrival order.
    std::vector<std::string> Requests() const;
    // True once count requests have arrived, false after a minute without.
    bool WaitForRequests(size_t count) const;

  private:
    static void Handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                       void* self);
    void Run();

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::map<std::string, Answer> answers_;
    std::vector<std::string> requests_;
    std::uint16_t port_ = 0;
    bool ready_ = false;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::thread thread_;
};

}  // namespace q3::testing
