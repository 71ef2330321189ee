// Opening documents and addresses, the current browser, the contents pages
// and the address history of the main window.
#include <glibmm/convert.h>
#include <glibmm/main.h>
#include <gtkmm/selectiondata.h>

#include <filesystem>

#include "browser/host_flags.h"
#include "browser/web_browser.h"
#include "common/gbk.h"
#include "common/text.h"
#include "icons/attach_image_list.h"
#include "icons/icon_list.h"
#include "icons/shell_icons.h"
#include "reader/main_window.h"
#include "reader/pump.h"
#include "reader/tab_painter.h"
#include "reader/window_contents_model.h"
#include "server/address_history.h"

namespace q3::reader {

namespace {

constexpr std::string_view kHttp = "http://";

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// What the browser is given for a local file: a file address.
std::string BrowserAddressOf(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        try {
            return Glib::filename_to_uri(path);
        } catch (const Glib::Error&) {
        }
    }
    return path;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return AsciiLower(a) == AsciiLower(b);
}

}  // namespace

browser::WebBrowser* Tfm_Quillon3::CurrentBrowser() {
    if (current_browser_ != nullptr && current_browser_->FullScreen())
        return current_browser_;
    current_browser_ = nullptr;
    const int active = pgc_Main.get_current_page();
    if (active < 0)
        return nullptr;
    auto* sheet = dynamic_cast<Gtk::Container*>(pgc_Main.get_nth_page(active));
    if (sheet == nullptr)
        return nullptr;
    std::vector<Gtk::Widget*> children = sheet->get_children();
    if (children.empty() || !WEBKIT_IS_WEB_VIEW(children.front()->gobj()))
        return nullptr;
    current_browser_ = browser::WebBrowser::FromView(WEBKIT_WEB_VIEW(children.front()->gobj()));
    return current_browser_;
}

bool Tfm_Quillon3::IsDocumentPage() {
    browser::WebBrowser* wb = CurrentBrowser();
    return wb != nullptr && StartsWith(wb->LocationUrl(), server::kUrlPrefix);
}

void Tfm_Quillon3::AddAddressHistory(const std::string& address) {
    // The history decides what is kept; the address box shows its items.
    const size_t known = address_history_.Items().size();
    const int index = address_history_.Add(address);
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= known)
        AddAddressItem(address_history_.Items()[static_cast<size_t>(index)]);
    selecting_history_ = true;
    pnl_addr.cbb_url.set_active(index);
    selecting_history_ = false;
}

void Tfm_Quillon3::AddAddressItem(const std::string& text) {
    int image = web_icon_index_;
    if (FileExists(text))
        image = icons::FileIconIndex(icons::kKindFile, text);
    pnl_addr.AddUrlItem(text, image);
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
            ShowMessageBox("文件已打开", kMbIconInformation);
            return;
        }
        if (FileExists(path)) {
            if (!is_qbx) {
                NavigateCurrent(path);
                return;
            }
            srv->FreeDocument();
        } else if (StartsWith(path, kHttp)) {
            NavigateCurrent(path);
            return;
        } else {
            ShowWarning("文件不存在：" + path);
            return;
        }
    } else if (StartsWith(path, kHttp)) {
        NavigateCurrent(path);
        return;
    }
    LoadDocument(path, is_qbx);
}

void Tfm_Quillon3::LoadDocument(const std::string& path, bool is_qbx) {
    server::Tdm_htServer& srv = *Server();
    const server::OpenOutcome outcome = srv.OpenDocument(
        path, [this](doc::TQBXManage&, std::string& password) { AskPassword(password); });
    if (outcome.kind == server::OpenOutcome::kOpenFailed) {
        if (is_qbx) {
            act_QBXComment.SetEnabled(false);
            act_QBXShared.SetEnabled(false);
            ShowWarning(outcome.message);
        }
        return;
    }
    if (outcome.kind == server::OpenOutcome::kContentsDamaged) {
        ShowWarning("文件目录已损坏.");
        return;
    }
    try {
        if (!SideBarShown())
            act_NavTree.Execute();
        if (IsDocumentPage()) {
            BuildHomePage();
            // Until the home page has replaced it, the engine may still name
            // the old document's page, and the new first page at the same
            // address would pass for shown.
            browser::WebBrowser* wb = CurrentBrowser();
            ProcessMessagesWhile(
                [this, wb] {
                    return wb != nullptr && CurrentBrowser() == wb &&
                           (wb->Busy() || wb->LocationUrl() != "about:blank");
                },
                std::chrono::seconds(5));
        }
        act_QBXComment.SetEnabled(true);
        ts_FullSearch.store->clear();
        // Another document opened while the contents let events run has
        // done all of this for itself.
        if (!srv.LoadContents(outcome.contents_text, *contents_model_))
            return;
        AddAddressHistory(path);
        SetTabHint(pgc_Main, tbs_htmlHome, path);
        SetTabHint(pgc_Nave, tbs_QbxDir, path);
        LoadBookmarks();
        srv.PurgeCache();
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.OpenQbx", e.what());
    }
    if (tbs_QbxDir.NodeCount() > 0)
        ShowFirstPage();
}

void Tfm_Quillon3::AskPassword(std::string& password) {
    std::string text = GbkToUtf8(password);
    if (ActiveDialogs().InputQuery(this, "输入密码", "请输入密码：   ", text, true)) {
        // A character the code page cannot hold makes the password not match.
        password = Utf8ToGbk(text).value_or(text);
    } else {
        password.clear();
    }
}

void Tfm_Quillon3::LoadBookmarks() {
    // The bookmarks of the opened document are loaded by the bookmark list.
    TabSheet7.store->clear();
}

void Tfm_Quillon3::ShowFirstPage() {
    pgc_Nave.set_current_page(pgc_Nave.page_num(tbs_QbxDir));
    Gtk::TreeIter found;
    tbs_QbxDir.store->foreach_iter([&](const Gtk::TreeIter& row) {
        if ((*row)[tbs_QbxDir.columns.entry] == nullptr)
            return false;
        found = row;
        return true;
    });
    if (!found)
        return;
    Gtk::TreePath path = tbs_QbxDir.store->get_path(found);
    tbs_QbxDir.tv_dirlist.expand_to_path(path);
    tbs_QbxDir.tv_dirlist.get_selection()->select(found);
    ProcessMessages();
    ContentsClick();
}

void Tfm_Quillon3::ContentsClick() {
    if (Server() == nullptr || Server()->Document() == nullptr)
        return;
    Gtk::TreeIter row = tbs_QbxDir.tv_dirlist.get_selection()->get_selected();
    if (row)
        ShowEntry((*row)[tbs_QbxDir.columns.entry], "");
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
    if (AsciiLower(PercentDecode(current)) == AsciiLower(target))
        return false;
    if (IsDocumentPage())
        PurgeUrlCache(wb->LocationUrl());
    wb->Navigate(target, browser::navNoReadFromCache | browser::navNoWriteToCache);
    return true;
}

void Tfm_Quillon3::StepEntry(bool forward) {
    std::vector<Gtk::TreeIter> order;
    tbs_QbxDir.store->foreach_iter([&](const Gtk::TreeIter& row) {
        order.push_back(row);
        return false;
    });
    if (order.empty())
        return;
    Gtk::TreeIter selected = tbs_QbxDir.tv_dirlist.get_selection()->get_selected();
    size_t at = 0;
    for (size_t i = 0; selected && i < order.size(); ++i) {
        if (order[i] == selected)
            at = i;
    }
    if (forward ? at + 1 >= order.size() : at == 0)
        return;
    Gtk::TreeIter target = order[forward ? at + 1 : at - 1];
    tbs_QbxDir.tv_dirlist.expand_to_path(tbs_QbxDir.store->get_path(target));
    tbs_QbxDir.tv_dirlist.get_selection()->select(target);
    ContentsClick();
}

void Tfm_Quillon3::SyncAddressHistory(bool load) {
    const std::string file = AddressHistoryFile();
    bool ok = false;
    server::AddressHistory loaded(FileExists);
    try {
        // Reading a path that is no plain file throws from the stream.
        ok = load ? loaded.Load(file) : address_history_.Store(file);
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.SyncAddressHistory", e.what());
    }
    if (!ok) {
        ShowMessageBox(std::string(server::kHistoryFileError), kMbIconInformation);
        return;
    }
    if (load) {
        for (const std::string& item : loaded.Items())
            AddAddressHistory(item);
    }
}

void Tfm_Quillon3::StartUpdateCheck() {
    // The update check runs once on its own thread and posts its answer to
    // this window; it is started by the online services.
}

void Tfm_Quillon3::AttachAddressIcons() {
    icons::AttachSystemImageList(pnl_addr.cbb_url, pnl_addr.url_columns.image, icons::kSmallIcon);
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
        if (FileExists(file))
            Glib::signal_idle().connect_once([this, file] { OpenQbx(file); });
    });
}

void Tfm_Quillon3::WireControls() {
    pgc_navTree.signal_button_press_event().connect(
        [this](GdkEventButton* e) {
            if (e->type != GDK_BUTTON_PRESS || e->button != 3)
                return false;
            pm_pgc_navTree.popup_at_pointer(reinterpret_cast<GdkEvent*>(e));
            return true;
        },
        false);
    tbs_QbxDir.tv_dirlist.signal_button_press_event().connect(
        [this](GdkEventButton* e) {
            if (e->type != GDK_BUTTON_PRESS || e->button != 3)
                return false;
            pm_pgcNave.popup_at_pointer(reinterpret_cast<GdkEvent*>(e));
            return true;
        },
        false);
    tbs_QbxDir.tv_dirlist.signal_row_activated().connect(
        [this](const Gtk::TreePath&, Gtk::TreeViewColumn*) { ContentsClick(); });
    tbs_QbxDir.tv_dirlist.signal_button_release_event().connect([this](GdkEventButton* e) {
        if (e->button == 1)
            ContentsClick();
        return false;
    });
    pgc_Main.signal_button_press_event().connect(
        [this](GdkEventButton* e) {
            if (e->button == 3 && e->type == GDK_BUTTON_PRESS) {
                pm_Main.popup_at_pointer(reinterpret_cast<GdkEvent*>(e));
                return true;
            }
            if (e->button == 1 && e->type == GDK_2BUTTON_PRESS) {
                act_CloseWeb.Execute();
                return true;
            }
            return false;
        },
        false);
    img2Box.signal_button_release_event().connect([this](GdkEventButton*) {
        GoToAddress(img2Box.get_tooltip_text());
        return true;
    });
    tbs_EbookNav.tv_Ebooks.signal_button_release_event().connect([this](GdkEventButton* e) {
        const ResourceEntry* entry = tbs_EbookNav.SelectedEntry();
        browser::WebBrowser* wb = CurrentBrowser();
        if (e->button == 1 && entry != nullptr && wb != nullptr && !entry->link.empty()) {
            wb->Navigate(entry->link.substr(0, 255));
        }
        return false;
    });
    WireAddressBox();
    WireIndexPane();
    pgc_Main.signal_switch_page().connect([this](Gtk::Widget*, guint) { TabChange(); }, true);
    mni_ScriptOff->signal_toggled().connect([this] {
        if (browser::WebBrowser* wb = CurrentBrowser())
            wb->SetSilent(mni_ScriptOff->get_active());
    });
}

void Tfm_Quillon3::GoToAddress(const std::string& text) {
    if (FileExists(text)) {
        OpenQbx(text);
        return;
    }
    if (pgc_Main.get_current_page() < 0)
        return;
    if (AsciiLower(text) == "about:blank") {
        BuildHomePage();
        return;
    }
    NavigateCurrent(text);
}

}  // namespace q3::reader
