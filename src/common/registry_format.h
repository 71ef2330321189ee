// The text form of one registry hive: a ".reg"-style file that a person can
// read and edit. Parsing never fails: what is sound is kept, the rest is
// dropped and the hive is marked damaged so the caller can keep the original.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace q3 {

enum class RegistryHive { kCurrentUser, kClassesRoot };

// "HKEY_CURRENT_USER" or "HKEY_CLASSES_ROOT".
std::string_view HiveName(RegistryHive hive);

// An integer value (REG_DWORD, kept signed as callers use it) or a string
// value (REG_SZ, UTF-8).
using RegistryValue = std::variant<std::int32_t, std::string>;

// Registry names compare without regard to ASCII case.
bool SameRegistryName(std::string_view a, std::string_view b);

// The components of a backslash path; empty components (a leading, doubled or
// trailing backslash) are skipped, so "A\B\" names the key "A\B". Nothing
// when a component holds a control character or is longer than 255 bytes.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

struct RegistryKeyData {
    std::string path;  // components joined by "\", in the case first written
    std::vector<std::pair<std::string, RegistryValue>> values;  // "" = default value

    const RegistryValue* Find(std::string_view name) const;
    // True when the value was added or changed.
    bool Set(std::string_view name, const RegistryValue& value);
};

// All keys of one hive. Creating a key creates its ancestors, as the
// registry does, so a key exists whenever one of its sub-keys does.
class HiveData {
  public:
    const RegistryKeyData* FindKey(const std::vector<std::string>& components) const;
    // True when any key was added.
    bool CreateKey(const std::vector<std::string>& components);
    RegistryKeyData& KeyAt(const std::vector<std::string>& components);  // creates it
    bool empty() const { return keys_.empty(); }
    size_t key_count() const { return keys_.size(); }

    // Keys in path order (parents before children).
    template <typename F>
    void ForEachKey(F&& visit) const {
        for (const auto& [folded, key] : keys_)
            visit(key);
    }

  private:
    std::map<std::string, RegistryKeyData> keys_;  // by ASCII-folded path
};

struct ParsedHive {
    HiveData data;
    bool damaged = false;  // some line could not be read and was dropped
    int dropped_lines = 0;
};

inline constexpr std::string_view kHiveFileHeader = "Windows Registry Editor Version 5.00";

ParsedHive ParseHive(std::string_view text, RegistryHive hive);
std::string SerializeHive(const HiveData& data, RegistryHive hive);

}  // namespace q3
