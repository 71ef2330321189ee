// The colour scheme menu of the main window: one radio group whose clicked
// entry's mark is inverted, the colour stored, the custom colour dialog.
#include <gtest/gtest.h>

#include "browser/page_helpers.h"
#include "common/shell.h"
#include "reader/forms/tab_painter.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

using ReaderColor = ReaderTest;

constexpr const char* kKey = "SOFTWARE\\Tarvik\\Quillon3";
constexpr const char* kValue = "FackColor-Quillon3";

std::vector<bool> Marks(Tfm_Quillon3& w) {
    std::vector<bool> marks;
    for (Gtk::CheckMenuItem* item : w.color_scheme_items)
        marks.push_back(item->get_active());
    return marks;
}

TEST_F(ReaderColor, MenuHoldsTheFiveEntriesInOrder) {
    ReaderSession s;
    const char* captions[] = {"默认", "粉蓝", "粉绿", "粉红", "自定义"};
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i) {
        EXPECT_EQ(s.window().color_scheme_items[i]->get_label(), captions[i]);
        EXPECT_TRUE(s.window().color_scheme_items[i]->get_draw_as_radio());
    }
}

TEST_F(ReaderColor, ChoosingAnEntrySetsStoresAndRecolours) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    w.color_scheme_items[ColorSchemeMenu::kLightGreenEntry]->activate();
    EXPECT_EQ(w.Color(), 0xDDFFDDu);
    EXPECT_EQ(Marks(w), (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(ReadHkcuInteger(kKey, kValue, -1), 0xDDFFDD);
    // The navigation window takes the colour, and so does the ad page's style.
    EXPECT_EQ(s.nav().Color(), 0xDDFFDDu);
    EXPECT_NE(w.AdBodyStyle().find("background-color: #DDFFDD"), std::string::npos);
    // The ad page's body takes that style, ad or no ad, also when the ad
    // strip's browser is made after the change.
    EXPECT_EQ(w.ad_browser, nullptr);
    std::optional<std::string> style;
    bool answered = false;
    browser::RunPageScript(w.EnsureAdBrowser(), "document.body.getAttribute('style')",
                           [&](std::optional<std::string> json) {
                               style = std::move(json);
                               answered = true;
                           });
    ASSERT_TRUE(PumpUntil([&] { return answered; }, std::chrono::seconds(10)));
    ASSERT_TRUE(style.has_value());
    EXPECT_NE(style->find("font-size: 12px"), std::string::npos) << *style;
    EXPECT_NE(style->find("221, 255, 221"), std::string::npos) << *style;
}

TEST_F(ReaderColor, ClickingTheCheckedEntryLeavesNoneChecked) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    w.color_scheme_items[ColorSchemeMenu::kLightBlueEntry]->activate();
    EXPECT_EQ(Marks(w), (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(w.Color(), 0xF0CAA6u);
    EXPECT_EQ(ReadHkcuInteger(kKey, kValue, -1), 0xF0CAA6);
}

TEST_F(ReaderColor, DefaultEntryIsTheButtonFaceSystemColour) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    w.color_scheme_items[ColorSchemeMenu::kDefault]->activate();
    const auto button_face = browser::SystemColorRef(browser::SystemColor::kButtonFace);
    EXPECT_EQ(w.Color(), button_face);
    EXPECT_EQ(static_cast<browser::WindowColor>(ReadHkcuInteger(kKey, kValue, -1)), button_face);
}

TEST_F(ReaderColor, CancelledCustomColourChangesNothing) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    w.color_scheme_items[ColorSchemeMenu::kCustom]->activate();  // the double cancels
    ASSERT_EQ(dialogs_->colour_starts.size(), 1u);
    EXPECT_EQ(dialogs_->colour_starts[0], 0xF0CAA6u);
    EXPECT_EQ(w.Color(), 0xF0CAA6u);
    EXPECT_EQ(Marks(w), (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(ReadHkcuInteger(kKey, kValue, -1), -1);
}

TEST_F(ReaderColor, ConfirmedCustomColourIsUsedAndStored) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    dialogs_->color_answers.push_back(0x00336699);
    w.color_scheme_items[ColorSchemeMenu::kCustom]->activate();
    EXPECT_EQ(w.Color(), 0x00336699u);
    EXPECT_EQ(Marks(w), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(ReadHkcuInteger(kKey, kValue, -1), 0x00336699);
}

}  // namespace
}  // namespace q3::reader::testing
