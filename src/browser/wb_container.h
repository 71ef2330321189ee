// The host container every browser of the window gets. WebKit asks it before
// it shows a context menu, and it gives every page the host's display flags
// and style sheet. The window owns the containers (ContainerList); a
// container detaches from its view before it is freed, so WebKit never calls
// a freed container.
#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/host_flags.h"

namespace Gtk {
class Menu;
}

namespace q3::browser {

class WebBrowser;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Answers every host question neutrally: WebKit shows its own menu and
// draws pages as it would without a host.
class TNulWBContainer {
  public:
    explicit TNulWBContainer(WebBrowser& browser);
    virtual ~TNulWBContainer();
    TNulWBContainer(const TNulWBContainer&) = delete;
    TNulWBContainer& operator=(const TNulWBContainer&) = delete;

    // The browser served; null once that browser is gone.
    WebBrowser* HostedBrowser() const;
    WebKitWebView* View() const { return view_; }

    // True when the engine's menu is replaced (the host showed its own).
    virtual bool ShowContextMenu(uint32_t menu_kind, ScreenPoint point);
    // Neutral: nothing filled in, the engine keeps its defaults.
    virtual HostInfo GetHostInfo() const { return {}; }
    void UpdateUI();

    // Pops a menu up at a screen point of this view, as the answer to the
    // context menu being asked for.
    void PopupAt(Gtk::Menu& menu, ScreenPoint point);

    std::function<void(WebBrowser& sender)> OnUpdateUI;

  private:
    static gboolean HandleContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*,
                                      WebKitHitTestResult*, gpointer self);

    WebKitWebView* view_;
    GdkEvent* menu_event_ = nullptr;  // the event that asked, during the question
};

// The container the window creates: appearance switches, a style sheet for
// every page and the context menu event.
class TWBContainer : public TNulWBContainer {
  public:
    // handled comes in false (the engine's menu); a handler that shows its
    // own menu sets it true.
    using ContextMenuHandler = std::function<void(WebBrowser& sender, uint32_t menu_kind,
                                                  ScreenPoint point, bool& handled)>;

    explicit TWBContainer(WebBrowser& browser);
    ~TWBContainer() override;

    bool ShowContextMenu(uint32_t menu_kind, ScreenPoint point) override;
    HostInfo GetHostInfo() const override;

    bool UseCustomMenu() const { return use_custom_menu_; }
    void SetUseCustomMenu(bool on) { use_custom_menu_ = on; }
    bool ShowScrollBars() const { return switches_.show_scroll_bars; }
    void SetShowScrollBars(bool on);
    bool Show3DBorder() const { return switches_.show_3d_border; }
    void SetShow3DBorder(bool on);
    bool AllowTextSelection() const { return switches_.allow_text_selection; }
    void SetAllowTextSelection(bool on);
    // UTF-8 style sheet text applied to every page shown through this host.
    const std::string& HostCss() const { return host_css_; }
    void SetHostCss(std::string css);

    ContextMenuHandler OnShowContextMenu;

  private:
    void ApplyHostInfo();
    void RemoveStyleSheet();

    bool use_custom_menu_ = false;
    HostSwitches switches_;
    std::string host_css_;
    WebKitUserStyleSheet* sheet_ = nullptr;
};

// Whether the application draws with a GTK theme.
ThemeState CurrentThemeState();

// The container serving a view, or null.
TNulWBContainer* ContainerOf(WebKitWebView* view);
TNulWBContainer* ContainerOf(const WebBrowser& browser);

// The window's containers, one per browser. Free it (or Clear it) before the
// browsers it serves.
class ContainerList {
  public:
    ContainerList() = default;
    ~ContainerList() { Clear(); }
    ContainerList(const ContainerList&) = delete;
    ContainerList& operator=(const ContainerList&) = delete;

    TWBContainer& Add(WebBrowser& browser);
    // Detaches and frees the browser's container; false when it has none here.
    bool Remove(const WebBrowser& browser);
    TWBContainer* Find(const WebBrowser& browser) const;
    size_t Count() const { return items_.size(); }
    void Clear();

  private:
    std::vector<std::unique_ptr<TWBContainer>> items_;
};

}  // namespace q3::browser
