// Every control a user can reach in the reader's windows has a name for
// assistive technologies: its caption, the label that names it, or a name
// set for it. The test walks the accessible tree of each window as a
// screen reader would and lists the controls without one.
#include <atk/atk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "reader/dialogs/about_box.h"
#include "reader/dialogs/dialogs.h"
#include "reader/dialogs/input_query_dialog.h"
#include "reader/dialogs/message_box.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

using AccessibleNames = ReaderTest;

bool IsControl(AtkRole role) {
    switch (role) {
        case ATK_ROLE_PUSH_BUTTON:
        case ATK_ROLE_TOGGLE_BUTTON:
        case ATK_ROLE_CHECK_BOX:
        case ATK_ROLE_RADIO_BUTTON:
        case ATK_ROLE_PAGE_TAB:
        case ATK_ROLE_TEXT:
        case ATK_ROLE_ENTRY:
        case ATK_ROLE_PASSWORD_TEXT:
        case ATK_ROLE_SPIN_BUTTON:
        case ATK_ROLE_SLIDER:
        case ATK_ROLE_LIST:
        case ATK_ROLE_LIST_BOX:
        case ATK_ROLE_TREE:
        case ATK_ROLE_TREE_TABLE:
        case ATK_ROLE_TABLE:
        case ATK_ROLE_COMBO_BOX:
        case ATK_ROLE_MENU:
        case ATK_ROLE_MENU_ITEM:
        case ATK_ROLE_CHECK_MENU_ITEM:
        case ATK_ROLE_RADIO_MENU_ITEM:
            return true;
        default:
            return false;
    }
}

// Rows and cells are the contents, named by their own text.
bool HoldsRows(AtkRole role) {
    return role == ATK_ROLE_TREE || role == ATK_ROLE_TREE_TABLE || role == ATK_ROLE_TABLE ||
           role == ATK_ROLE_LIST || role == ATK_ROLE_LIST_BOX;
}

bool HasName(AtkObject* object) {
    const char* name = atk_object_get_name(object);
    return name != nullptr && *name != '\0';
}

bool IsLabelled(AtkObject* object) {
    AtkRelationSet* relations = atk_object_ref_relation_set(object);
    bool labelled = false;
    if (AtkRelation* relation =
            atk_relation_set_get_relation_by_type(relations, ATK_RELATION_LABELLED_BY)) {
        GPtrArray* targets = atk_relation_get_target(relation);
        for (guint i = 0; i < targets->len && !labelled; ++i)
            labelled = HasName(ATK_OBJECT(g_ptr_array_index(targets, i)));
    }
    g_object_unref(relations);
    return labelled;
}

// The widget's name, when the object is a widget's, says which control it is.
std::string Describe(AtkObject* object) {
    std::string text = atk_role_get_name(atk_object_get_role(object));
    if (GTK_IS_ACCESSIBLE(object)) {
        if (GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(object)))
            text += std::string(" ") + gtk_widget_get_name(widget);
    }
    return text;
}

void CollectUnnamed(AtkObject* object, const std::string& path, std::vector<std::string>& unnamed,
                    int depth = 0) {
    ASSERT_LT(depth, 64) << path;
    const AtkRole role = atk_object_get_role(object);
    const std::string here = path + " > " + Describe(object);
    if (IsControl(role) && !HasName(object) && !IsLabelled(object))
        unnamed.push_back(here);
    if (HoldsRows(role))
        return;
    const int children = atk_object_get_n_accessible_children(object);
    for (int i = 0; i < children; ++i) {
        AtkObject* child = atk_object_ref_accessible_child(object, i);
        if (child == nullptr)
            continue;
        CollectUnnamed(child, here, unnamed, depth + 1);
        g_object_unref(child);
    }
}

std::vector<std::string> UnnamedControls(Gtk::Widget& window) {
    std::vector<std::string> unnamed;
    CollectUnnamed(gtk_widget_get_accessible(window.gobj()), window.get_name(), unnamed);
    return unnamed;
}

std::string Listed(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// Hidden controls count too: the test button and the ad panel come into
// view later, with the names they were given at creation.
TEST_F(AccessibleNames, EveryControlOfTheMainAndNavigationWindowsHasAName) {
    ReaderSession s({WriteBook()});
    s.window().show();
    PumpFor(std::chrono::milliseconds(200));
    std::vector<std::string> unnamed = UnnamedControls(s.window());
    EXPECT_TRUE(unnamed.empty()) << "unnamed in the main window:\n" << Listed(unnamed);
    unnamed = UnnamedControls(s.nav());
    EXPECT_TRUE(unnamed.empty()) << "unnamed in the navigation window:\n" << Listed(unnamed);
}

TEST_F(AccessibleNames, EveryControlOfTheDialogsHasAName) {
    ReaderSession s;
    Tfm_about about(&s.window());
    InputQueryDialog password(&s.window(), "输入密码", "请输入密码：   ", "", true);
    InputQueryDialog text(&s.window(), "添加书签", "书签名称：", "第一页", false);
    TMessageBox question(&s.window(), "Quillon3", "确定要退出 Quillon3？",
                         kMbOkCancel | kMbIconQuestion);
    const struct {
        const char* what;
        Gtk::Window& window;
    } windows[] = {
        {"about box", about},
        {"password prompt", password},
        {"input box", text},
        {"message box", question},
    };
    for (const auto& w : windows) {
        w.window.show_all();
        PumpFor(std::chrono::milliseconds(50));
        const std::vector<std::string> unnamed = UnnamedControls(w.window);
        EXPECT_TRUE(unnamed.empty()) << "unnamed in the " << w.what << ":\n" << Listed(unnamed);
        w.window.hide();
    }
}

}  // namespace
}  // namespace q3::reader::testing
