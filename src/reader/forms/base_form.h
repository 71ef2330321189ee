// The behaviour every window of the program shares: its colour, owner-drawn
// page control tabs, sortable list views, message boxes through the dialog
// interface, and the settings routines under the program's key.
#pragma once

#include <glibmm/refptr.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/notebook.h>
#include <gtkmm/window.h>
#include <cstdint>
#include <string>
#include <string_view>

#include "browser/color.h"
#include "reader/dialogs/dialogs.h"
#include "reader/rules/geometry.h"

namespace q3::reader {

using browser::WindowColor;

// The tab caption colours every window draws with (0x00BBGGRR).
inline constexpr WindowColor kInactiveTabText = 0x008000;  // green
inline constexpr WindowColor kActiveTabText = 0xFF0000;    // blue

// The program's icon, as the desktop files install it in the icon theme.
inline constexpr const char* kProgramIconName = "net.quillon3.Reader";

// Makes the program's icon every window's (the main window, the navigation
// window, dialogs and message boxes). Run from the build tree, where the
// theme does not have it yet, the icons drawn there are used.
void InstallProgramIcon();

// The application title every message box carries.
std::string ApplicationTitle();
void SetApplicationTitle(const std::string& title);

class Tfm_BaseForm : public Gtk::Window {
  public:
    Tfm_BaseForm();
    ~Tfm_BaseForm() override;

    WindowColor Color() const { return color_; }
    // Paints the window and its panels, bars and tabs in the colour.
    virtual void SetColor(WindowColor colour);

    int ShowMessageBox(const std::string& text, unsigned flags);
    // True when the first (OK) button was pressed.
    bool AskYesNo(const std::string& text, unsigned flags);
    void ShowWarning(const std::string& text, unsigned flags = kMbIconWarning);

    static std::int32_t ReadRegInteger(std::string_view name, std::int32_t def);
    static std::string ReadRegString(std::string_view name, std::string_view def);
    static bool WriteRegInteger(std::string_view name, std::int32_t value);
    static bool WriteRegString(std::string_view name, std::string_view value);
    static std::string AppDir();
    static void ReportError(std::string_view context, std::string_view message) noexcept;

    // The window's place on the screen, as the window manager reports it.
    Rect Bounds();

  protected:
    // The create handler; derived windows call it once their controls exist:
    // centres the main window, sets the base colour and hooks every page
    // control and list view whose Tag is 0.
    void FormCreate(bool is_main_form);
    // The show and destroy handlers of the base form have nothing to do.
    virtual void FormShow() {}
    virtual void FormDestroy() {}

    void PaintTab(const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Notebook& notebook, int tab_index,
                  const Rect& rect, bool active);

  private:
    void HookControls(Gtk::Widget& widget);
    void ApplyColorStyle();

    WindowColor color_;
    std::string style_name_;
    Glib::RefPtr<Gtk::CssProvider> style_;
};

}  // namespace q3::reader
