// The about box: the program's name drawn with a shadow, its version, the
// maker's logo and notice, and links to the maker's home page and mailbox.
#pragma once

#include <glibmm/main.h>
#include <gtkmm/button.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/fixed.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <string>

#include "reader/forms/base_form.h"
#include "reader/maker/addresses.h"

namespace q3::reader {

inline constexpr const char* kAboutVersion = "V3.0(20090915)";

class Tfm_about : public Tfm_BaseForm {
  public:
    explicit Tfm_about(Gtk::Window* owner);

    // Runs the box until it is closed; the result is kIdOk for the button.
    int ShowModal();

    Gtk::Label lab_AppName;
    Gtk::Label lab_AppName1;
    Gtk::Label lab_Version;
    Gtk::Label lab_Notice;
    Gtk::Label lab_HomeCaption;
    Gtk::Label lbl_HomePage;
    Gtk::Label lab_Support;
    Gtk::Label lab_MailCaption;
    Gtk::Label lbl_Mail;
    Gtk::Label lab_Company;
    Gtk::EventBox img_LogoBox;
    Gtk::Image img_Logo;
    Gtk::Button btn_Close;

  private:
    void BuildLayout();
    void MakeLink(Gtk::Label& label, const std::string& text, const std::string& target);
    void EndModal(int result);

    Gtk::Fixed client_;
    Gtk::EventBox top_panel_;
    Gtk::Fixed top_;
    Gtk::Separator top_rule_;
    Gtk::Separator bottom_rule_;
    int modal_result_ = 0;
    Glib::RefPtr<Glib::MainLoop> loop_;
};

// Shows the about box over owner with the application name and colour.
void ShowAboutBox(Gtk::Window* owner, const std::string& app_name, WindowColor colour);

}  // namespace q3::reader
