#include "common/registry_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q3 {
namespace {

using Path = std::vector<std::string>;

const RegistryValue* ValueAt(const HiveData& data, const Path& key, std::string_view name) {
    const RegistryKeyData* k = data.FindKey(key);
    return k == nullptr ? nullptr : k->Find(name);
}

struct SplitCase {
    const char* path;
    std::optional<Path> components;
};

TEST(SplitKeyPath, SkipsEmptyComponentsAndRejectsControlCharacters) {
    const SplitCase cases[] = {
        {"SOFTWARE\\Tarvik\\Quillon3", Path{"SOFTWARE", "Tarvik", "Quillon3"}},
        {"SOFTWARE\\Tarvik\\Quillon3\\", Path{"SOFTWARE", "Tarvik", "Quillon3"}},  // no book open
        {"\\A\\\\B", Path{"A", "B"}},
        {"", Path{}},  // the hive's root key
        {".qbx", Path{".qbx"}},
        {"A\nB", std::nullopt},
        {"A\\B\x7F", std::nullopt},
        {"中文\\书名", Path{"中文", "书名"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitKeyPath(c.path), c.components) << c.path;
    }
}

TEST(SplitKeyPath, ComponentLongerThan255BytesIsRejected) {
    EXPECT_TRUE(SplitKeyPath(std::string(255, 'k')).has_value());
    EXPECT_FALSE(SplitKeyPath("A\\" + std::string(256, 'k')).has_value());
}

TEST(SameRegistryName, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameRegistryName("MaskerCount", "maskercount"));
    EXPECT_TRUE(SameRegistryName("", ""));
    EXPECT_FALSE(SameRegistryName("BookName1", "BookName10"));
    EXPECT_FALSE(SameRegistryName("\xC3\xA9", "\xC3\x89"));  // é and É stay different
}

TEST(HiveData, CreatingAKeyCreatesItsParents) {
    HiveData data;
    EXPECT_TRUE(data.CreateKey({"Quillon", "Shell", "Open"}));
    EXPECT_NE(data.FindKey({"quillon"}), nullptr);
    EXPECT_NE(data.FindKey({"QUILLON", "shell"}), nullptr);
    EXPECT_NE(data.FindKey({}), nullptr);
    EXPECT_FALSE(data.CreateKey({"Quillon", "Shell"}));
    EXPECT_EQ(data.key_count(), 4u);
}

TEST(HiveData, KeyKeepsTheCaseItWasFirstWrittenIn) {
    HiveData data;
    data.KeyAt({"Software", "Tarvik"});
    data.KeyAt({"SOFTWARE", "TARVIK"}).Set("x", 1);
    EXPECT_EQ(data.FindKey({"software"})->name, "Software");
    EXPECT_EQ(data.FindKey({"software", "tarvik"})->name, "Tarvik");
    EXPECT_NE(SerializeHive(data, RegistryHive::kCurrentUser).find("\\Software\\Tarvik]"),
              std::string::npos);
}

TEST(RegistryKeyData, SetReportsWhetherAnythingChanged) {
    RegistryKeyData key;
    EXPECT_TRUE(key.Set("Count", 3));
    EXPECT_FALSE(key.Set("COUNT", 3));
    EXPECT_TRUE(key.Set("count", std::string("3")));  // another type is a change
    ASSERT_EQ(key.values.size(), 1u);
    EXPECT_EQ(key.values[0].first, "Count");
}

TEST(SplitKeyPath, DepthIsBoundedAsOnTheRegistry) {
    std::string deep;
    for (size_t i = 0; i < kMaxKeyDepth; ++i)
        deep += "\\k";
    EXPECT_EQ(SplitKeyPath(deep)->size(), kMaxKeyDepth);
    EXPECT_FALSE(SplitKeyPath(deep + "\\k").has_value());
    EXPECT_EQ(SplitKeyPath(deep + "\\\\")->size(), kMaxKeyDepth);  // empty components do not count
}

TEST(ParseHive, RegressionDeepSectionIsDroppedNotStoredPrefixByPrefix) {
    // 40 KB: one section of 20 000 components, each prefix a key holding its
    // whole path before (1.7 GB); the sound lines around it are kept.
    std::string text = std::string(kHiveFileHeader) + "\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:1\n";
    text += "[HKEY_CURRENT_USER";
    for (int i = 0; i < 20000; ++i)
        text += "\\a";
    text += "]\n\"lost\"=dword:2\n[HKEY_CURRENT_USER\\B]\n\"w\"=dword:3\n";
    const ParsedHive parsed = ParseHive(text, RegistryHive::kCurrentUser);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_EQ(parsed.data.FindKey({"a", "a"}), nullptr);
    EXPECT_EQ(*ValueAt(parsed.data, {"A"}, "v"), RegistryValue(1));
    EXPECT_EQ(*ValueAt(parsed.data, {"B"}, "w"), RegistryValue(3));
    EXPECT_EQ(parsed.data.key_count(), 3u);  // the root, A and B
}

TEST(SerializeHive, RegressionDeepKeysStayWithinTheHiveSize) {
    // The deepest keys with the longest names: a section per key would write
    // the path 512 times over, some 33 MB, more than a hive may hold.
    HiveData data;
    std::vector<std::string> path;
    for (size_t i = 0; i < kMaxKeyDepth; ++i)
        path.push_back(std::string(255, static_cast<char>('a' + i % 26)));
    data.KeyAt(path).Set("deep", 7);
    std::vector<std::string> middle(path.begin(), path.begin() + 100);
    data.KeyAt(middle).Set("middle", std::string("m"));
    data.KeyAt({"Other"});
    const std::string text = SerializeHive(data, RegistryHive::kCurrentUser);
    EXPECT_LT(text.size(), size_t{1} << 20);
    const ParsedHive back = ParseHive(text, RegistryHive::kCurrentUser);
    EXPECT_FALSE(back.damaged);
    EXPECT_EQ(back.data.key_count(), data.key_count());
    EXPECT_EQ(*ValueAt(back.data, path, "deep"), RegistryValue(7));
    EXPECT_EQ(*ValueAt(back.data, middle, "MIDDLE"), RegistryValue(std::string("m")));
    EXPECT_NE(back.data.FindKey({"other"}), nullptr);
}

TEST(RegistryKeyData, ManyValuesAreFoundWithoutRegardToCase) {
    RegistryKeyData key;
    for (int i = 0; i < 40; ++i)
        EXPECT_TRUE(key.Set("Name" + std::to_string(i), i));
    EXPECT_FALSE(key.Set("NAME3", 3));
    EXPECT_TRUE(key.Set("name3", std::string("three")));
    ASSERT_EQ(key.values.size(), 40u);
    EXPECT_EQ(key.values[3].first, "Name3");
    EXPECT_EQ(*key.Find("nAmE3"), RegistryValue(std::string("three")));
    EXPECT_EQ(*key.Find("name39"), RegistryValue(39));
    EXPECT_EQ(key.Find("name40"), nullptr);
    RegistryKeyData copy = key;  // a copied key (the store caches hives) finds as well
    EXPECT_EQ(*copy.Find("NAME39"), RegistryValue(39));
}

TEST(SerializeHive, RoundTripsEveryKindOfValue) {
    HiveData data;
    RegistryKeyData& k = data.KeyAt({"SOFTWARE", "Tarvik", "Quillon3"});
    k.Set("FackColor-Quillon3", 15780518);
    k.Set("Negative", -16777201);  // a system colour reference
    k.Set("", std::string("default"));
    k.Set("Quote\"Back\\slash", std::string("line1\nline2\r\t\"q\" \\ \x01 end"));
    k.Set("@", std::string("a value named like the default"));
    data.KeyAt({"Empty key"});
    data.KeyAt({"SOFTWARE", "Tarvik", "Quillon3", "书名"}).Set("BookName0", std::string("第一章"));

    const std::string text = SerializeHive(data, RegistryHive::kCurrentUser);
    const ParsedHive back = ParseHive(text, RegistryHive::kCurrentUser);
    EXPECT_FALSE(back.damaged) << text;
    EXPECT_EQ(SerializeHive(back.data, RegistryHive::kCurrentUser), text);
    const Path key{"SOFTWARE", "Tarvik", "Quillon3"};
    EXPECT_EQ(*ValueAt(back.data, key, "FackColor-Quillon3"), RegistryValue(15780518));
    EXPECT_EQ(*ValueAt(back.data, key, "negative"), RegistryValue(-16777201));
    EXPECT_EQ(*ValueAt(back.data, key, ""), RegistryValue(std::string("default")));
    EXPECT_EQ(*ValueAt(back.data, key, "@"),
              RegistryValue(std::string("a value named like the default")));
    EXPECT_EQ(*ValueAt(back.data, key, "Quote\"Back\\slash"),
              RegistryValue(std::string("line1\nline2\r\t\"q\" \\ \x01 end")));
    EXPECT_NE(back.data.FindKey({"empty KEY"}), nullptr);
}

TEST(SerializeHive, TextIsRegeditLike) {
    HiveData data;
    data.KeyAt({".qbx"}).Set("", std::string("Quillon"));
    data.KeyAt({"Quillon", "DefaultIcon"}).Set("", std::string("/opt/q3/quillon3,0"));
    data.KeyAt({"S"}).Set("Colour", 15780518);
    EXPECT_EQ(SerializeHive(data, RegistryHive::kClassesRoot),
              "Windows Registry Editor Version 5.00\n"
              "\n[HKEY_CLASSES_ROOT]\n"
              "\n[HKEY_CLASSES_ROOT\\.qbx]\n@=\"Quillon\"\n"
              "\n[HKEY_CLASSES_ROOT\\Quillon]\n"
              "\n[HKEY_CLASSES_ROOT\\Quillon\\DefaultIcon]\n@=\"/opt/q3/quillon3,0\"\n"
              "\n[HKEY_CLASSES_ROOT\\S]\n\"Colour\"=dword:00f0caa6\n");
}

TEST(ParseHive, AcceptsWhatAPersonMightWrite) {
    const std::string text =
        "\xEF\xBB\xBF"                              // byte order mark of an editor
        "Windows Registry Editor Version 5.00\r\n"  // CRLF line ends
        "; a comment\r\n"
        "\r\n"
        "[hkey_current_user\\A]\r\n"  // hive name in another case
        "\"N\" = dword:1F\r\n"        // blanks around "=", short hexadecimal
        "\"M\"=DWORD:FFFFFFFF\r\n"    // upper-case type word
        "  @=\"x\"  \r\n";            // indented, trailing blanks
    const ParsedHive parsed = ParseHive(text, RegistryHive::kCurrentUser);
    EXPECT_FALSE(parsed.damaged);
    EXPECT_EQ(*ValueAt(parsed.data, {"A"}, "N"), RegistryValue(31));
    EXPECT_EQ(*ValueAt(parsed.data, {"A"}, "M"), RegistryValue(-1));
    EXPECT_EQ(*ValueAt(parsed.data, {"A"}, ""), RegistryValue(std::string("x")));
}

struct DamageCase {
    const char* what;
    const char* line;
};

TEST(ParseHive, UnsoundLinesAreDroppedAndTheRestIsKept) {
    const DamageCase cases[] = {
        {"unterminated string", "\"Bad\"=\"no end"},
        {"unknown escape", "\"Bad\"=\"a\\qb\""},
        {"half a hex escape", "\"Bad\"=\"\\x4\""},
        {"unsupported type", "\"Bad\"=hex:01,02"},
        {"dword too long", "\"Bad\"=dword:123456789"},
        {"dword not hex", "\"Bad\"=dword:12G4"},
        {"text after the string", "\"Bad\"=\"a\" trailing"},
        {"no equals sign", "\"Bad\" \"a\""},
        {"garbage", "\x01\x02\xFF\xFE garbage"},
    };
    for (const DamageCase& c : cases) {
        const std::string text = std::string(kHiveFileHeader) +
                                 "\n[HKEY_CURRENT_USER\\K]\n\"Before\"=dword:1\n" + c.line +
                                 "\n\"After\"=\"kept\"\n";
        const ParsedHive parsed = ParseHive(text, RegistryHive::kCurrentUser);
        EXPECT_TRUE(parsed.damaged) << c.what;
        EXPECT_EQ(parsed.dropped_lines, 1) << c.what;
        EXPECT_EQ(ValueAt(parsed.data, {"K"}, "Bad"), nullptr) << c.what;
        EXPECT_EQ(*ValueAt(parsed.data, {"K"}, "Before"), RegistryValue(1)) << c.what;
        EXPECT_EQ(*ValueAt(parsed.data, {"K"}, "After"), RegistryValue(std::string("kept")))
            << c.what;
    }
}

TEST(ParseHive, ValuesUnderAnUnreadableSectionAreNotGivenToTheKeyBefore) {
    const std::string text = std::string(kHiveFileHeader) +
                             "\n[HKEY_CURRENT_USER\\Good]\n\"A\"=dword:1\n"
                             "[HKEY_LOCAL_MACHINE\\Other]\n\"B\"=dword:2\n"
                             "[HKEY_CURRENT_USER\\Bad\nname]\n"
                             "[HKEY_CURRENT_USER\\Next]\n\"C\"=dword:3\n";
    const ParsedHive parsed = ParseHive(text, RegistryHive::kCurrentUser);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_EQ(ValueAt(parsed.data, {"Good"}, "B"), nullptr);
    EXPECT_EQ(parsed.data.FindKey({"Other"}), nullptr);
    EXPECT_EQ(*ValueAt(parsed.data, {"Next"}, "C"), RegistryValue(3));
}

TEST(ParseHive, SectionOfAnotherHiveNameWithTheSamePrefixIsNotOurs) {
    const std::string text = std::string(kHiveFileHeader) + "\n[HKEY_CURRENT_USERX\\K]\n";
    const ParsedHive parsed = ParseHive(text, RegistryHive::kCurrentUser);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_TRUE(parsed.data.empty());
}

TEST(ParseHive, GarbageGivesAnEmptyDamagedHive) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) & 0xFF);
    const ParsedHive parsed = ParseHive(garbage, RegistryHive::kCurrentUser);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_TRUE(parsed.data.empty());
}

TEST(ParseHive, MissingHeaderIsDamageButTheValuesAreRead) {
    const ParsedHive parsed =
        ParseHive("[HKEY_CURRENT_USER\\K]\n\"A\"=\"b\"\n", RegistryHive::kCurrentUser);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_EQ(parsed.dropped_lines, 0);
    EXPECT_EQ(*ValueAt(parsed.data, {"K"}, "A"), RegistryValue(std::string("b")));
}

TEST(ParseHive, EmptyTextIsASoundEmptyHive) {
    const ParsedHive parsed = ParseHive("", RegistryHive::kClassesRoot);
    EXPECT_FALSE(parsed.damaged);
    EXPECT_TRUE(parsed.data.empty());
}

TEST(ParseHive, RegressionValueBeforeAnySectionIsDropped) {
    const ParsedHive parsed =
        ParseHive(std::string(kHiveFileHeader) + "\n\"A\"=dword:1\n", RegistryHive::kCurrentUser);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_TRUE(parsed.data.empty());
}

}  // namespace
}  // namespace q3
