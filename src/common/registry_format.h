// The text form of one registry hive: a ".reg"-style file that a person can
// read and edit. Parsing never fails: what is sound is kept, the rest is
// dropped and the hive is marked damaged so the caller can keep the original.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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

// Keys nest at most this deep, as on the registry this store stands in for.
inline constexpr size_t kMaxKeyDepth = 512;

// The components of a backslash path; empty components (a leading, doubled or
// trailing backslash) are skipped, so "A\B\" names the key "A\B". Nothing
// when a component holds a control character or is longer than 255 bytes, or
// when there are more than kMaxKeyDepth components.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

struct RegistryKeyData {
    std::string name;  // this key's own component, in the case first written ("" at the root)
    std::vector<std::pair<std::string, RegistryValue>> values;  // "" = default value

    const RegistryValue* Find(std::string_view value_name) const;
    // True when the value was added or changed.
    bool Set(std::string_view value_name, const RegistryValue& value);

  private:
    // Value positions by ASCII-folded name, kept once a key holds more than a
    // few values: a hostile file of one key with many values then loads in
    // linear time.
    std::unordered_map<std::string, size_t> index_;
    const std::pair<std::string, RegistryValue>* Lookup(std::string_view value_name) const;
};

// All keys of one hive, as a tree: each key holds its own component only, so
// memory stays linear in the text however deep the keys go. Creating a key
// creates its ancestors, as the registry does, so a key exists whenever one
// of its sub-keys does.
class HiveData {
  public:
    const RegistryKeyData* FindKey(const std::vector<std::string>& components) const;
    // True when any key was added.
    bool CreateKey(const std::vector<std::string>& components);
    RegistryKeyData& KeyAt(const std::vector<std::string>& components);  // creates it
    bool empty() const { return nodes_.empty(); }
    size_t key_count() const { return nodes_.size(); }

    // Keys depth first, parents before children, siblings by folded name,
    // each with its path (components joined by "\", as first written).
    using KeyVisitor =
        std::function<void(const std::string& path, const RegistryKeyData& key, bool has_children)>;
    void ForEachKey(const KeyVisitor& visit) const;

  private:
    struct Node {
        RegistryKeyData key;
        std::map<std::string, size_t> children;  // by ASCII-folded component
    };
    // The node at the end of components (created when create), or npos.
    size_t Walk(const std::vector<std::string>& components, bool create, bool* added);
    size_t Find(const std::vector<std::string>& components) const;

    std::deque<Node> nodes_;  // nodes_[0] is the root once any key exists; stable references
};

struct ParsedHive {
    HiveData data;
    bool damaged = false;  // some line could not be read and was dropped
    int dropped_lines = 0;
};

// A hive larger than this is not ours: it is read up to here and treated as
// damaged, and no write may produce one.
inline constexpr size_t kMaxHiveBytes = 16u << 20;

inline constexpr std::string_view kHiveFileHeader = "Windows Registry Editor Version 5.00";

ParsedHive ParseHive(std::string_view text, RegistryHive hive);
std::string SerializeHive(const HiveData& data, RegistryHive hive);

}  // namespace q3
