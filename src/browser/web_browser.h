// The embedded browser the windows use: one WebKit web view with the
// navigation, commands, properties and events the reader relies on. Addresses
// and titles are UTF-8 here; the windows convert at their side.
#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <string>

namespace Gtk {
class Menu;
class Widget;
class Window;
}  // namespace Gtk

namespace q3::browser {

class WebBrowser {
  public:
    using BeforeNavigateHandler =
        std::function<void(WebBrowser& sender, const std::string& address, bool& cancel)>;
    // Hands back the browser that shows the new window, or null to refuse it.
    using NewWindowHandler =
        std::function<WebBrowser*(WebBrowser& sender, const std::string& address)>;
    using TextHandler = std::function<void(WebBrowser& sender, const std::string& text)>;
    using SenderHandler = std::function<void(WebBrowser& sender)>;
    using DoneHandler = std::function<void(bool ok)>;

    WebBrowser();
    // A browser for a window that `opener` asks for: it shares the opener's
    // web process (WebKit needs that) but keeps its own settings and style
    // sheets, so the two containers never see each other's.
    explicit WebBrowser(WebBrowser& opener);
    // A browser in a web context of its own, which serves none of the
    // reader's schemes and keeps no data: what it shows (the service's ad)
    // can never reach the open book, whatever the scheme handler decides.
    struct Isolated {};
    explicit WebBrowser(Isolated);
    ~WebBrowser();
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    WebKitWebView* View() const { return view_; }
    // Cancelled when the browser goes away: pending calls into the page
    // check it so that no answer reaches a freed browser.
    GCancellable* Cancellable() const { return cancellable_; }
    // The widget to put into a window; the browser keeps it alive.
    Gtk::Widget& Widget() const;
    // The browser a view belongs to, or null.
    static WebBrowser* FromView(WebKitWebView* view);

    // flags: navNoReadFromCache | navNoWriteToCache for document pages.
    void Navigate(const std::string& address, unsigned flags = 0);
    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();

    // Saves the page: a web archive for ".mht"/".mhtml", else the page's own
    // bytes. done runs on the main loop unless the browser is gone by then.
    void SaveAs(const std::string& path, DoneHandler done = {});
    // The toolkit's print dialog, with its preview.
    void PrintPreview(Gtk::Window* parent);
    void Copy();
    void SelectAll();

    std::string LocationUrl() const;
    std::string Title() const;
    bool Busy() const;
    // Whether a page is loaded (the engine has a document).
    bool HasDocument() const;

    // Whether the navigation or new window now being decided was started by
    // the user (a click, a key), not by a page script or the reader.
    bool NavigationByUser() const { return navigation_by_user_; }
    // Whether the user's own click (or Enter) on a link of the main frame's
    // document asked for address a moment ago. The top document reports
    // such clicks from a script world of the reader's own, which neither
    // its scripts nor the pages it frames can reach or imitate.
    bool ClickedInMainFrame(const std::string& address) const;

    // Off: the view is no drop site, so what is dropped on the page reaches
    // the window around it. WebKit's own drop handling comes back when on.
    void SetRegisterAsDropTarget(bool on);

    // Silent: pages' script dialogs are not shown.
    bool Silent() const { return silent_; }
    void SetSilent(bool silent) { silent_ = silent; }
    bool FullScreen() const { return full_screen_; }
    void SetFullScreen(bool on);

    // The browser's own pop-up menu, shown by a container that replaces the
    // page menu. Not owned.
    Gtk::Menu* PopupMenu() const { return popup_menu_; }
    void SetPopupMenu(Gtk::Menu* menu) { popup_menu_ = menu; }

    BeforeNavigateHandler OnBeforeNavigate;
    NewWindowHandler OnNewWindow;
    TextHandler OnTitleChange;
    // The address of the link under the pointer, empty when it leaves.
    TextHandler OnStatusTextChange;
    // The main frame finished loading; the text is its address.
    TextHandler OnDocumentComplete;
    // The address shown changed: a load began or was committed, or the page
    // moved within itself. Back and Forward may show a page from the cache
    // without loading anything; this still tells of it.
    TextHandler OnLocationChange;
    // A page script asked to close the window.
    SenderHandler OnWindowClosing;
    // The user clicked a link of the main frame's document; the text is
    // the link's address.
    TextHandler OnMainFrameClick;

  private:
    void Setup();
    void ConnectSignals();
    void RepaintWholeAfterExposure();
    void WatchMainFrameClicks();
    void ClearMemoryCache();

    static gboolean HandleDecidePolicy(WebKitWebView*, WebKitPolicyDecision*,
                                       WebKitPolicyDecisionType, gpointer self);
    static GtkWidget* HandleCreate(WebKitWebView*, WebKitNavigationAction*, gpointer self);
    static void HandleTitle(GObject*, GParamSpec*, gpointer self);
    static void HandleUri(GObject*, GParamSpec*, gpointer self);
    static void HandleMouseTarget(WebKitWebView*, WebKitHitTestResult*, guint, gpointer self);
    static void HandleLoadChanged(WebKitWebView*, WebKitLoadEvent, gpointer self);
    static void HandleClose(WebKitWebView*, gpointer self);
    static gboolean HandleLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                     gpointer self);
    static gboolean HandleDraw(GtkWidget*, cairo_t*, gpointer self);
    static gboolean RepaintWhole(gpointer self);
    static gboolean HandleScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer self);
    static void HandleLinkClick(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer self);

    WebKitWebView* view_ = nullptr;
    GCancellable* cancellable_ = nullptr;
    std::string status_text_;
    bool silent_ = false;
    bool full_screen_ = false;
    bool has_document_ = false;
    bool navigation_by_user_ = false;
    std::string clicked_address_;
    gint64 clicked_at_ = 0;                  // monotonic microseconds
    GtkTargetList* drop_targets_ = nullptr;  // WebKit's, while the view is no drop site
    Gtk::Menu* popup_menu_ = nullptr;
    guint repaint_source_ = 0;
    bool whole_repaint_asked_ = false;
};

// Settings every reader view gets: pages that declare no character set are
// read as GBK, as the documents are written.
WebKitSettings* NewReaderSettings();

}  // namespace q3::browser
