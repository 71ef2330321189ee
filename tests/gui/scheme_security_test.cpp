// The open book stays private to the reader: a page from the web cannot load
// qbx: addresses, and a qbx: page cannot read local files.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include "browser_harness.h"

namespace q3::guitest {
namespace {

// A one-page HTTP server on the loopback interface, answered on the main
// loop; every request gets the same page.
class LoopbackServer {
  public:
    explicit LoopbackServer(std::string page) : page_(std::move(page)) {
        service_ = g_socket_service_new();
        GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
        GSocketAddress* address = g_inet_socket_address_new(loopback, 0);
        GSocketAddress* bound = nullptr;
        g_socket_listener_add_address(G_SOCKET_LISTENER(service_), address, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_TCP, nullptr, &bound, nullptr);
        if (bound != nullptr) {
            port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
            g_object_unref(bound);
        }
        g_object_unref(address);
        g_object_unref(loopback);
        g_signal_connect(service_, "incoming", G_CALLBACK(Incoming), this);
        g_socket_service_start(service_);
    }
    ~LoopbackServer() {
        g_socket_service_stop(service_);
        g_socket_listener_close(G_SOCKET_LISTENER(service_));
        g_signal_handlers_disconnect_by_data(service_, this);
        g_object_unref(service_);
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    int Requests() const { return requests_; }

  private:
    static gboolean Incoming(GSocketService*, GSocketConnection* connection, GObject*,
                             gpointer self) {
        auto& server = *static_cast<LoopbackServer*>(self);
        ++server.requests_;
        GSocket* socket = g_socket_connection_get_socket(connection);
        g_socket_set_timeout(socket, 5);
        char buffer[4096];
        g_input_stream_read(g_io_stream_get_input_stream(G_IO_STREAM(connection)), buffer,
                            sizeof buffer, nullptr, nullptr);
        const std::string answer =
            "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
            std::to_string(server.page_.size()) + "\r\nConnection: close\r\n\r\n" + server.page_;
        g_output_stream_write_all(g_io_stream_get_output_stream(G_IO_STREAM(connection)),
                                  answer.data(), answer.size(), nullptr, nullptr, nullptr);
        g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
        return TRUE;
    }

    std::string page_;
    GSocketService* service_ = nullptr;
    int port_ = 0;
    int requests_ = 0;
};

class SecurityTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        OpenBook(WriteBook(dir, "s.qbx",
                           MakeContents({{"Index", 2, "index.htm"}}, {{"", 3, "pic.png"}}),
                           {"<p id=\"secret\">the open book</p>", MakePng(20, 20, 0x00AA00)}));
    }
};

// The page tries every way in: a picture, a frame, fetch and XMLHttpRequest.
const char* kProbePage =
    "<html><body><p>web page</p>"
    "<img id=\"img\" src=\"qbx://reader/pic.png\" "
    "onload=\"window.img='loaded'\" onerror=\"window.img='refused'\">"
    "<iframe src=\"qbx://reader/index.htm\"></iframe>"
    "<script>"
    "fetch('qbx://reader/index.htm').then(r => r.text())"
    "  .then(t => { window.fetched = 'read:' + t; }, e => { window.fetched = 'refused'; });"
    "try { var x = new XMLHttpRequest(); x.open('GET', 'qbx://reader/index.htm');"
    "  x.onload = function() { window.xhr = 'read:' + x.responseText; };"
    "  x.onerror = function() { window.xhr = 'refused'; }; x.send(); }"
    "catch (e) { window.xhr = 'refused'; }"
    "</script></body></html>";

TEST_F(SecurityTest, WebPageCannotFetchTheOpenBook) {
    LoopbackServer web(kProbePage);
    ASSERT_TRUE(Load(web.Url()));
    EXPECT_GE(web.Requests(), 1);
    ASSERT_TRUE(RunUntil(
        [&] { return Js("String(window.img && window.fetched && window.xhr)") == "refused"; }));
    EXPECT_EQ(Js("window.img"), "refused");
    EXPECT_EQ(Js("window.fetched"), "refused");
    EXPECT_EQ(Js("window.xhr"), "refused");
    EXPECT_EQ(Js("String(document.getElementById('img').naturalWidth)"), "0");
    Pump(300ms);
    // Refused by WebKit itself: the scheme handler never saw a request.
    EXPECT_EQ(binding->Requests(), 0);
}

// Both schemes are local, so WebKit may still draw a file's picture in a book
// page; what the page cannot do is read a file's bytes or pixels.
TEST_F(SecurityTest, BookPageCannotReadLocalFiles) {
    const std::string picture = dir.Write("local.png", MakePng(30, 30, 0xAA0000));
    const std::string text = dir.Write("local.txt", "private text");
    const std::string page =
        "<html><body><img id=\"img\" src=\"file://" + picture +
        "\"><script>"
        "fetch('file://" +
        text +
        "').then(r => r.text())"
        "  .then(t => { window.fetched = 'read:' + t; }, e => { window.fetched = 'refused'; });"
        "try { var x = new XMLHttpRequest(); x.open('GET', 'file://" +
        text +
        "');"
        "  x.onload = function() { window.xhr = 'read:' + x.responseText; };"
        "  x.onerror = function() { window.xhr = 'refused'; }; x.send(); }"
        "catch (e) { window.xhr = 'refused'; }"
        "function pixels() { var i = document.getElementById('img');"
        "  var c = document.createElement('canvas'); c.width = 30; c.height = 30;"
        "  var g = c.getContext('2d'); g.drawImage(i, 0, 0);"
        "  try { return 'read:' + g.getImageData(0, 0, 1, 1).data[0]; }"
        "  catch (e) { return 'refused'; } }"
        "</script></body></html>";
    OpenBook(WriteBook(dir, "f.qbx", MakeContents({{"Page", 2, "page.htm"}}, {}), {page}));
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_TRUE(RunUntil([&] {
        return Js("String(window.fetched && window.xhr && "
                  "document.getElementById('img').complete)") == "true";
    }));
    EXPECT_EQ(Js("window.fetched"), "refused");
    EXPECT_EQ(Js("window.xhr"), "refused");
    EXPECT_EQ(Js("pixels()"), "refused");
}

TEST_F(SecurityTest, BookPageLoadsItsOwnPicture) {
    const std::string page =
        "<img id=\"img\" src=\"pic.png\" onload=\"window.img='loaded'\" "
        "onerror=\"window.img='refused'\">";
    OpenBook(WriteBook(dir, "o.qbx", MakeContents({{"Page", 2, "page.htm"}}, {{"", 3, "pic.png"}}),
                       {page, MakePng(20, 20, 0x00AA00)}));
    ASSERT_TRUE(Load("qbx://reader/page.htm"));
    ASSERT_TRUE(RunUntil([&] { return Js("String(window.img)") != "undefined"; }));
    EXPECT_EQ(Js("window.img"), "loaded");
    EXPECT_EQ(Js("String(document.getElementById('img').naturalWidth)"), "20");
}

}  // namespace
}  // namespace q3::guitest
