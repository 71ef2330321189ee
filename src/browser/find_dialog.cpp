#include "browser/find_dialog.h"

#include <gtkmm/box.h>
#include <gtkmm/grid.h>

#include <algorithm>
#include <cstdio>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/translation.h"

namespace q3::browser {
namespace {

enum Response { kNext = 1, kPrevious = 2 };

// Plenty for a page; WebKit stops counting beyond it.
constexpr guint kMaxMatches = 1000;

// Room left between the dialog and the page's edge.
constexpr int kMargin = 16;

// The selected match's box in the view's CSS pixels, as "[l,t,r,b]"; WebKit
// selects what its find controller found.
constexpr const char* kMatchBoxScript =
    "(() => { const s = getSelection(); if (!s || !s.rangeCount) return null;"
    " const r = s.getRangeAt(0).getBoundingClientRect();"
    " return [r.left, r.top, r.right, r.bottom]; })()";

// The view's place on the screen.
Gdk::Rectangle ScreenBox(GtkWidget* view) {
    GdkWindow* window = gtk_widget_get_window(view);
    if (window == nullptr)
        return {};
    GtkAllocation a;
    gtk_widget_get_allocation(view, &a);
    int x = 0, y = 0;
    gdk_window_get_origin(window, &x, &y);
    if (!gtk_widget_get_has_window(view)) {
        x += a.x;
        y += a.y;
    }
    return {x, y, a.width, a.height};
}

}  // namespace

FindDialog::FindDialog(Gtk::Window& owner)
    : Gtk::Dialog(_("查找"), owner, false),
      prompt_(_("查找内容(N):"), true),
      match_case_(_("区分大小写(C)"), true) {
    set_resizable(false);
    prompt_.set_mnemonic_widget(entry_);
    entry_.set_activates_default(true);
    entry_.set_width_chars(28);
    auto* grid = Gtk::manage(new Gtk::Grid());
    grid->set_row_spacing(6);
    grid->set_column_spacing(6);
    grid->set_border_width(8);
    grid->attach(prompt_, 0, 0);
    grid->attach(entry_, 1, 0);
    grid->attach(match_case_, 1, 1);
    grid->attach(result_, 1, 2);
    result_.set_xalign(0);
    get_content_area()->pack_start(*grid, true, true);
    previous_ = add_button(_("上一个(P)"), kPrevious);
    next_ = add_button(_("查找下一个(F)"), kNext);
    add_button(_("取消"), Gtk::RESPONSE_CANCEL);
    previous_->set_use_underline(true);
    next_->set_use_underline(true);
    set_default_response(kNext);
    signal_response().connect([this](int response) {
        if (response == kNext || response == kPrevious) {
            OnFindNext(response == kPrevious);
        } else {
            if (finder_)
                webkit_find_controller_search_finish(finder_);
            hide();
        }
    });
    show_all_children();
}

FindDialog::~FindDialog() {
    Unbind();
}

void FindDialog::Bind(WebBrowser& browser) {
    if (browser.View() == view_)
        return;
    Unbind();
    view_ = WEBKIT_WEB_VIEW(g_object_ref(browser.View()));
    finder_ = WEBKIT_FIND_CONTROLLER(g_object_ref(webkit_web_view_get_find_controller(view_)));
    g_signal_connect(finder_, "found-text", G_CALLBACK(HandleFound), this);
    g_signal_connect(finder_, "failed-to-find-text", G_CALLBACK(HandleFailed), this);
    g_signal_connect(finder_, "counted-matches", G_CALLBACK(HandleCounted), this);
    searched_.clear();
    match_count_ = -1;
    last_found_ = false;
    result_.set_text("");
}

void FindDialog::PlaceBesidePage() {
    if (view_ == nullptr)
        return;
    const Gdk::Rectangle page = ScreenBox(GTK_WIDGET(view_));
    if (page.get_width() == 0)
        return;
    int width = 0, height = 0;
    get_size(width, height);
    set_position(Gtk::WIN_POS_NONE);
    move(std::max(page.get_x(), page.get_x() + page.get_width() - width - kMargin),
         page.get_y() + kMargin);
}

void FindDialog::KeepMatchInSight() {
    WebBrowser* browser = view_ != nullptr ? WebBrowser::FromView(view_) : nullptr;
    if (browser == nullptr)
        return;
    std::weak_ptr<int> alive = alive_;
    RunPageScript(*browser, kMatchBoxScript, [this, alive](std::optional<std::string> json) {
        double l = 0, t = 0, r = 0, b = 0;
        if (alive.expired() || !json ||
            std::sscanf(json->c_str(), "[%lf,%lf,%lf,%lf]", &l, &t, &r, &b) != 4 ||
            view_ == nullptr) {
            return;
        }
        const double zoom = webkit_web_view_get_zoom_level(view_);
        const Gdk::Rectangle page = ScreenBox(GTK_WIDGET(view_));
        AvoidRectangle(Gdk::Rectangle(page.get_x() + static_cast<int>(l * zoom),
                                      page.get_y() + static_cast<int>(t * zoom),
                                      std::max(1, static_cast<int>((r - l) * zoom)),
                                      std::max(1, static_cast<int>((b - t) * zoom))));
    });
}

void FindDialog::AvoidRectangle(const Gdk::Rectangle& match) {
    if (!get_visible() || view_ == nullptr)
        return;
    int x = 0, y = 0, width = 0, height = 0;
    get_position(x, y);
    get_size(width, height);
    Gdk::Rectangle dialog(x, y, width, height);
    if (!dialog.intersects(match))
        return;
    // The other end of the page from the match: below it when the match
    // sits in the upper half, else above it.
    const Gdk::Rectangle page = ScreenBox(GTK_WIDGET(view_));
    const bool match_above =
        match.get_y() + match.get_height() / 2 < page.get_y() + page.get_height() / 2;
    const int to = match_above ? std::max(match.get_y() + match.get_height() + kMargin,
                                          page.get_y() + page.get_height() - height - kMargin)
                               : std::min(match.get_y() - height - kMargin, page.get_y() + kMargin);
    move(x, to);
}

void FindDialog::Unbind() {
    if (finder_ != nullptr) {
        g_signal_handlers_disconnect_by_data(finder_, this);
        webkit_find_controller_search_finish(finder_);
        g_object_unref(finder_);
        finder_ = nullptr;
    }
    if (view_ != nullptr) {
        g_object_unref(view_);
        view_ = nullptr;
    }
}

void FindDialog::Search(const std::string& text, bool backwards) {
    if (finder_ == nullptr || text.empty())
        return;
    const bool match_case = match_case_.get_active();
    if (text == searched_ && match_case == searched_case_) {
        if (backwards) {
            webkit_find_controller_search_previous(finder_);
        } else {
            webkit_find_controller_search_next(finder_);
        }
        return;
    }
    searched_ = text;
    searched_case_ = match_case;
    match_count_ = -1;
    last_found_ = false;
    guint options = WEBKIT_FIND_OPTIONS_WRAP_AROUND;
    if (!match_case)
        options |= WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE;
    if (backwards)
        options |= WEBKIT_FIND_OPTIONS_BACKWARDS;
    webkit_find_controller_search(finder_, text.c_str(), options, kMaxMatches);
    webkit_find_controller_count_matches(finder_, text.c_str(), options, kMaxMatches);
}

void FindDialog::OnFindNext(bool backwards) {
    Search(entry_.get_text(), backwards);
}

void FindDialog::ShowResult() {
    if (!last_found_) {
        result_.set_text(FilledText(_("找不到\"%s\""), searched_));
    } else if (match_count_ >= 0) {
        result_.set_text(FilledText(_("共 %s 处"), std::to_string(match_count_)));
    } else {
        result_.set_text("");
    }
}

void FindDialog::HandleFound(WebKitFindController*, guint, gpointer self) {
    auto& dialog = *static_cast<FindDialog*>(self);
    dialog.last_found_ = true;
    dialog.ShowResult();
    dialog.KeepMatchInSight();
}

void FindDialog::HandleFailed(WebKitFindController*, gpointer self) {
    auto& dialog = *static_cast<FindDialog*>(self);
    dialog.last_found_ = false;
    dialog.match_count_ = 0;
    dialog.ShowResult();
}

void FindDialog::HandleCounted(WebKitFindController*, guint count, gpointer self) {
    auto& dialog = *static_cast<FindDialog*>(self);
    dialog.match_count_ = static_cast<int>(count);
    dialog.ShowResult();
}

}  // namespace q3::browser
