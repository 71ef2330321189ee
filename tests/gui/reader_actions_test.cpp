// The action table as the window carries it out: every row becomes the
// window's action of that name, and every shortcut the table gives runs
// exactly that action once, from a document page as a reader presses it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page_input.h"
#include "reader/rules/action_table.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

using Actions = ReaderTest;

std::vector<const ActionDef*> AllRows() {
    std::vector<const ActionDef*> rows;
    for (auto list : {MainActionDefs(), WebQbxActionDefs()}) {
        for (const ActionDef& row : list)
            rows.push_back(&row);
    }
    return rows;
}

TEST_F(Actions, EveryRowIsTheWindowsActionOfItsName) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    for (const ActionDef* row : AllRows()) {
        ASSERT_TRUE(HasAction(w, row->name)) << row->name;
        EXPECT_EQ(ActionRow(w, row->name), row) << row->name;
        EXPECT_EQ(ActionCaption(w, row->name), row->caption) << row->name;
        // The start changes check marks (it hides the side bar); what is
        // enabled waits for a document.
        EXPECT_EQ(ActionEnabled(w, row->name), row->enabled) << row->name;
    }
}

TEST_F(Actions, EachShortcutRunsItsActionOnceFromADocumentPage) {
    ReaderSession session({WriteBook()});
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Cover page"); }));
    // What ran instead of what the actions do (open dialogs, full screen,
    // closing the page): only which action a key reached matters here.
    std::vector<std::string> ran;
    for (const ActionDef* row : AllRows()) {
        ReplaceActionWork(w, row->name, [&ran](const std::string& name) { ran.push_back(name); });
        SetActionEnabled(w, row->name, true);
    }
    ASSERT_TRUE(TakeFocus(w, &wb.Widget()));
    int shortcuts = 0;
    for (const ActionDef* row : AllRows()) {
        if (row->shortcut.empty())
            continue;
        ++shortcuts;
        guint key = 0;
        GdkModifierType modifiers = GdkModifierType(0);
        gtk_accelerator_parse(std::string(row->shortcut).c_str(), &key, &modifiers);
        ASSERT_NE(key, 0u) << row->name << ": " << row->shortcut << " is no key";
        ran.clear();
        StrokeKey(w, key, modifiers);
        PumpFor(std::chrono::milliseconds(200));
        EXPECT_EQ(ran, std::vector<std::string>{std::string(row->name)}) << row->shortcut;
    }
    EXPECT_GT(shortcuts, 0);
}

}  // namespace
}  // namespace q3::reader::testing
