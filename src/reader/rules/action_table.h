// The actions of the main window as data: name, Tag, category, caption, hint,
// shortcut, initial state and the shared handler that serves them. The window
// builds its actions, menus and tool buttons from these rows.
#pragma once

#include <span>
#include <string_view>

namespace q3::reader {

// Which list an action belongs to: the window's own actions or the actions
// that work on a shown document.
enum class ActionListId { kMain, kWebQbx };

// The handler shared by a group of actions; the Tag picks the branch.
enum class ActionHandler {
    kOpenExit,    // exit, open, side bar, expand, collapse
    kWeb,         // home, refresh, stop, forward, back, print, full screen, save
    kHelp,        // help book, about box, software page
    kViewMode,    // text mode, no-image mode
    kCloseWeb,    // close the active page
    kQbxEdit,     // copy, select all, find, view source, comment, share
    kQbxNav,      // first page, previous, next entry of the contents
    kProperties,  // the document's properties page
};

struct ActionDef {
    std::string_view name;
    ActionListId list;
    int tag;
    std::string_view category;  // empty for the document actions, which have none
    std::string_view caption;
    std::string_view hint;
    std::string_view shortcut;  // GTK accelerator notation, empty for none
    ActionHandler handler;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    int group = 0;  // radio group index; 0 for none
};

std::span<const ActionDef> MainActionDefs();
std::span<const ActionDef> WebQbxActionDefs();

// The row of an action by name, in either list; null when there is none.
const ActionDef* FindActionDef(std::string_view name);

}  // namespace q3::reader
