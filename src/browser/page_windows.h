// The two windows a page opens about itself: its properties (address, title,
// type and size) and its source (the main resource's bytes as text).
#pragma once

#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <optional>
#include <string>

namespace q3::browser {

class WebBrowser;

// Reads the bytes of the page a view shows; done gets nothing when there is
// no page or reading failed, and is not called once cancellable is cancelled.
void FetchPageBytes(WebKitWebView* view, GCancellable* cancellable,
                    std::function<void(std::optional<std::string>)> done);

// The page's bytes as UTF-8 text: UTF-8 as it is, anything else read as GBK.
std::string PageBytesToText(std::string_view bytes);

// A human size: "1234 字节" below a kilobyte, else kilobytes with the bytes.
std::string SizeText(size_t bytes);

class PagePropertiesDialog : public Gtk::Dialog {
  public:
    PagePropertiesDialog(Gtk::Window& owner, WebBrowser& browser);
    ~PagePropertiesDialog() override;

    std::string AddressText() const { return address_.get_text(); }
    std::string TitleText() const { return title_.get_text(); }
    std::string TypeText() const { return type_.get_text(); }
    std::string SizeLabel() const { return size_.get_text(); }
    // The page's size in bytes once it has been read.
    std::optional<size_t> PageSize() const { return page_size_; }

  private:
    Gtk::Label address_;
    Gtk::Label title_;
    Gtk::Label type_;
    Gtk::Label size_;
    std::optional<size_t> page_size_;
    GCancellable* cancellable_;
};

class SourceWindow : public Gtk::Window {
  public:
    SourceWindow(Gtk::Window& owner, WebBrowser& browser);
    ~SourceWindow() override;

    std::string Text() const;
    bool Loaded() const { return loaded_; }

  private:
    Gtk::ScrolledWindow scroller_;
    Gtk::TextView text_;
    bool loaded_ = false;
    GCancellable* cancellable_;
};

}  // namespace q3::browser
