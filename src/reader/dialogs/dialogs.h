// The only way the windows ask the user something: message boxes, the yes/no
// question, the input query, the open and save dialogs and the colour choice.
// The program installs the GTK dialogs; a test installs a double that answers
// from a script.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "browser/color.h"

namespace Gtk {
class Window;
}

namespace q3::reader {

// Button sets and icons, numbered as the message box flags of the original
// platform so that callers read the same.
inline constexpr unsigned kMbOk = 0;
inline constexpr unsigned kMbOkCancel = 1;
inline constexpr unsigned kMbIconQuestion = 32;
inline constexpr unsigned kMbIconWarning = 48;
inline constexpr unsigned kMbIconInformation = 64;
inline constexpr unsigned kMbButtonMask = 0x0F;
inline constexpr unsigned kMbIconMask = 0xF0;

// The buttons a message box answers with.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A modal message box over owner; the button pressed (kIdCancel when the
    // box is closed without a button).
    virtual int MessageBox(Gtk::Window* owner, const std::string& caption, const std::string& text,
                           unsigned flags) = 0;

    // Edits text in a one-line dialog; true when confirmed, and only then is
    // text changed.
    virtual bool InputQuery(Gtk::Window* owner, const std::string& caption,
                            const std::string& prompt, std::string& text, bool masked) = 0;

    // filter: pairs of description and pattern separated by "|", such as
    // "Qbx File(*.qbx)|*.qbx|All File(*.*)|*.*". A chosen file name, or nothing.
    virtual std::optional<std::string> OpenFile(Gtk::Window* owner, const std::string& filter) = 0;
    virtual std::optional<std::string> SaveFile(Gtk::Window* owner, const std::string& file_name,
                                                const std::string& filter) = 0;

    // A colour picked starting from initial, or nothing when cancelled.
    virtual std::optional<browser::WindowColor> ChooseColor(Gtk::Window* owner,
                                                            browser::WindowColor initial) = 0;
};

// The dialogs in use; the GTK dialogs until something else is installed.
Dialogs& ActiveDialogs();

// Installs dialogs (null: back to the GTK dialogs) and returns the previous
// ones, so a test can put them back.
std::unique_ptr<Dialogs> InstallDialogs(std::unique_ptr<Dialogs> dialogs);

}  // namespace q3::reader
