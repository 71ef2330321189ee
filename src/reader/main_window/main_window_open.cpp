// Opening documents and addresses, the current browser, the contents pages
// and the address history of the main window.
#include <glibmm/convert.h>
#include <glibmm/main.h>
#include <gtkmm/selectiondata.h>

#include <filesystem>

#include "browser/host_flags.h"
#include "browser/web_browser.h"
#include "common/addresses.h"
#include "common/app_paths.h"
#include "common/gbk.h"
#include "common/text.h"
#include "common/translation.h"
#include "icons/attach_image_list.h"
#include "icons/icon_list.h"
#include "icons/shell_icons.h"
#include "reader/forms/pump.h"
#include "reader/forms/shell_open.h"
#include "reader/forms/tab_painter.h"
#include "reader/main_window/main_window.h"
#include "reader/main_window/main_window_resume.h"
#include "reader/main_window/window_contents_model.h"
#include "server/address_history.h"
#include "server/link_rules.h"

namespace q3::reader {

namespace {

// What the browser is given for a local file: a file address; an address
// shown readable goes back in its escaped form.
std::string BrowserAddressOf(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        try {
            return Glib::filename_to_uri(path);
        } catch (const Glib::Error&) {
        }
    }
    return NavigableAddress(path);
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return AsciiLower(a) == AsciiLower(b);
}

}  // namespace

browser::WebBrowser* Tfm_Quillon3::CurrentBrowser() {
    return page_tabs_.Current();
}

bool Tfm_Quillon3::IsDocumentPage() {
    browser::WebBrowser* wb = CurrentBrowser();
    return wb != nullptr && wb->LocationUrl().starts_with(server::kUrlPrefix);
}

void Tfm_Quillon3::AddAddressHistory(const std::string& address) {
    // The history decides what is kept; the address box shows its items.
    const size_t known = address_history_.Items().size();
    const int index = address_history_.Add(DisplayAddress(address));
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= known)
        AddAddressItem(address_history_.Items()[static_cast<size_t>(index)]);
    address_panel_.SelectUrlItem(index);
}

void Tfm_Quillon3::AddAddressItem(const std::string& text) {
    int image = web_icon_index_;
    if (IsRegularFile(text))
        image = icons::FileIconIndex(icons::kKindFile, text);
    address_panel_.AddUrlItem(text, image);
}

void Tfm_Quillon3::NavigateCurrent(const std::string& address) {
    if (browser::WebBrowser* wb = CurrentBrowser())
        wb->Navigate(BrowserAddressOf(address));
    AddAddressHistory(address);
}

void Tfm_Quillon3::OpenQbx(const std::string& path) {
    server::Tdm_htServer* srv = Server();
    if (srv == nullptr)
        return;
    const bool is_qbx = AsciiLower(FileExtension(path)) == ".qbx";
    if (srv->Document() != nullptr) {
        if (SameFile(srv->Document()->FileName(), path)) {
            ShowMessageBox(_("文件已打开"), kMbIconInformation);
            return;
        }
        if (IsRegularFile(path)) {
            if (!is_qbx) {
                NavigateCurrent(path);
                return;
            }
        } else if (IsWebAddress(path)) {
            NavigateCurrent(path);
            return;
        } else {
            ShowWarning(_("文件不存在：") + path);
            return;
        }
    } else if (IsWebAddress(path)) {
        NavigateCurrent(path);
        return;
    }
    LoadDocument(path, is_qbx);
}

void Tfm_Quillon3::LoadDocument(const std::string& path, bool is_qbx) {
    server::Tdm_htServer& srv = *Server();
    resume_->LeaveBook();
    // The open book stays in service, its file locked, until the new one has
    // opened: its password asked and its contents read.
    std::optional<TBookAhead::Prepared> prepared = TakeBookAhead(path);
    server::OpenOutcome outcome =
        prepared ? std::move(prepared->result.outcome)
                 : srv.ReadyDocument(path, [this](doc::TQBXManage&, std::string& password) {
                       AskPassword(password);
                   });
    const bool book_open = srv.Document() != nullptr;
    if (outcome.kind == server::OpenOutcome::kOpenFailed) {
        if (is_qbx) {
            if (!book_open) {
                act_QBXComment.SetEnabled(false);
                act_QBXShared.SetEnabled(false);
            }
            ShowWarning(outcome.message);
        }
        return;
    }
    if (outcome.kind == server::OpenOutcome::kContentsDamaged) {
        // With no contents the new book has nothing to show: an open book
        // keeps its place; with none, the damaged one is open, as it always was.
        if (!book_open)
            srv.AdoptDocument(std::move(outcome.document));
        ShowWarning(_("文件目录已损坏."));
        return;
    }
    // Opened from inside the search's progress point: the walk ends before
    // the document it reads goes.
    side_bar_.Search().StopSearch();
    // A book read ahead brings its document with its contents.
    if (!prepared)
        srv.AdoptDocument(std::move(outcome.document));
    try {
        if (!SideBarShown())
            act_NavTree.Execute();
        // A page of the previous document stays in view until the new first
        // page replaces it, with no home page flashing in between; its
        // address may name the new first page too, which must load all the
        // same.
        page_from_older_document_ = IsDocumentPage();
        // Loads still on their way there would fetch their pages from the
        // new document and move its tree.
        if (page_from_older_document_)
            CurrentBrowser()->Stop();
        act_QBXComment.SetEnabled(true);
        side_bar_.Search().ClearResults();
        // Another document opened while the contents let events run has
        // done all of this for itself.
        if (prepared) {
            // The tree lets go of the old entries before they go.
            contents_model_->Clear();
            srv.AdoptContents(*prepared->result.server);
            contents_model_->ShowSealed(std::move(prepared->contents));
        } else if (!srv.LoadContents(outcome.contents_text, *contents_model_)) {
            return;
        }
        AddAddressHistory(path);
        page_tabs_.SetHint(page_tabs_.HomeBrowser(), path);
        side_bar_.SetDocumentPath(path);
        LoadBookmarks();
        srv.PurgeCache();
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.OpenQbx", e.what());
    }
    if (side_bar_.Contents().NodeCount() > 0 && !resume_->ShowRememberedPage())
        ShowFirstPage();
}

std::optional<TBookAhead::Prepared> Tfm_Quillon3::TakeBookAhead(const std::string& path) {
    if (!modules_.book_ahead)
        return std::nullopt;
    std::optional<TBookAhead::Prepared> prepared = modules_.book_ahead->Take(path);
    // Read ahead for the first open only; its thread is done with by now.
    modules_.book_ahead.reset();
    return prepared;
}

void Tfm_Quillon3::AskPassword(std::string& password) {
    std::string text = GbkToUtf8(password);
    if (ActiveDialogs().InputQuery(this, _("输入密码"), _("请输入密码：   "), text, true)) {
        // A character the code page cannot hold makes the password not match.
        password = Utf8ToGbk(text).value_or(text);
    } else {
        password.clear();
    }
}

void Tfm_Quillon3::LoadBookmarks() {
    side_bar_.Bookmarks().ClearBookmarks();
    side_bar_.Bookmarks().SyncBookmarks(true);
}

void Tfm_Quillon3::ShowFirstPage() {
    // The contents tab is only seen with the side bar's "我的电子书" page in
    // front, however the book was opened.
    side_bar_.ShowTab(SideTab::kContents);
    const TContentsData* contents = side_bar_.Contents().Data();
    if (contents == nullptr)
        return;
    const server::NodeId first = contents->outline.FirstWithEntry();
    if (!contents->outline.Valid(first))
        return;
    ChooseContentsNode(first);
    ProcessMessages();
    ContentsClick();
}

void Tfm_Quillon3::ChooseContentsEntry(const server::ContentsEntry& entry) {
    side_bar_.ShowTab(SideTab::kContents);
    if (entry.Node != server::kNoNode)
        ChooseContentsNode(entry.Node);
}

void Tfm_Quillon3::ChooseContentsNode(server::NodeId node) {
    // Notices of pages served before this choice must not take it back,
    // even when they run while events are let through before the click.
    ++selection_epoch_;
    side_bar_.Contents().SelectNode(node);
}

void Tfm_Quillon3::ContentsClick() {
    ++selection_epoch_;
    if (Server() == nullptr || Server()->Document() == nullptr)
        return;
    if (server::ContentsEntry* entry = side_bar_.Contents().SelectedEntry())
        ShowEntry(entry, "");
}

bool Tfm_Quillon3::ShowEntry(server::ContentsEntry* entry, const std::string& suffix) {
    browser::WebBrowser* wb = CurrentBrowser();
    if (entry == nullptr || entry->RecordNo == -1 || wb == nullptr)
        return false;
    std::string target = GbkToUtf8(std::string(server::kUrlPrefix) + std::string(entry->LocalPath));
    target += suffix;
    ReplaceChar(target, '\\', '/');
    std::string current = wb->HasDocument() ? wb->LocationUrl() : "about:blank";
    if (!current.empty() && current.back() == '/')
        current.pop_back();
    if (AsciiLower(PercentDecode(current)) == AsciiLower(target) && !page_from_older_document_)
        return false;
    page_from_older_document_ = false;
    if (IsDocumentPage())
        PurgeUrlCache(wb->LocationUrl());
    wb->Navigate(target, browser::navNoReadFromCache | browser::navNoWriteToCache);
    return true;
}

void Tfm_Quillon3::StepEntry(bool forward) {
    const TContentsData* contents = side_bar_.Contents().Data();
    if (contents == nullptr || contents->outline.NodeCount() == 0)
        return;
    const server::ContentsOutline& outline = contents->outline;
    server::NodeId at = side_bar_.Contents().SelectedNode();
    if (at == server::kNoNode)
        at = outline.Child(server::kNoNode, 0);
    const server::NodeId target =
        forward ? outline.NextInDisplayOrder(at) : outline.PreviousInDisplayOrder(at);
    if (!outline.Valid(target))
        return;
    ChooseContentsNode(target);
    ContentsClick();
}

void Tfm_Quillon3::SyncAddressHistory(bool load) {
    const std::string file = AddressHistoryFile();
    bool ok = false;
    server::AddressHistory loaded(IsRegularFile);
    try {
        // Reading a path that is no plain file throws from the stream.
        ok = load ? loaded.Load(file) : address_history_.Store(file);
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.SyncAddressHistory", e.what());
    }
    if (!ok) {
        ShowMessageBox(Tr(server::kHistoryFileError), kMbIconInformation);
        return;
    }
    if (load) {
        for (const std::string& item : loaded.Items())
            AddAddressHistory(item);
    }
}

void Tfm_Quillon3::AttachAddressIcons() {
    address_panel_.AttachIcons(icons::kSmallIcon);
    web_icon_index_ = icons::FileIconIndex(icons::kKindFile, "test.htm");
}

void Tfm_Quillon3::AcceptDroppedFiles() {
    std::vector<Gtk::TargetEntry> targets = {Gtk::TargetEntry("text/uri-list")};
    drag_dest_set(targets, Gtk::DEST_DEFAULT_ALL, Gdk::ACTION_COPY);
    signal_drag_data_received().connect([this](const Glib::RefPtr<Gdk::DragContext>&, int, int,
                                               const Gtk::SelectionData& data, guint, guint) {
        std::vector<Glib::ustring> uris = data.get_uris();
        if (uris.empty())
            return;
        std::string file;
        try {
            file = Glib::filename_from_uri(uris.front());
        } catch (const Glib::Error&) {
            return;
        }
        // Only the first dropped file counts.
        if (IsRegularFile(file))
            Glib::signal_idle().connect_once([this, file] { OpenQbx(file); });
    });
}

void Tfm_Quillon3::GoToAddress(const std::string& text) {
    if (IsRegularFile(text)) {
        OpenQbx(text);
        return;
    }
    if (page_tabs_.get_current_page() < 0)
        return;
    if (AsciiLower(text) == "about:blank") {
        BuildHomePage();
        return;
    }
    const std::string address = CompleteAddress(text);
    // Typed by the user, so it may start the desktop's program for it.
    if (server::IsDesktopAddress(address)) {
        ShellOpen(this, address);
        return;
    }
    NavigateCurrent(address);
}

}  // namespace q3::reader
