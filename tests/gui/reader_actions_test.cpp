// The action table as the window carries it out: every row becomes the
// window's action of that name, and every shortcut the table gives runs
// exactly that action once, from a document page as a reader presses it.
#include <gtest/gtest.h>
#include <gtkmm/accelgroup.h>
#include <gtkmm/application.h>

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

TEST_F(Actions, EveryRowIsAGioActionOfTheWindowWithItsShortcutOnTheApplication) {
    ReaderSession session;
    Tfm_Quillon3& w = session.window();
    GActionGroup* group = gtk_widget_get_action_group(GTK_WIDGET(w.gobj()), "win");
    ASSERT_NE(group, nullptr);
    auto app = Glib::RefPtr<Gtk::Application>::cast_dynamic(Gio::Application::get_default());
    ASSERT_TRUE(app);
    EXPECT_EQ(w.get_application(), app);
    for (const ActionDef* row : AllRows()) {
        const std::string name(row->name);
        ASSERT_TRUE(g_action_group_has_action(group, name.c_str())) << name;
        // Menu items and tool buttons follow the GIO action's sensitivity.
        EXPECT_EQ(g_action_group_get_action_enabled(group, name.c_str()), row->enabled) << name;
        const std::vector<Glib::ustring> accels = app->get_accels_for_action("win." + name);
        if (row->shortcut.empty()) {
            EXPECT_TRUE(accels.empty()) << name;
        } else {
            ASSERT_EQ(accels.size(), 1u) << name;
            guint key = 0, want_key = 0;
            Gdk::ModifierType mods, want_mods;
            Gtk::AccelGroup::parse(accels[0], key, mods);
            Gtk::AccelGroup::parse(std::string(row->shortcut), want_key, want_mods);
            EXPECT_EQ(key, want_key) << name;
            EXPECT_EQ(mods, want_mods) << name;
        }
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
