// Arbitrary bytes as a settings hive and as the INI data files ("RURLs.dat"):
// loading must never crash or cost more than linear time and memory, and what
// is loaded must survive a save and a load again unchanged, so that nothing a
// user stored is lost by the next write. The first byte picks the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/ini_file.h"
#include "common/registry_format.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void FuzzHive(std::string_view text, q3::RegistryHive hive) {
    const q3::ParsedHive parsed = q3::ParseHive(text, hive);
    const std::string saved = q3::SerializeHive(parsed.data, hive);
    const q3::ParsedHive back = q3::ParseHive(saved, hive);
    // What was read is written soundly and reads back as it was.
    Check(!back.damaged);
    Check(back.data.key_count() == parsed.data.key_count());
    Check(q3::SerializeHive(back.data, hive) == saved);
    parsed.data.ForEachKey([&](const std::string& path, const q3::RegistryKeyData& key, bool) {
        const auto components = q3::SplitKeyPath(path);
        Check(components.has_value());
        const q3::RegistryKeyData* again = back.data.FindKey(*components);
        Check(again != nullptr && again->values.size() == key.values.size());
        for (const auto& [name, value] : key.values) {
            const q3::RegistryValue* found = again->Find(name);
            Check(found != nullptr && *found == value);
        }
    });
}

void FuzzIni(std::string_view text) {
    q3::IniFile ini;
    ini.Parse(text);
    const std::string saved = ini.Text();
    q3::IniFile back;
    back.Parse(saved);
    Check(back.Text() == saved);
    // The history's count is trusted only as far as the section's lines.
    const int count = ini.ReadInteger("URLs", "Count", 0);
    Check(back.ReadInteger("URLs", "Count", 0) == count);
    Check(back.KeyCount("URLs") == ini.KeyCount("URLs"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            FuzzHive(text, q3::RegistryHive::kCurrentUser);
            break;
        case 1:
            FuzzHive(text, q3::RegistryHive::kClassesRoot);
            break;
        default:
            FuzzIni(text);
            break;
    }
    return 0;
}
