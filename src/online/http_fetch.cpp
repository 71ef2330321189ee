#include "online/http_fetch.h"

#include <curl/curl.h>
#include <libxml/parser.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "common/trace.h"
#include "common/translation.h"
#include "online/answer_text.h"

namespace q3::online {
namespace {

constexpr std::string_view kXmlHttpTag = "XMLHttpGet";
constexpr std::string_view kServerTag = "ServerXMLHTTPGet";
constexpr std::string_view kTimedOutText = N_("响应超时：");
constexpr long kMaxRedirects = 10;

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

// Keeps the easy handle in the multi handle for the life of one request.
class Attachment {
  public:
    Attachment(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {
        if (curl_multi_add_handle(multi_, easy_) != CURLM_OK)
            throw FetchError("cannot start the request");
    }
    ~Attachment() { curl_multi_remove_handle(multi_, easy_); }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

  private:
    CURLM* multi_;
    CURL* easy_;
};

struct Received {
    std::string body;
    bool too_large = false;
};

size_t KeepBody(char* data, size_t size, size_t count, void* user) {
    auto* received = static_cast<Received*>(user);
    const size_t bytes = size * count;
    if (bytes > kMaxAnswerBytes - received->body.size()) {
        received->too_large = true;
        return 0;  // makes curl end the transfer with an error
    }
    received->body.append(data, bytes);
    return bytes;
}

template <typename T>
void SetOption(CURL* easy, CURLoption option, T value) {
    if (curl_easy_setopt(easy, option, value) != CURLE_OK)
        throw FetchError("cannot set up the request");
}

// How one GET ended: complete (the ready state 4 of the original components),
// out of time, or stopped by the caller.
struct Exchange {
    enum Outcome { kComplete, kTimedOut, kStopped };
    Outcome outcome = kComplete;
    bool failed = false;  // the transfer itself failed (error holds why)
    long status = 0;      // 0: no HTTP answer at all
    std::string content_type;
    std::string body;
    std::string error;
};

Exchange RunGet(const std::string& address, int timeout_ms, const std::stop_token& stop) {
    InitOnlineLibraries();
    std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiCleanup> multi(curl_multi_init());
    if (!easy || !multi)
        throw FetchError("cannot create the request");
    char error_text[CURL_ERROR_SIZE] = {};
    Received received;
    SetOption(easy.get(), CURLOPT_URL, address.c_str());
    SetOption(easy.get(), CURLOPT_HTTPGET, 1L);
    SetOption(easy.get(), CURLOPT_NOSIGNAL, 1L);  // a worker thread must not take signals
    // Cleaning up never waits for a name lookup still pending in the
    // resolver's thread: a stopped request (the reader quitting) ends at once.
    SetOption(easy.get(), CURLOPT_QUICK_EXIT, 1L);
    SetOption(easy.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    SetOption(easy.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    SetOption(easy.get(), CURLOPT_FOLLOWLOCATION, 1L);
    SetOption(easy.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
    SetOption(easy.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxAnswerBytes));
    SetOption(easy.get(), CURLOPT_WRITEFUNCTION, &KeepBody);
    SetOption(easy.get(), CURLOPT_WRITEDATA, &received);
    SetOption(easy.get(), CURLOPT_ERRORBUFFER, error_text);
    Attachment attached(multi.get(), easy.get());
    // A stop request wakes the wait at once instead of at the next poll.
    CURLM* waker = multi.get();
    std::stop_callback wake(stop, [waker] { curl_multi_wakeup(waker); });

    const auto start = std::chrono::steady_clock::now();
    Exchange exchange;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
            throw FetchError("the request failed");
        if (running == 0)
            break;
        curl_multi_poll(multi.get(), nullptr, 0, kFetchPollMs, nullptr);
        if (stop.stop_requested()) {
            exchange.outcome = Exchange::kStopped;
            return exchange;
        }
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited > std::chrono::milliseconds(timeout_ms)) {
            exchange.outcome = Exchange::kTimedOut;
            return exchange;
        }
    }

    CURLcode result = CURLE_OK;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &exchange.status);
    char* content_type = nullptr;
    if (curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_TYPE, &content_type) == CURLE_OK &&
        content_type != nullptr)
        exchange.content_type = content_type;
    if (result != CURLE_OK) {
        exchange.failed = true;
        if (received.too_large || result == CURLE_FILESIZE_EXCEEDED) {
            exchange.error =
                "the answer is larger than " + std::to_string(kMaxAnswerBytes) + " bytes";
        } else {
            exchange.error = error_text[0] != '\0' ? error_text : curl_easy_strerror(result);
        }
    }
    exchange.body = std::move(received.body);
    return exchange;
}

std::string TimedOutText(std::string_view address) {
    return Tr(kTimedOutText) + std::string(address);
}

}  // namespace

void InitOnlineLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        xmlInitParser();
    });
}

std::string ServerXMLHTTPGet(std::string_view address, int timeout_ms, std::stop_token stop) {
    try {
        const Exchange exchange = RunGet(ExtractRealUrl(address), timeout_ms, stop);
        if (exchange.outcome == Exchange::kTimedOut) {
            DebugTrace(kServerTag, TimedOutText(address));
            return {};
        }
        if (exchange.outcome == Exchange::kStopped)
            throw FetchError("the request was stopped");
        if (exchange.failed)
            throw FetchError(exchange.error);
        return ProcessAnswer(exchange.body, exchange.content_type);
    } catch (const std::exception& e) {
        DebugTrace(kServerTag, std::string(e.what()) + "\r\n" + std::string(address));
    } catch (...) {
        DebugTrace(kServerTag, "unknown error\r\n" + std::string(address));
    }
    return {};
}

std::string XMLHttpGet(std::string_view address, int timeout_ms, std::stop_token stop) {
    try {
        const std::string real = ExtractRealUrl(address);
        const Exchange exchange = RunGet(real, timeout_ms, stop);
        if (exchange.outcome == Exchange::kTimedOut) {
            DebugTrace(kXmlHttpTag, TimedOutText(address));
            return {};
        }
        if (exchange.outcome == Exchange::kStopped)
            throw FetchError("the request was stopped");
        if (exchange.status == 0)
            return ServerXMLHTTPGet(real, kSecondAttemptTimeoutMs, stop);
        if (exchange.failed)
            throw FetchError(exchange.error);
        return ProcessAnswer(exchange.body, exchange.content_type);
    } catch (const std::exception& e) {
        DebugTrace(kXmlHttpTag, std::string(e.what()) + "  - " + std::string(address));
    } catch (...) {
        DebugTrace(kXmlHttpTag, "unknown error  - " + std::string(address));
    }
    return {};
}

}  // namespace q3::online
