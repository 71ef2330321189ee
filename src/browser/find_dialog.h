// The find-in-page dialog the main window owns: it searches the page of one
// browser with WebKit's find controller, highlighting every match.
#pragma once

#include <gdkmm/rectangle.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <string>

namespace q3::browser {

class WebBrowser;

class FindDialog : public Gtk::Dialog {
  public:
    explicit FindDialog(Gtk::Window& owner);
    ~FindDialog() override;

    // Searches this browser's page from now on; the view is held until the
    // dialog is bound to another one or freed, so a closed tab is harmless.
    void Bind(WebBrowser& browser);
    WebKitWebView* BoundView() const { return view_; }

    // UTF-8 text; searching again with the same text moves to the next match.
    void Search(const std::string& text, bool backwards = false);
    void SetMatchCase(bool on) { match_case_.set_active(on); }

    // What the last search came to: the number of matches (-1 before one
    // was counted) and whether the current step found anything.
    int MatchCount() const { return match_count_; }
    bool LastFound() const { return last_found_; }

    // Puts the dialog at the top right of the bound page, clear of the
    // middle where a match is most often shown.
    void PlaceBesidePage();

  private:
    void Unbind();
    // Moves the dialog to the other end of the page when it covers the
    // match that was just found.
    void KeepMatchInSight();
    void AvoidRectangle(const Gdk::Rectangle& match);
    void OnFindNext(bool backwards);
    void ShowResult();

    static void HandleFound(WebKitFindController*, guint count, gpointer self);
    static void HandleFailed(WebKitFindController*, gpointer self);
    static void HandleCounted(WebKitFindController*, guint count, gpointer self);

    Gtk::Label prompt_;
    Gtk::Entry entry_;
    Gtk::CheckButton match_case_;
    Gtk::Label result_;
    Gtk::Button* next_ = nullptr;
    Gtk::Button* previous_ = nullptr;

    WebKitWebView* view_ = nullptr;
    WebKitFindController* finder_ = nullptr;
    std::string searched_;
    bool searched_case_ = false;
    int match_count_ = -1;
    bool last_found_ = false;
    // Page scripts answer after the dialog may be gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace q3::browser
