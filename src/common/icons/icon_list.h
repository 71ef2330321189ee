// One icon list for the whole program. Its indexes stand in for the shell's
// system image list indexes: controls keep an index per item and ask the list
// for the picture at the size they show.
#pragma once

#include <gdkmm/pixbuf.h>
#include <giomm/icon.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace q3::icons {

// Size indexes, as controls ask for them.
enum IconSize : int {
    kLargeIcon = 0,  // 32 pixels
    kSmallIcon = 1,  // 16 pixels
    kOpenIcon = 2,   // 16 pixels, the "open" look where the theme has one (folders)
};

int IconPixels(int size_index);

class IconList {
  public:
    static IconList& Instance();

    // The index of icon, appended when the list does not hold it yet; -1
    // for no icon. Equal icons (same names or file) share one index.
    int IndexOf(const Glib::RefPtr<Gio::Icon>& icon);
    int IndexOfThemed(const std::vector<Glib::ustring>& names);

    Glib::RefPtr<Gio::Icon> Icon(int index) const;
    int size() const { return static_cast<int>(icons_.size()); }

    // The picture of an index at a size, from the current icon theme, with
    // the theme's generic file icon when the icon itself is missing. Null for
    // an index the list does not hold.
    Glib::RefPtr<Gdk::Pixbuf> Pixbuf(int index, int size_index);

    // Forgets the drawn pictures (the theme changed); indexes stay valid.
    void ForgetPictures() { pictures_.clear(); }

  private:
    IconList();
    Glib::RefPtr<Gdk::Pixbuf> Draw(const Glib::RefPtr<Gio::Icon>& icon, int size_index) const;

    std::vector<Glib::RefPtr<Gio::Icon>> icons_;
    std::map<std::string, int> by_name_;
    std::map<std::pair<int, int>, Glib::RefPtr<Gdk::Pixbuf>> pictures_;
};

}  // namespace q3::icons
