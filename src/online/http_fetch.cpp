#include "online/http_fetch.h"

#include <libxml/parser.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "common/trace.h"
#include "common/translation.h"
#include "online/answer_text.h"
#include "online/curl_library.h"

namespace q3::online {
namespace {

constexpr std::string_view kXmlHttpTag = "XMLHttpGet";
constexpr std::string_view kServerTag = "ServerXMLHTTPGet";
constexpr std::string_view kTimedOutText = N_("响应超时：");
constexpr long kMaxRedirects = 10;

struct EasyCleanup {
    const CurlLibrary* curl;
    void operator()(CURL* easy) const { curl->easy_cleanup(easy); }
};
struct MultiCleanup {
    const CurlLibrary* curl;
    void operator()(CURLM* multi) const { curl->multi_cleanup(multi); }
};

// Keeps the easy handle in the multi handle for the life of one request.
class Attachment {
  public:
    Attachment(const CurlLibrary& curl, CURLM* multi, CURL* easy)
        : curl_(curl), multi_(multi), easy_(easy) {
        if (curl_.multi_add_handle(multi_, easy_) != CURLM_OK)
            throw FetchError("cannot start the request");
    }
    ~Attachment() { curl_.multi_remove_handle(multi_, easy_); }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

  private:
    const CurlLibrary& curl_;
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
void SetOption(const CurlLibrary& curl, CURL* easy, CURLoption option, T value) {
    if (curl.easy_setopt(easy, option, value) != CURLE_OK)
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
    const CurlLibrary* lib = Curl();
    if (lib == nullptr)
        throw FetchError("libcurl is not available");
    const CurlLibrary& curl = *lib;
    std::unique_ptr<CURL, EasyCleanup> easy(curl.easy_init(), EasyCleanup{lib});
    std::unique_ptr<CURLM, MultiCleanup> multi(curl.multi_init(), MultiCleanup{lib});
    if (!easy || !multi)
        throw FetchError("cannot create the request");
    char error_text[CURL_ERROR_SIZE] = {};
    Received received;
    SetOption(curl, easy.get(), CURLOPT_URL, address.c_str());
    SetOption(curl, easy.get(), CURLOPT_HTTPGET, 1L);
    SetOption(curl, easy.get(), CURLOPT_NOSIGNAL, 1L);  // a worker thread must not take signals
    // Cleaning up never waits for a name lookup still pending in the
    // resolver's thread: a stopped request (the reader quitting) ends at once.
    SetOption(curl, easy.get(), CURLOPT_QUICK_EXIT, 1L);
    SetOption(curl, easy.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    SetOption(curl, easy.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    SetOption(curl, easy.get(), CURLOPT_FOLLOWLOCATION, 1L);
    SetOption(curl, easy.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
    SetOption(curl, easy.get(), CURLOPT_MAXFILESIZE_LARGE,
              static_cast<curl_off_t>(kMaxAnswerBytes));
    SetOption(curl, easy.get(), CURLOPT_WRITEFUNCTION, &KeepBody);
    SetOption(curl, easy.get(), CURLOPT_WRITEDATA, &received);
    SetOption(curl, easy.get(), CURLOPT_ERRORBUFFER, error_text);
    Attachment attached(curl, multi.get(), easy.get());
    // A stop request wakes the wait at once instead of at the next poll.
    CURLM* waker = multi.get();
    std::stop_callback wake(stop, [lib, waker] { lib->multi_wakeup(waker); });

    const auto start = std::chrono::steady_clock::now();
    Exchange exchange;
    for (;;) {
        int running = 0;
        if (curl.multi_perform(multi.get(), &running) != CURLM_OK)
            throw FetchError("the request failed");
        if (running == 0)
            break;
        curl.multi_poll(multi.get(), nullptr, 0, kFetchPollMs, nullptr);
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
    while (CURLMsg* message = curl.multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    curl.easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &exchange.status);
    char* content_type = nullptr;
    if (curl.easy_getinfo(easy.get(), CURLINFO_CONTENT_TYPE, &content_type) == CURLE_OK &&
        content_type != nullptr)
        exchange.content_type = content_type;
    if (result != CURLE_OK) {
        exchange.failed = true;
        if (received.too_large || result == CURLE_FILESIZE_EXCEEDED) {
            exchange.error =
                "the answer is larger than " + std::to_string(kMaxAnswerBytes) + " bytes";
        } else {
            exchange.error = error_text[0] != '\0' ? error_text : curl.easy_strerror(result);
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
        Curl();
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
