#include "online/test_http_server.h"

#include <libsoup/soup.h>

#include <stdexcept>

namespace q3::testing {

TestHttpServer::TestHttpServer() {
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    thread_ = std::thread([this] { Run(); });
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [this] { return ready_; });
    if (port_ == 0) {
        lock.unlock();
        thread_.join();
        throw std::runtime_error("the test server cannot listen on the loopback interface");
    }
}

TestHttpServer::~TestHttpServer() {
    // Quit from inside the loop: a quit before the loop has started running
    // would be forgotten when it starts.
    g_main_context_invoke(
        context_,
        [](gpointer loop) -> gboolean {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        loop_);
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

void TestHttpServer::Run() {
    // The server belongs to this thread's context from creation to its end.
    g_main_context_push_thread_default(context_);
    SoupServer* server = soup_server_new(nullptr, nullptr);
    soup_server_add_handler(server, nullptr, &TestHttpServer::Handle, this, nullptr);
    GError* error = nullptr;
    const bool listening =
        soup_server_listen_local(server, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error) != FALSE;
    if (error != nullptr)
        g_error_free(error);
    {
        std::lock_guard lock(mutex_);
        if (listening) {
            GSList* uris = soup_server_get_uris(server);
            port_ = static_cast<std::uint16_t>(g_uri_get_port(static_cast<GUri*>(uris->data)));
            g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
        }
        ready_ = true;
    }
    arrived_.notify_all();
    if (listening)
        g_main_loop_run(loop_);
    soup_server_disconnect(server);
    g_object_unref(server);
    while (g_main_context_iteration(context_, FALSE)) {
    }
    g_main_context_pop_thread_default(context_);
}

void TestHttpServer::Handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                            void* self) {
    auto* server = static_cast<TestHttpServer*>(self);
    GUri* uri = soup_server_message_get_uri(message);
    std::string request = path;
    if (const char* query = g_uri_get_query(uri))
        request += std::string("?") + query;
    Answer answer;
    answer.status = 404;
    {
        std::lock_guard lock(server->mutex_);
        server->requests_.push_back(request);
        if (auto it = server->answers_.find(path); it != server->answers_.end())
            answer = it->second;
    }
    server->arrived_.notify_all();
    if (answer.never) {
        soup_server_message_pause(message);
        return;
    }
    soup_server_message_set_status(message, static_cast<guint>(answer.status), nullptr);
    soup_server_message_set_response(
        message, answer.content_type.empty() ? nullptr : answer.content_type.c_str(),
        SOUP_MEMORY_COPY, answer.body.data(), answer.body.size());
}

void TestHttpServer::Serve(const std::string& path, Answer answer) {
    std::lock_guard lock(mutex_);
    answers_[path] = std::move(answer);
}

std::string TestHttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> TestHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool TestHttpServer::WaitForRequests(size_t count) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::minutes(1),
                             [&] { return requests_.size() >= count; });
}

}  // namespace q3::testing
