// The help book's key page against the keys the reader answers: every
// action's shortcut and every key the window's own rules take must be there,
// written as the page writes keys.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "reader/rules/action_table.h"

namespace q3::reader {
namespace {

std::string KeysPage() {
    std::ifstream in(std::string(Q3_SOURCE_DIR) + "/help/book/keys.htm", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Kbd(const std::string& key) {
    return "<kbd>" + key + "</kbd>";
}

// "<Control>o" -> <kbd>Ctrl</kbd>+<kbd>O</kbd>, as a reader sees the keys.
std::string AsWritten(std::string_view accelerator) {
    std::string written;
    std::string_view rest = accelerator;
    constexpr std::string_view kControl = "<Control>";
    if (rest.substr(0, kControl.size()) == kControl) {
        written = Kbd("Ctrl") + "+";
        rest.remove_prefix(kControl.size());
    }
    std::string key(rest);
    if (key == "Up")
        key = "↑";
    else if (key == "Down")
        key = "↓";
    else if (key.size() == 1)
        key[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
    return written + Kbd(key);
}

TEST(KeysPage, ListsEveryActionsShortcut) {
    const std::string page = KeysPage();
    ASSERT_FALSE(page.empty());
    int shortcuts = 0;
    for (auto rows : {MainActionDefs(), WebQbxActionDefs()}) {
        for (const ActionDef& a : rows) {
            if (a.shortcut.empty())
                continue;
            ++shortcuts;
            EXPECT_NE(page.find(AsWritten(a.shortcut)), std::string::npos)
                << a.name << " " << AsWritten(a.shortcut);
        }
    }
    EXPECT_GE(shortcuts, 9);
}

TEST(KeysPage, ListsTheKeysOfTheWindowsOwnRules) {
    const std::string page = KeysPage();
    const char* const keys[] = {
        "<kbd>F5</kbd>",
        "<kbd>F6</kbd>",
        "<kbd>Shift</kbd>+<kbd>F6</kbd>",
        "<kbd>Ctrl</kbd>+<kbd>PageDown</kbd>",
        "<kbd>Ctrl</kbd>+<kbd>PageUp</kbd>",
        "<kbd>Ctrl</kbd>+<kbd>←</kbd>",
        "<kbd>Ctrl</kbd>+<kbd>→</kbd>",
        "<kbd>Ctrl</kbd>+滚轮",
        "<kbd>Ctrl</kbd>+<kbd>+</kbd>",
        "<kbd>Ctrl</kbd>+<kbd>-</kbd>",
        "<kbd>Ctrl</kbd>+<kbd>0</kbd>",
        "<kbd>Ctrl</kbd>+<kbd>Enter</kbd>",
        "<kbd>F10</kbd>",
        "<kbd>Shift</kbd>+<kbd>F10</kbd>",
    };
    for (const char* key : keys)
        EXPECT_NE(page.find(key), std::string::npos) << key;
}

}  // namespace
}  // namespace q3::reader
