// The colour scheme menu of the main window: one radio group whose clicked
// entry's mark is inverted, the colour stored, the custom colour dialog.
#include <gtest/gtest.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/toolbar.h>

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
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i)
        marks.push_back(ColorSchemeItem(w, i).get_active());
    return marks;
}

TEST_F(ReaderColor, MenuHoldsTheFiveEntriesInOrder) {
    ReaderSession s;
    const char* captions[] = {"默认", "粉蓝", "粉绿", "粉红", "自定义"};
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i) {
        EXPECT_EQ(ColorSchemeItem(s.window(), i).get_label(), captions[i]);
        EXPECT_TRUE(ColorSchemeItem(s.window(), i).get_draw_as_radio());
    }
}

TEST_F(ReaderColor, ChoosingAnEntrySetsStoresAndRecolours) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ColorSchemeItem(w, ColorSchemeMenu::kLightGreenEntry).activate();
    EXPECT_EQ(w.Color(), 0xDDFFDDu);
    EXPECT_EQ(Marks(w), (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(ReadHkcuInteger(kKey, kValue, -1), 0xDDFFDD);
    // The navigation window takes the colour, and so does the ad page's style.
    EXPECT_EQ(s.nav().Color(), 0xDDFFDDu);
    EXPECT_NE(w.AdBodyStyle().find("background-color: #DDFFDD"), std::string::npos);
    // Without an advertisement there is no ad page to restyle, and no ad
    // browser is made for it (the online tests restyle a shown ad).
    EXPECT_EQ(AdBrowser(w), nullptr);
}

TEST_F(ReaderColor, ClickingTheCheckedEntryLeavesNoneChecked) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ColorSchemeItem(w, ColorSchemeMenu::kLightBlueEntry).activate();
    EXPECT_EQ(Marks(w), (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(w.Color(), 0xF0CAA6u);
    EXPECT_EQ(ReadHkcuInteger(kKey, kValue, -1), 0xF0CAA6);
}

TEST_F(ReaderColor, DefaultEntryIsTheButtonFaceSystemColour) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ColorSchemeItem(w, ColorSchemeMenu::kDefault).activate();
    const auto button_face = browser::SystemColorRef(browser::SystemColor::kButtonFace);
    EXPECT_EQ(w.Color(), button_face);
    EXPECT_EQ(static_cast<browser::WindowColor>(ReadHkcuInteger(kKey, kValue, -1)), button_face);
}

TEST_F(ReaderColor, CancelledCustomColourChangesNothing) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ColorSchemeItem(w, ColorSchemeMenu::kCustom).activate();  // the double cancels
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
    ColorSchemeItem(w, ColorSchemeMenu::kCustom).activate();
    EXPECT_EQ(w.Color(), 0x00336699u);
    EXPECT_EQ(Marks(w), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(ReadHkcuInteger(kKey, kValue, -1), 0x00336699);
}

// The colour a widget's text is drawn in, as 0x00BBGGRR.
browser::WindowColor TextColour(Gtk::Widget& widget) {
    const Gdk::RGBA c = widget.get_style_context()->get_color(widget.get_state_flags());
    const auto channel = [](double v) { return static_cast<browser::WindowColor>(v * 255 + 0.5); };
    return channel(c.get_red()) | channel(c.get_green()) << 8 | channel(c.get_blue()) << 16;
}

// The labels of every caption the colour paints: the menu bar, the tool
// bar, the address row, the side bar's panes and the status bar.
std::vector<Gtk::Label*> PaintedCaptions(Gtk::Widget& widget, std::vector<Gtk::Label*> found = {}) {
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget)) {
        if (label->is_visible() && !label->get_text().empty())
            found.push_back(label);
    }
    // Buttons with a ground of their own are the theme's to colour.
    if (dynamic_cast<Gtk::Button*>(&widget) != nullptr &&
        widget.get_ancestor(GTK_TYPE_TOOLBAR) == nullptr)
        return found;
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
        for (Gtk::Widget* child : container->get_children())
            found = PaintedCaptions(*child, std::move(found));
    }
    return found;
}

// Regression: under a black custom colour the menu bar, the tool bar's
// captions, "地址" and the panes' labels stayed dark on dark.
TEST_F(ReaderColor, RegressionEveryCaptionReadsOnABlackCustomColour) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    Activate(w, "act_NavTree");  // the side bar with its panes
    dialogs_->color_answers.push_back(0x00000000);
    ColorSchemeItem(w, ColorSchemeMenu::kCustom).activate();
    ASSERT_EQ(w.Color(), 0u);
    PumpFor(std::chrono::milliseconds(200));
    const std::vector<Gtk::Label*> captions = PaintedCaptions(w);
    ASSERT_GT(captions.size(), 10u);
    bool address_label = false;
    for (Gtk::Label* label : captions) {
        address_label |= label->get_text() == "地址 ";
        EXPECT_GE(browser::ContrastRatio(TextColour(*label), w.Color()), browser::kReadableContrast)
            << "\"" << label->get_text() << "\" (" << label->get_name() << ")";
    }
    EXPECT_TRUE(address_label);
    // A button that keeps its own light ground keeps dark text.
    Gtk::Label* show_index =
        dynamic_cast<Gtk::Label*>(Named<Gtk::Button>(w, "show_index_button").get_child());
    ASSERT_NE(show_index, nullptr);
    EXPECT_GE(browser::ContrastRatio(TextColour(*show_index), 0xFFFFFF),
              browser::kReadableContrast);
}

}  // namespace
}  // namespace q3::reader::testing
