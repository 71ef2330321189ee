#include "reader/dialogs/about_box.h"

#include <gdkmm/cursor.h>
#include <glibmm/main.h>
#include <glibmm/markup.h>

#include "common/translation.h"
#include "online/online_settings.h"
#include "reader/forms/shell_open.h"
#include "reader/maker/logo.h"

namespace q3::reader {

namespace {

constexpr int kClientWidth = 407;
constexpr int kClientHeight = 251;
constexpr int kTopHeight = 73;

}  // namespace

Tfm_about::Tfm_about(Gtk::Window* owner)
    : top_rule_(Gtk::ORIENTATION_HORIZONTAL), bottom_rule_(Gtk::ORIENTATION_HORIZONTAL) {
    set_resizable(false);
    set_modal(true);
    set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
    set_skip_taskbar_hint(true);
    if (owner != nullptr) {
        set_transient_for(*owner);
        set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    } else {
        set_position(Gtk::WIN_POS_CENTER);
    }
    BuildLayout();
    FormCreate(false);
    signal_delete_event().connect([this](GdkEventAny*) {
        EndModal(kIdCancel);
        return true;
    });
    close_button.signal_clicked().connect([this] { EndModal(kIdOk); });
    // Enter presses the close button (the default one), Escape cancels.
    close_button.set_can_default(true);
    set_default(close_button);
    signal_key_press_event().connect([this](GdkEventKey* key) {
        if (key->keyval != GDK_KEY_Escape)
            return false;
        EndModal(kIdCancel);
        return true;
    });
    signal_show().connect([this] { close_button.grab_focus(); });
}

void Tfm_about::BuildLayout() {
    client_.set_size_request(kClientWidth, kClientHeight);
    add(client_);

    top_panel_.set_size_request(kClientWidth, kTopHeight);
    top_panel_.override_background_color(Gdk::RGBA("#FFFFFF"));
    top_panel_.add(top_);
    client_.put(top_panel_, 0, 0);

    const auto name_font = Pango::FontDescription("Sans Bold");
    for (Gtk::Label* name : {&app_name_shadow, &app_name_label}) {
        Pango::FontDescription f = name_font;
        f.set_absolute_size(20 * PANGO_SCALE);
        name->override_font(f);
    }
    app_name_shadow.override_color(Gdk::RGBA("#C0C0C0"));
    // The silver copy goes first so the dark one is drawn over it.
    top_.put(app_name_shadow, 15, 15);
    top_.put(app_name_label, 14, 13);
    version_label.set_text(kAboutVersion);
    top_.put(version_label, 13, 54);

    const std::string home_page = online::ReadOnlineAddresses().home_page;
    logo_image.set(LogoPicture());
    logo_box.add(logo_image);
    logo_box.set_tooltip_text(home_page);
    logo_box.set_visible_window(true);
    logo_box.signal_realize().connect([this] {
        logo_box.get_window()->set_cursor(Gdk::Cursor::create(logo_box.get_display(), Gdk::HAND2));
    });
    logo_box.signal_button_release_event().connect([this, home_page](GdkEventButton*) {
        ShellOpen(this, home_page);
        return true;
    });
    top_.put(logo_box, kClientWidth - 114 - 8, 8);

    top_rule_.set_size_request(kClientWidth, 2);
    client_.put(top_rule_, 0, kTopHeight);

    notice_label.set_text(_("本软件为免费软件，欢迎使用和传播。"));
    client_.put(notice_label, 13, 86);
    home_page_caption.set_text(_("官方主页："));
    client_.put(home_page_caption, 13, 112);
    MakeLink(home_page_link, "www.quillon3.net", home_page);
    client_.put(home_page_link, 88, 112);
    support_label.set_text(_("技术支持：使用中的问题和建议，请来信告诉我们。"));
    client_.put(support_label, 13, 138);
    mail_caption.set_text(_("联系邮箱："));
    client_.put(mail_caption, 13, 164);
    MakeLink(mail_link, "support@quillon3.net", kMakerMailbox);
    client_.put(mail_link, 88, 164);

    bottom_rule_.set_size_request(kClientWidth - 26, 2);
    client_.put(bottom_rule_, 13, 200);
    company_label.set_text("Tarvik Software");
    company_label.set_sensitive(false);
    client_.put(company_label, 13, 220);
    close_button.set_label(_("关闭"));
    close_button.set_size_request(75, 25);
    client_.put(close_button, kClientWidth - 75 - 12, kClientHeight - 25 - 12);
    show_all_children();
}

void Tfm_about::MakeLink(Gtk::Label& label, const std::string& text, const std::string& target) {
    label.set_markup("<a href=\"" + Glib::Markup::escape_text(target) + "\">" +
                     Glib::Markup::escape_text(text) + "</a>");
    label.set_tooltip_text(target);
    label.signal_activate_link().connect(
        [this, target](const Glib::ustring&) {
            ShellOpen(this, target);
            return true;
        },
        false);
}

void Tfm_about::EndModal(int result) {
    modal_result_ = result;
    if (loop_ && loop_->is_running())
        loop_->quit();
}

int Tfm_about::ShowModal() {
    modal_result_ = 0;
    show();
    present();
    loop_ = Glib::MainLoop::create();
    loop_->run();
    loop_.reset();
    hide();
    return modal_result_;
}

void ShowAboutBox(Gtk::Window* owner, const std::string& app_name, WindowColor colour) {
    Tfm_about box(owner);
    box.SetColor(colour);
    box.app_name_label.set_text(app_name);
    box.app_name_shadow.set_text(app_name);
    box.set_title(std::string(_("关于")) + "-(" + app_name + ")");
    box.ShowModal();
}

}  // namespace q3::reader
