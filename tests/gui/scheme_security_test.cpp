// The open book stays private to the reader: a page from anywhere else (the
// web, a data: or blob: frame, a page written at about:blank) gets no byte of
// it by any route, a book page keeps its own routes, and a qbx: page cannot
// read local files.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browser/page_helpers.h"
#include "browser_harness.h"

namespace q3::guitest {
namespace {

constexpr const char* kSecret = "the open book";

// A web server on the loopback interface, answered on the main loop: pages by
// path, and "/redirect/KEY" sends the browser to the book's index with KEY.
class WebServer {
  public:
    WebServer() : server_(soup_server_new(nullptr, nullptr)) {
        soup_server_add_handler(server_, nullptr, Handle, this, nullptr);
        GError* error = nullptr;
        if (!soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
            ADD_FAILURE() << "the web server does not listen: " << error->message;
            g_error_free(error);
            return;
        }
        GSList* uris = soup_server_get_uris(server_);
        if (uris != nullptr)
            port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
        g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    }
    ~WebServer() {
        soup_server_disconnect(server_);
        g_object_unref(server_);
    }
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    void Page(const std::string& path, std::string html) { pages_[path] = std::move(html); }
    std::string Url(const std::string& path = "/") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int Requests() const { return requests_; }

  private:
    static void Handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                       gpointer self) {
        auto& server = *static_cast<WebServer*>(self);
        ++server.requests_;
        const std::string_view p(path);
        if (p.rfind("/redirect/", 0) == 0) {
            const std::string to = "qbx://reader/index.htm?key=" + std::string(p.substr(10));
            soup_server_message_set_redirect(message, SOUP_STATUS_FOUND, to.c_str());
            return;
        }
        auto it = server.pages_.find(path);
        if (it == server.pages_.end()) {
            soup_server_message_set_status(message, SOUP_STATUS_NOT_FOUND, nullptr);
            return;
        }
        soup_server_message_set_status(message, SOUP_STATUS_OK, nullptr);
        soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY,
                                         it->second.data(), it->second.size());
    }

    SoupServer* server_;
    std::map<std::string, std::string> pages_;
    int port_ = 0;
    int requests_ = 0;
};

// Every way a page has to reach a qbx: address. Each route asks for the
// book's index (or picture, script, style sheet) with its own "?key=", which
// the content server ignores, so the server's log tells which routes got
// through. Routes a script can observe report "read" or "refused" in
// window.R; a page in a frame passes its results up to its parent.
const char* kProbeScript = R"JS(
var R = {};
var B = 'qbx://reader/';
var SECRET = 'the open book';
function done(k, v) {
  if (k in R) return;
  R[k] = v;
  if (parent !== window) parent.postMessage({probe: R}, '*');
}
function saw(t) { return String(t).indexOf(SECRET) >= 0 ? 'read' : 'refused'; }
function syncRead(key) {
  try { var x = new XMLHttpRequest(); x.open('GET', key, false); x.send(); return saw(x.responseText); }
  catch (e) { return 'refused'; }
}
window.addEventListener('message', function (m) { if (m.data && m.data.k) done(m.data.k, m.data.v); });

done('syncxhr', syncRead(B + 'index.htm?key=syncxhr'));
done('redirxhr', syncRead(WEB + 'redirect/redirxhr'));
try {
  var y = new XMLHttpRequest(); y.open('GET', B + 'index.htm?key=asyncxhr');
  y.onload = function () { done('asyncxhr', saw(y.responseText)); };
  y.onerror = function () { done('asyncxhr', 'refused'); };
  y.send();
} catch (e) { done('asyncxhr', 'refused'); }
fetch(B + 'index.htm?key=fetch').then(function (r) { return r.text(); })
  .then(function (t) { done('fetch', saw(t)); }, function () { done('fetch', 'refused'); });

var im = new Image();
im.onload = function () {
  done('img', 'read');
  try {
    var c = document.createElement('canvas'); c.width = c.height = 4;
    var g = c.getContext('2d'); g.drawImage(im, 0, 0); g.getImageData(0, 0, 1, 1);
    done('canvas', 'read');
  } catch (e) { done('canvas', 'refused'); }
};
im.onerror = function () { done('img', 'refused'); done('canvas', 'refused'); };
im.src = B + 'pic.png?key=img';

var sc = document.createElement('script');
sc.onload = function () { done('script', saw(window.leak)); };
sc.onerror = function () { done('script', 'refused'); };
sc.src = B + 'leak.js?key=script';
document.head.appendChild(sc);

var ln = document.createElement('link'); ln.rel = 'stylesheet';
ln.onload = function () { done('css', getComputedStyle(document.body).color == 'rgb(1, 2, 3)' ? 'read' : 'refused'); };
ln.onerror = function () { done('css', 'refused'); };
ln.href = B + 'leak.css?key=css';
document.head.appendChild(ln);

try {
  var w = new Worker(B + 'worker.js?key=worker');
  w.onmessage = function (m) { done('worker', saw(m.data)); };
  w.onerror = function () { done('worker', 'refused'); };
} catch (e) { done('worker', 'refused'); }

function frame(src) { var f = document.createElement('iframe'); if (src) f.src = src; document.body.appendChild(f); return f; }
frame(B + 'index.htm?key=iframe');
frame(WEB + 'redirect/rediriframe');
var ob = document.createElement('object'); ob.data = B + 'index.htm?key=object'; document.body.appendChild(ob);
var nav = frame('about:blank');
setTimeout(function () { try { nav.contentWindow.location = B + 'index.htm?key=framenav'; } catch (e) {} }, 50);
try { window.open(B + 'index.htm?key=windowopen'); } catch (e) {}
try {
  var pw = window.open('');
  pw.document.write('<img src="' + B + 'pic.png?key=popupimg">'); pw.document.close();
} catch (e) {}

// Pages of other origins made by this one: each reads with a synchronous
// request, the route the scheme handler itself has to refuse.
function reader(key) {
  return '<script>var r = "refused"; try { var x = new XMLHttpRequest();' +
    ' x.open("GET", "' + B + 'index.htm?key=' + key + '", false); x.send();' +
    ' if (x.responseText.indexOf("' + SECRET + '") >= 0) r = "read"; } catch (e) {}' +
    ' parent.postMessage({k: "' + key + '", v: r}, "*");</' + 'script>';
}
frame('data:text/html,' + encodeURIComponent(reader('data')));
frame(URL.createObjectURL(new Blob([reader('blob')], {type: 'text/html'})));
var blank = frame('');
blank.contentDocument.open(); blank.contentDocument.write(reader('blank')); blank.contentDocument.close();
)JS";

// The routes a script reports on.
const std::vector<std::string> kReportedRoutes = {"syncxhr", "redirxhr", "asyncxhr", "fetch",
                                                  "img",     "canvas",   "script",   "css",
                                                  "worker",  "data",     "blob",     "blank"};

std::string ProbePage(const std::string& web_root) {
    return "<html><head><title>probe</title></head><body><p>probe</p><script>var WEB = '" +
           web_root + "';" + kProbeScript + "</script></body></html>";
}

class SecurityTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        web.Page("/probe.html", ProbePage(web.Url()));
        // A page may open windows without a click: a hostile page gets its
        // click sooner or later, and the probe has no one to click for it.
        webkit_settings_set_javascript_can_open_windows_automatically(
            webkit_web_view_get_settings(view()), TRUE);
        // A web page opening a window gets a view of its own, as in the reader.
        browser->OnNewWindow = [this](browser::WebBrowser& opener, const std::string& address) {
            popup_addresses.push_back(address);
            popups.push_back(std::make_unique<browser::WebBrowser>(opener));
            return popups.back().get();
        };
    }
    void TearDown() override {
        popups.clear();
        BrowserTest::TearDown();
    }

    // A book behind a password holding the probe's targets, a copy of the
    // probe, and a page framing the probe on the web server.
    void OpenProbeBook() {
        doc::DocumentInfo info;
        info.Password = "secret";
        doc::QbxWriter writer(info);
        writer.AddRecord(MakeContents(
            {{"Index", 2, "index.htm"}, {"Probe", 3, "probe.htm"}, {"Frame", 4, "frame.htm"}},
            {{"", 5, "pic.png"}, {"", 6, "leak.js"}, {"", 7, "leak.css"}, {"", 8, "worker.js"}}));
        writer.AddRecord("<p id=\"secret\">" + std::string(kSecret) + "</p>");
        writer.AddRecord(ProbePage(web.Url()));
        writer.AddRecord(
            "<script>window.addEventListener('message', function (m) {"
            " if (m.data && m.data.probe) window.R = m.data.probe; });</script>"
            "<iframe src=\"" +
            web.Url("/probe.html") + "\"></iframe>");
        writer.AddRecord(MakePng(20, 20, 0x00AA00));
        writer.AddRecord("window.leak = '" + std::string(kSecret) + "';");
        writer.AddRecord("body { color: rgb(1, 2, 3); }");
        writer.AddRecord("postMessage('" + std::string(kSecret) + "');");
        const std::string path = dir.File("probe.qbx");
        writer.WriteFile(path);
        OpenBook(path, "secret");
    }

    // Waits until the probe has reported every route, then a little longer
    // for the frames, objects and windows that report nothing.
    bool ProbeFinished(const std::vector<std::string>& routes = kReportedRoutes) {
        std::string all_reported = "true";
        for (const std::string& key : routes)
            all_reported += " && '" + key + "' in window.R";
        const bool all = RunUntil(
            [&] { return Js("String(window.R !== undefined && " + all_reported + ")") == "true"; },
            20s);
        Pump(1500ms);
        return all;
    }
    std::string Route(const std::string& key) {
        return Js("String(window.R && window.R['" + key + "'])").value_or("no answer");
    }
    // The addresses the content server was asked for with "?key=KEY".
    bool Served(const std::string& key) const {
        for (const std::string& a : binding->Addresses()) {
            if (a.find("?key=" + key) != std::string::npos)
                return true;
        }
        return false;
    }
    std::string ServedList() const {
        std::string out;
        for (const std::string& a : binding->Addresses())
            out += a + " ";
        return out;
    }
    void ExpectEveryRouteRefused() {
        for (const std::string& key : kReportedRoutes)
            EXPECT_EQ(Route(key), "refused") << key;
    }

    WebServer web;
    std::vector<std::unique_ptr<browser::WebBrowser>> popups;
    std::vector<std::string> popup_addresses;
};

TEST_F(SecurityTest, WebPageGetsNoByteOfTheBookByAnyRoute) {
    OpenProbeBook();
    ASSERT_TRUE(Load(web.Url("/probe.html")));
    EXPECT_TRUE(ProbeFinished());
    ExpectEveryRouteRefused();
    // Frames, objects, navigations, windows and redirects report nothing to
    // the page; the content server was asked for nothing at all.
    EXPECT_TRUE(binding->Addresses().empty()) << ServedList();
    // A web page opens no window on a book address; an empty one it may.
    EXPECT_EQ(popup_addresses, std::vector<std::string>{""});
}

TEST_F(SecurityTest, WebPageFramedByABookPageCannotReadTheBook) {
    OpenProbeBook();
    ASSERT_TRUE(Load("qbx://reader/frame.htm"));
    EXPECT_TRUE(ProbeFinished());
    ExpectEveryRouteRefused();
    ASSERT_EQ(binding->Addresses().size(), 1u) << ServedList();
    EXPECT_EQ(binding->Addresses()[0], "qbx://reader/frame.htm");
}

// What the reader writes at about:blank (the ad strip's page among it) may
// carry scripts from elsewhere; such a page reads nothing either.
TEST_F(SecurityTest, PageWrittenAtAboutBlankCannotReadTheBook) {
    OpenProbeBook();
    ASSERT_TRUE(Load("about:blank"));
    browser::WriteHtml(*browser, ProbePage(web.Url()));
    EXPECT_TRUE(ProbeFinished());
    ExpectEveryRouteRefused();
    EXPECT_TRUE(binding->Addresses().empty()) << ServedList();
}

TEST_F(SecurityTest, BookPageKeepsItsOwnRoutes) {
    OpenProbeBook();
    ASSERT_TRUE(Load("qbx://reader/probe.htm"));
    // WebKit itself loads no blob: frame of a book page.
    std::vector<std::string> routes = kReportedRoutes;
    std::erase(routes, "blob");
    EXPECT_TRUE(ProbeFinished(routes));
    for (const char* key : {"syncxhr", "img", "script", "css", "blank"})
        EXPECT_EQ(Route(key), "read") << key;
    for (const char* key : {"iframe", "object", "framenav", "windowopen", "popupimg"})
        EXPECT_TRUE(Served(key)) << key << ": " << ServedList();
    // The window the book page opened on its index shows it.
    ASSERT_EQ(popups.size(), 2u);
    ASSERT_TRUE(RunUntil([&] { return !popups[0]->Busy(); }));
    EXPECT_NE(PageBytes(popups[0]->View()).value_or("").find(kSecret), std::string::npos);
}

TEST_F(SecurityTest, WebPageCannotNavigateToTheBookButTheReaderCan) {
    OpenProbeBook();
    web.Page("/top.html",
             "<script>location = 'qbx://reader/index.htm?key=top';</script><p>web page</p>");
    ASSERT_TRUE(Load(web.Url("/top.html")));
    Pump(1500ms);
    // The reader asked for a web address that redirects into the book.
    ASSERT_TRUE(Load(web.Url("/redirect/typed")));
    EXPECT_TRUE(binding->Addresses().empty()) << ServedList();
    EXPECT_EQ(std::string(browser->LocationUrl()).rfind("qbx:", 0), std::string::npos);

    // The user types a book address while a web page is shown.
    ASSERT_TRUE(Load(web.Url("/top.html")));
    ASSERT_TRUE(Load("qbx://reader/index.htm"));
    EXPECT_EQ(Js("document.getElementById('secret').textContent"), kSecret);

    // And goes back to it from a web page, with no cache to answer for it.
    webkit_settings_set_enable_page_cache(webkit_web_view_get_settings(view()), FALSE);
    web.Page("/plain.html", "<p>web page</p>");
    ASSERT_TRUE(Load(web.Url("/plain.html")));
    bool cleared = false;
    webkit_website_data_manager_clear(
        webkit_web_view_get_website_data_manager(view()), WEBKIT_WEBSITE_DATA_MEMORY_CACHE, 0,
        nullptr, +[](GObject*, GAsyncResult*, gpointer done) { *static_cast<bool*>(done) = true; },
        &cleared);
    ASSERT_TRUE(RunUntil([&] { return cleared; }));
    browser->GoBack();
    EXPECT_TRUE(RunUntil([&] {
        return !browser->Busy() && Js("String(document.getElementById('secret') && "
                                      "document.getElementById('secret').textContent)") == kSecret;
    }));
    EXPECT_EQ(binding->Addresses().size(), 2u) << ServedList();
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
