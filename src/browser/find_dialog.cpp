#include "browser/find_dialog.h"

#include <gtkmm/box.h>
#include <gtkmm/grid.h>

#include "browser/web_browser.h"

namespace q3::browser {
namespace {

enum Response { kNext = 1, kPrevious = 2 };

// Plenty for a page; WebKit stops counting beyond it.
constexpr guint kMaxMatches = 1000;

}  // namespace

FindDialog::FindDialog(Gtk::Window& owner)
    : Gtk::Dialog("查找", owner, false),
      prompt_("查找内容(N):", true),
      match_case_("区分大小写(C)", true) {
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
    previous_ = add_button("上一个(P)", kPrevious);
    next_ = add_button("查找下一个(F)", kNext);
    add_button("取消", Gtk::RESPONSE_CANCEL);
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
        result_.set_text("找不到\"" + searched_ + "\"");
    } else if (match_count_ >= 0) {
        result_.set_text("共 " + std::to_string(match_count_) + " 处");
    } else {
        result_.set_text("");
    }
}

void FindDialog::HandleFound(WebKitFindController*, guint, gpointer self) {
    auto& dialog = *static_cast<FindDialog*>(self);
    dialog.last_found_ = true;
    dialog.ShowResult();
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
