#include "common/translation.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "common/app_paths.h"
#include "common/xdg_sandbox.h"

namespace q3 {
namespace {

using q3::testing::TempDir;

struct LanguageCase {
    const char* variable;  // null: not set
    const char* stored;
    InterfaceLanguage expected;
};

TEST(ChooseLanguage, VariableThenStoredChoiceThenChinese) {
    const InterfaceLanguage en = InterfaceLanguage::kEnglish;
    const InterfaceLanguage zh = InterfaceLanguage::kChinese;
    const LanguageCase cases[] = {
        {nullptr, "", zh},         // nothing chosen: Chinese
        {nullptr, "en", en},       // the Tools menu's choice
        {nullptr, "zh_CN", zh},    // the other choice it stores
        {nullptr, "klingon", zh},  // a damaged stored value
        {"en", "", en},            // the variable alone
        {"en", "zh_CN", en},       // the variable wins over the store
        {"zh_CN", "en", zh},       // both ways
        {"en_US.UTF-8", "", en},   // a locale name
        {" English ", "", en},     // a language name, padded
        {"中文", "en", zh},        // the menu's own caption
        {"", "en", en},            // set but empty names nothing
        {"fr_FR.UTF-8", "", zh},   // a language without a catalogue
        {"fr", "en", en},          // ... leaves the stored choice
        {"english-ish", "", en},   // only the part before '-' counts
        {"eng", "", zh},           // not a prefix match
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(std::string(c.variable ? c.variable : "(unset)") + " / " + c.stored);
        EXPECT_EQ(ChooseLanguage(c.variable, c.stored), c.expected);
    }
}

TEST(LanguageCode, IsReadBackAsTheSameLanguage) {
    for (const InterfaceLanguage language :
         {InterfaceLanguage::kChinese, InterfaceLanguage::kEnglish})
        EXPECT_EQ(ParseLanguage(LanguageCode(language)), language);
}

// The English catalogue compiled into the build tree, found where the
// program finds it, and consulted only while English is in use.
TEST(Tr, TranslatesThroughTheBuildTreeCatalogueOnlyInEnglish) {
    UseInterfaceLanguage(InterfaceLanguage::kEnglish, LocaleDir());
    EXPECT_STREQ(Tr("文件"), "File");
    EXPECT_EQ(Tr(std::string_view("帮助")), "Help");
    EXPECT_STREQ(Tr(""), "");
    EXPECT_STREQ(Tr("不在目录里的文字"), "不在目录里的文字");
    UseInterfaceLanguage(InterfaceLanguage::kChinese, LocaleDir());
    EXPECT_STREQ(Tr("文件"), "文件");
}

// The entries of a PO text: msgid to msgstr, both unescaped. The header
// (empty msgid) is left out.
std::map<std::string, std::string> ReadPo(std::istream& in) {
    std::map<std::string, std::string> entries;
    std::string line, id, str, *current = nullptr;
    auto flush = [&] {
        if (!id.empty())
            entries[id] = str;
        id.clear();
        str.clear();
        current = nullptr;
    };
    auto unquote = [](const std::string& text) {
        std::string out;
        const size_t first = text.find('"'), last = text.rfind('"');
        for (size_t i = first + 1; i < last; ++i) {
            if (text[i] != '\\' || i + 1 >= last) {
                out += text[i];
                continue;
            }
            const char e = text[++i];
            out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
        }
        return out;
    };
    while (std::getline(in, line)) {
        if (line.rfind("msgid ", 0) == 0) {
            flush();
            current = &id;
            id = unquote(line);
        } else if (line.rfind("msgstr ", 0) == 0) {
            current = &str;
            str = unquote(line);
        } else if (!line.empty() && line[0] == '"' && current != nullptr) {
            *current += unquote(line);
        } else if (line.empty() || line[0] == '#') {
            if (current == &str)
                flush();
        }
    }
    flush();
    return entries;
}

// Every text marked with _() or N_() in the sources, as xgettext reads them.
std::set<std::string> SourceMessageIds() {
    TempDir dir;
    const std::filesystem::path list = dir.path() / "files";
    {
        std::ofstream out(list);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(
                 std::filesystem::path(Q3_SOURCE_DIR) / "src")) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h"))
                out << entry.path().string() << '\n';
        }
    }
    const std::string command = std::string("'") + Q3_XGETTEXT +
                                "' --language=C++ --from-code=UTF-8 --keyword=_ --keyword=N_"
                                " --no-location --force-po -o - --files-from='" +
                                list.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    std::istringstream in(output);
    std::set<std::string> ids;
    for (const auto& [id, str] : ReadPo(in))
        ids.insert(id);
    return ids;
}

std::map<std::string, std::string> EnglishCatalogue() {
    std::ifstream in(std::filesystem::path(Q3_SOURCE_DIR) / "po" / "en.po");
    return ReadPo(in);
}

TEST(EnglishCatalogue, TranslatesEveryTextOfTheSources) {
    const std::set<std::string> ids = SourceMessageIds();
    // The menu bar's captions are marked: an extraction that found nothing
    // would make the test pass on anything.
    ASSERT_TRUE(ids.count("文件")) << "xgettext found " << ids.size() << " texts";
    const std::map<std::string, std::string> catalogue = EnglishCatalogue();
    for (const std::string& id : ids) {
        const auto it = catalogue.find(id);
        if (it == catalogue.end())
            ADD_FAILURE() << "po/en.po lacks: " << id;
        else if (it->second.empty())
            ADD_FAILURE() << "po/en.po leaves untranslated: " << id;
    }
}

TEST(EnglishCatalogue, HoldsNoTextTheSourcesNoLongerHave) {
    const std::set<std::string> ids = SourceMessageIds();
    ASSERT_FALSE(ids.empty());
    for (const auto& [id, str] : EnglishCatalogue())
        EXPECT_TRUE(ids.count(id)) << "po/en.po keeps a text no source marks: " << id;
}

}  // namespace
}  // namespace q3
