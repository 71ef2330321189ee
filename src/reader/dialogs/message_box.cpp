#include "reader/dialogs/message_box.h"

#include <atkmm/object.h>

#include "common/translation.h"
#include "reader/dialogs/dialogs.h"

namespace q3::reader {

const char* MessageIconName(unsigned flags) {
    switch (flags & kMbIconMask) {
        case kMbIconQuestion:
            return "dialog-question";
        case kMbIconWarning:
            return "dialog-warning";
        case kMbIconInformation:
            return "dialog-information";
        default:
            return "";
    }
}

TMessageBox::TMessageBox(Gtk::Window* owner, const std::string& caption, const std::string& text,
                         unsigned flags)
    : body_(Gtk::ORIENTATION_HORIZONTAL, 12) {
    set_title(caption);
    set_modal(true);
    set_resizable(false);
    set_skip_taskbar_hint(true);
    // Wide enough for its caption, however short the text.
    set_default_size(280, -1);
    if (owner != nullptr) {
        set_transient_for(*owner);
        set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    } else {
        set_position(Gtk::WIN_POS_CENTER);
    }

    const std::string icon = MessageIconName(flags);
    icon_image.set_from_icon_name(icon, Gtk::ICON_SIZE_DIALOG);
    icon_image.set_valign(Gtk::ALIGN_START);
    icon_image.set_no_show_all(icon.empty());
    text_label.set_text(text);
    text_label.set_line_wrap(true);
    text_label.set_max_width_chars(60);
    text_label.set_xalign(0);
    text_label.set_selectable(false);
    body_.set_border_width(12);
    body_.pack_start(icon_image, Gtk::PACK_SHRINK);
    body_.pack_start(text_label, Gtk::PACK_EXPAND_WIDGET);
    get_content_area()->pack_start(body_, Gtk::PACK_EXPAND_WIDGET);

    ok_button = add_button(_("确定"), Gtk::RESPONSE_OK);
    if ((flags & kMbButtonMask) == kMbOkCancel)
        cancel_button = add_button(_("取消"), Gtk::RESPONSE_CANCEL);
    // The box is read by its text: a screen reader names it by both.
    get_accessible()->set_description(text);
    set_default_response(Gtk::RESPONSE_OK);
    show_all_children();
    ok_button->grab_focus();
}

int TMessageBox::ShowModal() {
    return run() == Gtk::RESPONSE_OK ? kIdOk : kIdCancel;
}

}  // namespace q3::reader
