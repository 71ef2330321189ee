// A box no wider than its width request unless its children need more: a
// web view asks for the width its page laid itself out in, and a strip of a
// fixed size (the ad strip) must not grow with what it shows.
#pragma once

#include <gtkmm/box.h>

#include <algorithm>

namespace q3::reader {

class TFixedWidthBox : public Gtk::Box {
  public:
    // A type of its own, so GTK calls the size methods below.
    TFixedWidthBox() : Glib::ObjectBase("Q3FixedWidthBox") {}

  protected:
    void get_preferred_width_vfunc(int& minimum, int& natural) const override {
        Gtk::Box::get_preferred_width_vfunc(minimum, natural);
        natural = NaturalWidth(minimum);
    }
    void get_preferred_width_for_height_vfunc(int height, int& minimum,
                                              int& natural) const override {
        Gtk::Box::get_preferred_width_for_height_vfunc(height, minimum, natural);
        natural = NaturalWidth(minimum);
    }

  private:
    int NaturalWidth(int minimum) const {
        int width = -1, height = -1;
        get_size_request(width, height);
        return std::max(minimum, width);
    }
};

}  // namespace q3::reader
