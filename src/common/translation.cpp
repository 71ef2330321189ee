#include "common/translation.h"

#include <libintl.h>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "common/app_paths.h"
#include "common/base_settings.h"
#include "common/shell.h"
#include "common/text.h"

namespace q3 {
namespace {

std::atomic<InterfaceLanguage> g_language{InterfaceLanguage::kChinese};

bool IsPlainCLocale(const char* name) {
    return name != nullptr && (std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0);
}

// gettext ignores LANGUAGE while the messages locale is the plain C one; its
// UTF-8 twin behaves the same otherwise and lets LANGUAGE choose. The
// toolkit sets the locale again from the environment when it starts, so the
// environment is changed as well as the locale of this moment.
void LeaveThePlainCLocale() {
    if (IsPlainCLocale(std::getenv("LC_ALL")))
        setenv("LC_ALL", "C.UTF-8", 1);
    const char* messages = std::setlocale(LC_MESSAGES, "");
    if (messages == nullptr || IsPlainCLocale(messages)) {
        setenv("LC_MESSAGES", "C.UTF-8", 1);
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
}

}  // namespace

std::optional<InterfaceLanguage> ParseLanguage(std::string_view text) {
    const std::string lower = AsciiLower(Trim(text));
    // A locale name: the language part before territory, codeset and modifier.
    const std::string_view language =
        std::string_view(lower).substr(0, lower.find_first_of("_.@-"));
    if (language == "en" || language == "english")
        return InterfaceLanguage::kEnglish;
    if (language == "zh" || language == "chinese" || Trim(text) == "中文")
        return InterfaceLanguage::kChinese;
    return std::nullopt;
}

std::string_view LanguageCode(InterfaceLanguage language) {
    return language == InterfaceLanguage::kEnglish ? "en" : "zh_CN";
}

InterfaceLanguage ChooseLanguage(const char* variable, std::string_view stored) {
    if (variable != nullptr) {
        if (const auto chosen = ParseLanguage(variable))
            return *chosen;
    }
    return ParseLanguage(stored).value_or(InterfaceLanguage::kChinese);
}

void UseInterfaceLanguage(InterfaceLanguage language, const std::string& locale_dir) {
    bindtextdomain(kTextDomain, locale_dir.c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
    setenv("LANGUAGE", language == InterfaceLanguage::kEnglish ? "en" : "zh_CN", 1);
    LeaveThePlainCLocale();
    g_language.store(language);
}

void UseChosenInterfaceLanguage() {
    std::string stored;
    try {
        stored = ReadHkcuString(kQuillonSettingsKey, kLanguageSettingName, "");
    } catch (const std::exception& e) {
        // A value of the wrong type or an unreadable store leaves Chinese.
        ReportError("UseChosenInterfaceLanguage", e.what());
    }
    UseInterfaceLanguage(ChooseLanguage(std::getenv(kLanguageVariable), stored), LocaleDir());
}

InterfaceLanguage CurrentInterfaceLanguage() {
    return g_language.load();
}

const char* Tr(const char* msgid) {
    if (msgid == nullptr)
        return "";
    // An empty msgid would fetch the catalogue's header.
    if (*msgid == '\0' || g_language.load() != InterfaceLanguage::kEnglish)
        return msgid;
    return dgettext(kTextDomain, msgid);
}

std::string Tr(std::string_view msgid) {
    const std::string terminated(msgid);
    return std::string(Tr(terminated.c_str()));
}

std::string FilledText(std::string_view text, std::string_view value) {
    std::string out(text);
    const size_t at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, value);
    return out;
}

}  // namespace q3
