// The Tools menu's choice of the interface's language. The windows are
// built once in one language, so the choice is stored and applies at the
// next start; the menu shows what is stored, or what is in use when nothing
// is.
#include <gtkmm/menu.h>

#include <exception>

#include "common/base_settings.h"
#include "common/shell.h"
#include "common/translation.h"
#include "reader/dialogs/dialogs.h"
#include "reader/main_window/main_window.h"

namespace q3::reader {
namespace {

constexpr InterfaceLanguage kLanguages[] = {InterfaceLanguage::kChinese,
                                            InterfaceLanguage::kEnglish};
// Each language under its own name, so a user who cannot read the other
// one still finds his.
constexpr const char* kLanguageCaptions[] = {"中文", "English"};
constexpr const char* kLanguageItemNames[] = {"language_chinese_item", "language_english_item"};

InterfaceLanguage StoredOrCurrentLanguage() {
    try {
        const std::string stored = ReadHkcuString(kQuillonSettingsKey, kLanguageSettingName, "");
        if (const auto language = ParseLanguage(stored))
            return *language;
    } catch (const std::exception& e) {
        ReportError("Tfm_Quillon3.MakeLanguageMenu", e.what());
    }
    return CurrentInterfaceLanguage();
}

}  // namespace

Gtk::MenuItem* Tfm_Quillon3::MakeLanguageMenu() {
    auto* item = Gtk::manage(new Gtk::MenuItem(_("界面语言")));
    item->set_name("language_item");
    auto* menu = Gtk::manage(new Gtk::Menu());
    const InterfaceLanguage shown = StoredOrCurrentLanguage();
    Gtk::RadioMenuItem::Group group;
    for (std::size_t i = 0; i < std::size(kLanguages); ++i) {
        auto* choice = Gtk::manage(new Gtk::RadioMenuItem(group, kLanguageCaptions[i]));
        choice->set_name(kLanguageItemNames[i]);
        // Checked before the handler is connected: showing the stored
        // choice is no new choice.
        choice->set_active(kLanguages[i] == shown);
        const InterfaceLanguage language = kLanguages[i];
        choice->signal_toggled().connect([this, choice, language] {
            if (choice->get_active())
                LanguageClick(language);
        });
        language_items_[i] = choice;
        menu->append(*choice);
    }
    item->set_submenu(*menu);
    return item;
}

void Tfm_Quillon3::LanguageClick(InterfaceLanguage language) {
    if (!WriteRegString(kLanguageSettingName, LanguageCode(language)))
        return;
    ShowMessageBox(_("界面语言将在下次启动 Quillon3 时生效。"), kMbIconInformation);
}

}  // namespace q3::reader
