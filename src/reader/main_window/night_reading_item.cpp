#include "reader/main_window/night_reading_item.h"

#include <exception>

#include "browser/night_style.h"
#include "common/base_settings.h"
#include "common/translation.h"

namespace q3::reader {

namespace {

void NightReadingToggled(Gtk::CheckMenuItem& item) {
    const bool on = item.get_active();
    // The mark set from the stored choice changes nothing.
    if (on == browser::NightReading())
        return;
    browser::SetNightReading(on);
    try {
        WriteRegInteger(kNightReadingValueName, on ? 1 : 0);
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.NightReadingClick", e.what());
    }
}

}  // namespace

Gtk::CheckMenuItem* MakeNightReadingItem() {
    auto* item = Gtk::manage(new Gtk::CheckMenuItem(_("夜间阅读")));
    item->set_name("night_reading_item");
    item->signal_toggled().connect([item] { NightReadingToggled(*item); });
    return item;
}

void RestoreNightReading(Gtk::CheckMenuItem& item) {
    bool on = false;
    try {
        on = ReadRegInteger(kNightReadingValueName, 0) != 0;
    } catch (const std::exception& e) {
        // A value of another type is no choice: the pages stay as written.
        ReportError("Tfm_Quillon3.FormCreate", e.what());
    }
    browser::SetNightReading(on);
    item.set_active(on);
}

}  // namespace q3::reader
