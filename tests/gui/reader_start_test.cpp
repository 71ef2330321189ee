// Start-up and shutdown of the main window: what the first start looks
// like, the command-line document, the colour kept between runs, the quit
// question and the files stored when the window goes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browser/browser_commands.h"
#include "browser/web_browser.h"
#include "common/app_paths.h"
#include "common/base_settings.h"
#include "common/registry_store.h"
#include "common/shell.h"
#include "page_input.h"
#include "reader/forms/pump.h"
#include "reader/forms/tab_painter.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

using ReaderStart = ReaderTest;

bool OnlyChecked(Tfm_Quillon3& w, std::size_t entry) {
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i) {
        if (ColorSchemeItem(w, i).get_active() != (i == entry))
            return false;
        if (w.ColorScheme().IsChecked(i) != (i == entry))
            return false;
    }
    return true;
}

std::string CurrentSideTab(Tfm_Quillon3& w) {
    return CurrentPageName(Named<Gtk::Notebook>(w, "side_bar"));
}

bool SideBarVisible(Tfm_Quillon3& w) {
    return Named<Gtk::Notebook>(w, "side_bar").get_visible();
}

TEST_F(ReaderStart, FirstStartWithAnEmptyRegistry) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(w.Color(), 0xF0CAA6u);
    EXPECT_TRUE(OnlyChecked(w, ColorSchemeMenu::kLightBlueEntry));
    EXPECT_FALSE(ActionChecked(w, "act_NavTree"));
    EXPECT_FALSE(SideBarVisible(w));
    EXPECT_EQ(CurrentSideTab(w), "resource_page");
    // The caption follows the home page once it is shown.
    EXPECT_TRUE(PumpUntil([&] { return w.get_title() == "首页 - Quillon3"; })) << w.get_title();
    EXPECT_EQ(SettingsKey(), "SOFTWARE\\Tarvik\\Quillon3");
    int width = 0, height = 0;
    w.get_size(width, height);
    EXPECT_EQ(width, 1016);
    EXPECT_EQ(height, 600);
    // The built-in resources, the second one expanded.
    EXPECT_EQ(RowCount(Named<Gtk::TreeView>(w, "resource_tree")), 2);
    EXPECT_EQ(w.CurrentBrowser(), &HomeBrowser(w));
    // No web view (and web process) for the ad strip before there is an ad.
    EXPECT_EQ(AdBrowser(w), nullptr);
    EXPECT_FALSE(ActionEnabled(w, "act_QBXComment"));
    EXPECT_FALSE(ActionVisible(w, "act_QBXShared"));
    EXPECT_TRUE(s.modules().server_module != nullptr);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(ReaderStart, EveryStartRegistersTheDocumentType) {
    ReaderSession s;
    const RegistryStore store = RegistryStore::ForUser();
    // Once the first page is shown: it does not wait for the registration.
    std::optional<RegistryKey> ext;
    EXPECT_TRUE(PumpUntil([&] {
        ext = RegistryKey::Open(store, RegistryHive::kClassesRoot, ".qbx");
        return ext.has_value();
    }));
    ASSERT_TRUE(ext.has_value());
    EXPECT_EQ(ext->ReadString(""), std::optional<std::string>("Quillon"));
    auto command =
        RegistryKey::Open(store, RegistryHive::kClassesRoot, "Quillon\\Shell\\Open\\Command");
    ASSERT_TRUE(command.has_value());
    const std::string text = command->ReadString("").value_or("");
    EXPECT_NE(text.find("\" \"%1\""), std::string::npos) << text;
}

TEST_F(ReaderStart, DocumentArgumentShowsItsFirstPageWithNoHomePageBefore) {
    const std::string book = WriteBook();
    ReaderSession s({book, "ignored-second-argument"});
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(CurrentSideTab(w), "books_page");
    EXPECT_TRUE(SideBarVisible(w));
    EXPECT_TRUE(ActionChecked(w, "act_NavTree"));
    ASSERT_NE(w.Server()->Document(), nullptr);
    EXPECT_EQ(w.Server()->Document()->FileName(), book);
    EXPECT_EQ(NodeCount(Named<Gtk::TreeView>(w, "contents_tree")), 4);
    EXPECT_TRUE(ActionEnabled(w, "act_QBXComment"));
    EXPECT_EQ(
        TabHint(Named<Gtk::Notebook>(w, "document_tabs"), Named<Gtk::Widget>(w, "contents_page")),
        book);
    // The first page is shown in the home browser, as its first page: no
    // home page (nor a blank page) was built and shown before it.
    EXPECT_TRUE(PumpUntil([&] {
        return HomeBrowser(w).LocationUrl() == "qbx://reader/cover.htm" && !HomeBrowser(w).Busy();
    })) << HomeBrowser(w).LocationUrl();
    EXPECT_TRUE(w.IsDocumentPage());
    EXPECT_FALSE(webkit_web_view_can_go_back(HomeBrowser(w).View()));
    EXPECT_EQ(ComboItems(Named<Gtk::ComboBox>(w, "address_box")), std::vector<std::string>{book});
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(ReaderStart, MissingDocumentArgumentOpensNothingAndSaysNothing) {
    ReaderSession s({(dir_.path() / "missing.qbx").string()});
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(CurrentSideTab(w), "resource_page");
    EXPECT_FALSE(SideBarVisible(w));
    EXPECT_EQ(w.Server()->Document(), nullptr);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(ReaderStart, ChosenColourIsStoredAndBackAtTheNextStart) {
    const std::string book = WriteBook();
    {
        ReaderSession s({book});
        ASSERT_NE(s.window().Server()->Document(), nullptr);  // also while a document is open
        ColorSchemeItem(s.window(), ColorSchemeMenu::kPinkEntry).activate();
        EXPECT_EQ(s.window().Color(), 0xB3B5FFu);
        EXPECT_EQ(ReadHkcuInteger("SOFTWARE\\Tarvik\\Quillon3", "FackColor-Quillon3", -1),
                  0xB3B5FF);
    }
    ReaderSession again;
    EXPECT_EQ(again.window().Color(), 0xB3B5FFu);
    EXPECT_TRUE(OnlyChecked(again.window(), ColorSchemeMenu::kPinkEntry));
}

TEST_F(ReaderStart, StoredColourOfNoSchemeIsTheCustomEntry) {
    WriteHkcuInteger("SOFTWARE\\Tarvik\\Quillon3", "FackColor-Quillon3", 0x00123456);
    ReaderSession s;
    EXPECT_EQ(s.window().Color(), 0x00123456u);
    EXPECT_TRUE(OnlyChecked(s.window(), ColorSchemeMenu::kCustom));
    EXPECT_EQ(s.window().ColorScheme().Tag(ColorSchemeMenu::kCustom), 0x00123456u);
}

TEST_F(ReaderStart, RegressionUnwritableRegistryDoesNotStopTheStart) {
    // The registry's folder cannot be made: a file stands in its place. The
    // document type cannot be registered, and that once skipped the rest of
    // the start, content server included.
    std::ofstream(ConfigHome() + "/quillon3") << "not a folder";
    const std::string book = WriteBook();
    ReaderSession s({book});
    Tfm_Quillon3& w = s.window();
    ASSERT_NE(w.Server(), nullptr);
    EXPECT_NE(w.Server()->Document(), nullptr);
    EXPECT_EQ(w.Color(), 0xF0CAA6u);
    EXPECT_TRUE(OnlyChecked(w, ColorSchemeMenu::kLightBlueEntry));
    ColorSchemeItem(w, ColorSchemeMenu::kPinkEntry).activate();  // cannot be stored; still used
    EXPECT_EQ(w.Color(), 0xB3B5FFu);
}

TEST_F(ReaderStart, RegressionColourValueOfAnotherTypeIsIgnored) {
    WriteHkcuString("SOFTWARE\\Tarvik\\Quillon3", "FackColor-Quillon3", "pink");
    ReaderSession s;
    EXPECT_EQ(s.window().Color(), 0xF0CAA6u);
    EXPECT_TRUE(OnlyChecked(s.window(), ColorSchemeMenu::kLightBlueEntry));
    EXPECT_NE(s.window().Server(), nullptr);
}

TEST_F(ReaderStart, CancelledQuitQuestionKeepsTheWindowAndStoresNothing) {
    ReaderSession s;
    dialogs_->message_answers.push_back(kIdCancel);
    Activate(s.window(), "act_exit");
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text, "确定要退出 Quillon3？");
    EXPECT_EQ(dialogs_->messages[0].caption, "Quillon3");
    EXPECT_EQ(dialogs_->messages[0].flags, kMbOkCancel | kMbIconQuestion);
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(s.window().get_visible());
    EXPECT_FALSE(std::filesystem::exists(DataFile("RURLs.dat")));
}

TEST_F(ReaderStart, CloseBoxAsksTheSameQuestion) {
    ReaderSession s;
    dialogs_->message_answers.push_back(kIdCancel);
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(s.window().get_window()->gobj()));
    gtk_main_do_event(event);
    gdk_event_free(event);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text, "确定要退出 Quillon3？");
    EXPECT_TRUE(s.window().get_visible());
    // OK this time: the window goes, still whole for the program's end.
    event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(s.window().get_window()->gobj()));
    gtk_main_do_event(event);
    gdk_event_free(event);
    EXPECT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_FALSE(s.window().get_visible());
    EXPECT_TRUE(std::filesystem::exists(DataFile("RURLs.dat")));
    s.Close();
    EXPECT_TRUE(std::filesystem::exists(DataFile("SearchKey.dat")));
}

TEST_F(ReaderStart, ConfirmedQuitStoresTheHistoryAndHidesTheWindow) {
    const std::string book = WriteBook();
    ReaderSession s({book});
    Activate(s.window(), "act_exit");
    EXPECT_FALSE(s.window().get_visible());
    ASSERT_TRUE(std::filesystem::exists(DataFile("RURLs.dat")));
    const std::string history = q3::testing::ReadFileBytes(DataFile("RURLs.dat"));
    EXPECT_NE(history.find(book), std::string::npos) << history;
}

TEST_F(ReaderStart, SearchWordsAreLoadedAtStartAndStoredWhenTheWindowGoes) {
    std::filesystem::create_directories(std::filesystem::path(DataFile("")).parent_path());
    { std::ofstream(DataFile("SearchKey.dat"), std::ios::binary) << "alpha\r\n中文\r\nbeta\r\n"; }
    ReaderSession s;
    auto& words = Named<Gtk::ComboBoxText>(s.window(), "search_word_box");
    EXPECT_EQ(ComboItems(words), (std::vector<std::string>{"alpha", "中文", "beta"}));
    words.append("gamma");
    s.Close();
    EXPECT_EQ(q3::testing::ReadFileBytes(DataFile("SearchKey.dat")),
              "alpha\r\n中文\r\nbeta\r\ngamma\r\n");
}

TEST_F(ReaderStart, HelpActionOpensTheHelpBookBesideTheProgram) {
    ReaderSession s;
    Activate(s.window(), "act_Help");
    ASSERT_NE(s.window().Server()->Document(), nullptr);
    EXPECT_EQ(s.window().Server()->Document()->FileName(), ReadOnlyDataDir() + "Quillon3.qbx");
    EXPECT_TRUE(SideBarVisible(s.window()));
    EXPECT_GT(NodeCount(Named<Gtk::TreeView>(s.window(), "contents_tree")), 0);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(ReaderStart, SoftwareUpdateActionGoesToTheMakersPageInTheCurrentBrowser) {
    ReaderSession s;
    std::string asked;
    HomeBrowser(s.window()).OnBeforeNavigate = [&](browser::WebBrowser&, const std::string& address,
                                                   bool& cancel) {
        if (address == "about:blank")
            return;  // the home page still being written
        asked = address;
        cancel = true;
    };
    Activate(s.window(), "act_Update");
    EXPECT_TRUE(PumpUntil([&] { return !asked.empty(); }, std::chrono::seconds(10)));
    EXPECT_EQ(asked, "https://www.quillon3.net/download/");
}

TEST_F(ReaderStart, CtrlFOnAShownPageOpensTheFindDialog) {
    ReaderSession s({WriteBook()});
    Tfm_Quillon3& w = s.window();
    ASSERT_TRUE(PumpUntil([&] { return w.IsDocumentPage() && !HomeBrowser(w).Busy(); }));
    EXPECT_EQ(w.PageCommands().Finder(), nullptr);
    SendKey(w, GDK_KEY_f, GDK_CONTROL_MASK);
    ASSERT_NE(w.PageCommands().Finder(), nullptr);
    EXPECT_TRUE(w.PageCommands().Finder()->get_visible());
}

TEST_F(ReaderStart, SideBarToggleFollowsTheCheckMark) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    Activate(w, "act_NavTree");
    EXPECT_TRUE(ActionChecked(w, "act_NavTree"));
    EXPECT_TRUE(SideBarVisible(w));
    // F12 reaches the action before any control sees it.
    SendKey(w, GDK_KEY_F12);
    EXPECT_FALSE(ActionChecked(w, "act_NavTree"));
    EXPECT_FALSE(SideBarVisible(w));
}

}  // namespace
}  // namespace q3::reader::testing
