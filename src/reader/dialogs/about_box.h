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

    Gtk::Label app_name_label;   // lab_AppName
    Gtk::Label app_name_shadow;  // lab_AppName1, drawn under the name
    Gtk::Label version_label;
    Gtk::Label notice_label;
    Gtk::Label home_page_caption;  // "官方主页："
    Gtk::Label home_page_link;
    Gtk::Label support_label;
    Gtk::Label mail_caption;  // "联系邮箱："
    Gtk::Label mail_link;
    Gtk::Label company_label;
    Gtk::EventBox logo_box;  // the logo's click area
    Gtk::Image logo_image;
    Gtk::Button close_button;  // "关闭"

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
