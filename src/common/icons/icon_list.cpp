#include "icons/icon_list.h"

#include <giomm/themedicon.h>
#include <gtkmm/icontheme.h>

namespace q3::icons {
namespace {

// A name for an icon that stays the same for equal icons.
std::string IconKey(const Glib::RefPtr<Gio::Icon>& icon) {
    gchar* text = g_icon_to_string(icon->gobj());
    if (text != nullptr) {
        std::string key(text);
        g_free(text);
        return key;
    }
    // Icons without a serial form are only equal to themselves.
    return "object:" + std::to_string(reinterpret_cast<std::uintptr_t>(icon->gobj()));
}

// The "open" look of a themed icon: every name with "-open" first.
Glib::RefPtr<Gio::Icon> OpenVariant(const Glib::RefPtr<Gio::Icon>& icon) {
    auto themed = Glib::RefPtr<Gio::ThemedIcon>::cast_dynamic(icon);
    if (!themed)
        return icon;
    std::vector<Glib::ustring> names;
    for (const Glib::ustring& name : themed->get_names())
        names.push_back(name + "-open");
    for (const Glib::ustring& name : themed->get_names())
        names.push_back(name);
    return Gio::ThemedIcon::create(names);
}

}  // namespace

int IconPixels(int size_index) {
    return size_index == kLargeIcon ? 32 : 16;
}

IconList& IconList::Instance() {
    static IconList list;
    return list;
}

IconList::IconList() {
    if (auto theme = Gtk::IconTheme::get_default()) {
        theme->signal_changed().connect([this] { ForgetPictures(); });
    }
}

int IconList::IndexOf(const Glib::RefPtr<Gio::Icon>& icon) {
    if (!icon)
        return -1;
    const std::string key = IconKey(icon);
    if (auto it = by_name_.find(key); it != by_name_.end())
        return it->second;
    const int index = static_cast<int>(icons_.size());
    icons_.push_back(icon);
    by_name_.emplace(key, index);
    return index;
}

int IconList::IndexOfThemed(const std::vector<Glib::ustring>& names) {
    if (names.empty())
        return -1;
    return IndexOf(Gio::ThemedIcon::create(names));
}

Glib::RefPtr<Gio::Icon> IconList::Icon(int index) const {
    if (index < 0 || index >= size())
        return {};
    return icons_[static_cast<size_t>(index)];
}

Glib::RefPtr<Gdk::Pixbuf> IconList::Pixbuf(int index, int size_index) {
    const Glib::RefPtr<Gio::Icon> icon = Icon(index);
    if (!icon)
        return {};
    const auto key = std::make_pair(index, size_index);
    if (auto it = pictures_.find(key); it != pictures_.end())
        return it->second;
    Glib::RefPtr<Gdk::Pixbuf> picture = Draw(icon, size_index);
    pictures_.emplace(key, picture);
    return picture;
}

Glib::RefPtr<Gdk::Pixbuf> IconList::Draw(const Glib::RefPtr<Gio::Icon>& icon,
                                         int size_index) const {
    auto theme = Gtk::IconTheme::get_default();
    if (!theme)
        return {};
    const int pixels = IconPixels(size_index);
    const auto flags = Gtk::ICON_LOOKUP_FORCE_SIZE | Gtk::ICON_LOOKUP_USE_BUILTIN;
    const Glib::RefPtr<Gio::Icon> wanted = size_index == kOpenIcon ? OpenVariant(icon) : icon;
    const Glib::RefPtr<Gio::Icon> generic =
        Gio::ThemedIcon::create(std::vector<Glib::ustring>{"text-x-generic", "image-missing"});
    for (const Glib::RefPtr<Gio::Icon>& candidate : {wanted, generic}) {
        try {
            Gtk::IconInfo info = theme->lookup_icon(candidate, pixels, flags);
            if (info) {
                if (Glib::RefPtr<Gdk::Pixbuf> picture = info.load_icon())
                    return picture;
            }
        } catch (const Glib::Error&) {
            // A broken icon file: try the generic one.
        }
    }
    return {};
}

}  // namespace q3::icons
