// The interface's language. Every text the program shows is written in the
// sources in Simplified Chinese, which is also what the user sees unless he
// asked for English (QUILLON3_LANGUAGE=en or the Tools menu's setting); only
// then is the English catalogue consulted. The desktop's own locale never
// chooses: a Chinese reader on an English desktop stays Chinese.
//
// Texts the program stores in files or compares with stored values (history,
// bookmarks, registry values, data files) are never passed through here.
#pragma once

#include <optional>
#include <string>
#include <string_view>


namespace q3 {

enum class InterfaceLanguage { kChinese, kEnglish };

// The gettext domain, and so the catalogue's file name (quillon3.mo).
inline constexpr const char* kTextDomain = "quillon3";
// The environment variable that overrides the stored choice.
inline constexpr const char* kLanguageVariable = "QUILLON3_LANGUAGE";
// The settings value (under the program's settings key) that keeps the
// choice of the Tools menu, as LanguageCode writes it.
inline constexpr std::string_view kLanguageSettingName = "InterfaceLanguage";

// "en", "en_US.UTF-8", "English" and the like are English; "zh", "zh_CN",
// "中文" and the like are Chinese; anything else names no language.
std::optional<InterfaceLanguage> ParseLanguage(std::string_view text);
// "en" or "zh_CN": what the settings store keeps.
std::string_view LanguageCode(InterfaceLanguage language);

// The language to use: the variable's when it names one, else the stored
// choice's, else Chinese. variable may be null (not set).
InterfaceLanguage ChooseLanguage(const char* variable, std::string_view stored);

// Makes language the interface's language for the rest of the run, with
// the catalogues under locale_dir. It also tells gettext, through LANGUAGE,
// to use that language for the toolkit's and the web engine's own texts
// (file chooser, text box menus), whatever the desktop's language is.
void UseInterfaceLanguage(InterfaceLanguage language, const std::string& locale_dir);
InterfaceLanguage CurrentInterfaceLanguage();

// What the program does at start, before any window exists: the language
// that ChooseLanguage picks from QUILLON3_LANGUAGE and the stored setting
// (under the program's settings key) becomes the interface's, with the
// catalogues LocaleDir finds.
void UseChosenInterfaceLanguage();

// The text to show for msgid (a Chinese text of the sources): msgid itself
// unless English is in use and the catalogue translates it. An empty msgid
// stays empty. The result of the first form lives as long as the program.
const char* Tr(const char* msgid);
std::string Tr(std::string_view msgid);

// text (a translated text) with its first "%s" replaced by value, for
// texts whose words go round an inserted value in another order in English.
std::string FilledText(std::string_view text, std::string_view value);

}  // namespace q3

// Marks a text for the catalogue and translates it where it is used.
#ifndef _
#define _(text) ::q3::Tr(text)
#endif
// Marks a text for the catalogue that is translated later, where it is shown
// (tables of captions).
#ifndef N_
#define N_(text) (text)
#endif
