#include "reader/dialogs/input_query_box.h"

#include <atkmm/object.h>
#include <pangomm/layout.h>

#include "common/translation.h"
#include "reader/dialogs/input_query_dialog.h"

namespace q3::reader {

namespace {

// The average letter width and the line height of a widget's font.
std::pair<int, int> DialogUnits(Gtk::Widget& widget) {
    std::string letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters += c;
    for (char c = 'a'; c <= 'z'; ++c)
        letters += c;
    Glib::RefPtr<Pango::Layout> layout = widget.create_pango_layout(letters);
    int width = 0, height = 0;
    layout->get_pixel_size(width, height);
    return {MulDiv(width, 1, 52), height};
}

int WrappedHeight(Gtk::Label& label, int width) {
    int minimum = 0, natural = 0;
    label.get_preferred_height_for_width(width, minimum, natural);
    return natural;
}

}  // namespace

InputQueryDialog::InputQueryDialog(Gtk::Window* owner, const std::string& caption,
                                   const std::string& prompt, const std::string& text, bool masked)
    : prompt_(prompt) {
    set_title(caption);
    set_modal(true);
    set_resizable(false);
    set_position(Gtk::WIN_POS_CENTER);
    if (owner != nullptr)
        set_transient_for(*owner);

    prompt_.set_line_wrap(true);
    prompt_.set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
    prompt_.set_xalign(0);
    prompt_.set_yalign(0);

    edit_.set_max_length(kInputQueryMaxLength);
    edit_.set_visibility(!masked);
    edit_.set_invisible_char('*');
    edit_.set_text(Glib::ustring(text).substr(0, kInputQueryMaxLength));
    edit_.set_activates_default(true);
    // The prompt names the edit for assistive technologies.
    edit_.get_accessible()->set_name(prompt.substr(0, prompt.find_last_not_of(' ') + 1));
    Pango::FontDescription mono("Monospace");
    edit_.override_font(mono);

    ok_ = add_button(_("确定"), Gtk::RESPONSE_OK);
    cancel_ = add_button(_("取消"), Gtk::RESPONSE_CANCEL);
    // The buttons sit at fixed places of the layout, not in the action area.
    for (Gtk::Button* b : {ok_, cancel_}) {
        b->reference();
        get_action_area()->remove(*b);
        area_.add(*b);
        b->unreference();
    }
    get_action_area()->hide();

    area_.add(prompt_);
    area_.add(edit_);
    get_content_area()->pack_start(area_, Gtk::PACK_EXPAND_WIDGET);
    get_content_area()->set_border_width(0);
    // Moving OK out of the action area took its default role with it: Enter
    // in the edit (which activates the default) would press nothing.
    ok_->set_can_default(true);
    ok_->grab_default();
    LayOut();
    show_all_children();
    get_action_area()->hide();
    edit_.grab_focus();
    edit_.select_region(0, -1);
}

void InputQueryDialog::LayOut() {
    // Hidden widgets ask for no room at all; measure them as they will show.
    prompt_.show();
    edit_.show();
    const auto [x, y] = DialogUnits(*this);
    const int prompt_height = WrappedHeight(prompt_, InputQueryPromptWidth(x));
    int edit_min = 0, edit_natural = 0;
    edit_.get_preferred_height(edit_min, edit_natural);
    layout_ = LayOutInputQuery(x, y, prompt_height, edit_natural);
    const auto place = [this](Gtk::Widget& w, const Rect& r) {
        area_.move(w, r.left, r.top);
        w.set_size_request(r.width, r.height);
    };
    place(prompt_, layout_.prompt);
    place(edit_, layout_.edit);
    place(*ok_, layout_.ok_button);
    place(*cancel_, layout_.cancel_button);
    area_.set_size_request(layout_.client_width, layout_.client_height);
}

bool InputQueryBox(Gtk::Window* owner, const std::string& caption, const std::string& prompt,
                   std::string& text, bool masked) {
    InputQueryDialog dialog(owner, caption, prompt, text, masked);
    const int response = dialog.run();
    if (response != Gtk::RESPONSE_OK)
        return false;
    text = dialog.Edit().get_text();
    return true;
}

}  // namespace q3::reader
