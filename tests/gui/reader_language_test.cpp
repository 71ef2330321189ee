// The interface's language as the program chooses it at start: Chinese
// unless English is asked for, whatever the desktop's locale says.
#include <gtest/gtest.h>

#include <gtkmm/menuitem.h>
#include <gtkmm/radiomenuitem.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/base_settings.h"
#include "common/shell.h"
#include "common/translation.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

using Labels = std::vector<std::string>;

// Chooses the language as the program does before it makes its windows,
// and goes back to Chinese afterwards.
class Language : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        for (const char* name :
             {"QUILLON3_LANGUAGE", "LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
            if (const char* value = std::getenv(name))
                saved_.emplace_back(name, value);
            unsetenv(name);
        }
    }
    void TearDown() override {
        UseInterfaceLanguage(InterfaceLanguage::kChinese, "");
        for (const char* name : {"QUILLON3_LANGUAGE", "LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            unsetenv(name);
        for (const auto& [name, value] : saved_)
            setenv(name.c_str(), value.c_str(), 1);
        ReaderTest::TearDown();
    }

  private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

Labels MenuBarLabels(Tfm_Quillon3& w) {
    Labels out;
    for (const char* name : {"mni_File", "mni_Edit", "mni_View", "mni_Tools", "mni_Help"})
        out.push_back(std::string(Named<Gtk::MenuItem>(w, name).get_label()));
    return out;
}

std::string AccessibleName(Gtk::Widget& widget) {
    return std::string(widget.get_accessible()->get_name());
}

TEST_F(Language, TheVariableAsksForEnglish) {
    setenv("QUILLON3_LANGUAGE", "en", 1);
    UseChosenInterfaceLanguage();
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(MenuBarLabels(w), (Labels{"File", "Edit", "View", "Tools", "Help"}));
    EXPECT_EQ(std::string(Named<Gtk::MenuItem>(w, "act_openfile").get_label()), "Open...");
    EXPECT_EQ(std::string(Named<Gtk::MenuItem>(w, "act_openfile").get_tooltip_text()),
              "Open a file");
    EXPECT_EQ(AccessibleName(Named<Gtk::Widget>(w, "contents_tree")), "Contents");
}

TEST_F(Language, AnEnglishDesktopStaysChinese) {
    setenv("LANG", "en_US.UTF-8", 1);
    UseChosenInterfaceLanguage();
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    EXPECT_EQ(MenuBarLabels(w), (Labels{"文件", "编辑", "视图", "工具", "帮助"}));
    EXPECT_EQ(std::string(Named<Gtk::MenuItem>(w, "act_openfile").get_tooltip_text()), "打开文件");
    EXPECT_EQ(AccessibleName(Named<Gtk::Widget>(w, "contents_tree")), "目录");
}

TEST_F(Language, TheStoredChoiceAppliesAndTheVariableWins) {
    ASSERT_TRUE(WriteHkcuString(kQuillonSettingsKey, kLanguageSettingName, "en"));
    UseChosenInterfaceLanguage();
    {
        ReaderSession s;
        EXPECT_EQ(MenuBarLabels(s.window()), (Labels{"File", "Edit", "View", "Tools", "Help"}));
    }
    setenv("QUILLON3_LANGUAGE", "zh_CN", 1);
    UseChosenInterfaceLanguage();
    ReaderSession s;
    EXPECT_EQ(MenuBarLabels(s.window()), (Labels{"文件", "编辑", "视图", "工具", "帮助"}));
}

TEST_F(Language, TheToolsMenuStoresTheChoiceForTheNextStart) {
    UseChosenInterfaceLanguage();
    {
        ReaderSession s;
        Tfm_Quillon3& w = s.window();
        auto& chinese = Named<Gtk::RadioMenuItem>(w, "language_chinese_item");
        auto& english = Named<Gtk::RadioMenuItem>(w, "language_english_item");
        EXPECT_TRUE(chinese.get_active());
        // Showing the choice at start stores nothing.
        EXPECT_EQ(ReadHkcuString(kQuillonSettingsKey, kLanguageSettingName, "(none)"), "(none)");
        english.activate();
        EXPECT_TRUE(english.get_active());
        EXPECT_FALSE(chinese.get_active());
        EXPECT_EQ(ReadHkcuString(kQuillonSettingsKey, kLanguageSettingName, ""), "en");
        ASSERT_EQ(dialogs_->messages.size(), 1u);
        EXPECT_EQ(dialogs_->messages[0].text, "界面语言将在下次启动 Quillon3 时生效。");
        EXPECT_EQ(dialogs_->messages[0].flags, kMbIconInformation);
        // This run keeps the language it started with.
        EXPECT_EQ(MenuBarLabels(w), (Labels{"文件", "编辑", "视图", "工具", "帮助"}));
        s.Close();
    }
    UseChosenInterfaceLanguage();
    ReaderSession next;
    EXPECT_EQ(MenuBarLabels(next.window()), (Labels{"File", "Edit", "View", "Tools", "Help"}));
    EXPECT_TRUE(Named<Gtk::RadioMenuItem>(next.window(), "language_english_item").get_active());
    EXPECT_EQ(std::string(Named<Gtk::MenuItem>(next.window(), "language_item").get_label()),
              "Interface Language");
}

}  // namespace
}  // namespace q3::reader::testing
