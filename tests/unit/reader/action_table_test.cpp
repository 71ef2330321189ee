#include "reader/rules/action_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace q3::reader {
namespace {

// What each row makes of the window (its action, its shortcut) is checked on
// the real window; here, what must hold across the rows.

TEST(ActionTable, InitialStates) {
    EXPECT_TRUE(FindActionDef("act_NavTree")->checked);
    EXPECT_FALSE(FindActionDef("act_QBXComment")->enabled);
    EXPECT_TRUE(FindActionDef("act_QBXComment")->visible);
    EXPECT_FALSE(FindActionDef("act_QBXShared")->enabled);
    EXPECT_FALSE(FindActionDef("act_QBXShared")->visible);
    EXPECT_EQ(FindActionDef("act_browseMode")->group, 2);
    EXPECT_EQ(FindActionDef("act_NotImageMode")->group, 2);
    int checked = 0, disabled = 0;
    for (auto rows : {MainActionDefs(), WebQbxActionDefs()}) {
        for (const ActionDef& a : rows) {
            checked += a.checked;
            disabled += !a.enabled;
        }
    }
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(disabled, 2);
}

TEST(ActionTable, NamesAndShortcutsAreUnique) {
    std::set<std::string> names, shortcuts;
    for (auto rows : {MainActionDefs(), WebQbxActionDefs()}) {
        for (const ActionDef& a : rows) {
            EXPECT_TRUE(names.insert(std::string(a.name)).second) << a.name;
            if (!a.shortcut.empty()) {
                EXPECT_TRUE(shortcuts.insert(std::string(a.shortcut)).second) << a.shortcut;
            }
        }
    }
    EXPECT_EQ(FindActionDef("act_missing"), nullptr);
    EXPECT_EQ(FindActionDef("act_QBXNavNext")->tag, 3);
}

}  // namespace
}  // namespace q3::reader
