// The registry's keys and values in memory: names compared as the registry
// compares them, key paths checked before use, and the tree of keys.
#include "common/registry_format.h"

#include "common/text.h"

namespace q3 {
namespace {

constexpr size_t kMaxKeyComponent = 255;

}  // namespace

std::string_view HiveName(RegistryHive hive) {
    return hive == RegistryHive::kClassesRoot ? "HKEY_CLASSES_ROOT" : "HKEY_CURRENT_USER";
}

bool SameRegistryName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            if (part.size() > kMaxKeyComponent)
                return std::nullopt;
            for (const char c : part) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x20 || b == 0x7F)
                    return std::nullopt;
            }
            if (components.size() == kMaxKeyDepth)
                return std::nullopt;
            components.emplace_back(part);
        }
        start = end + 1;
    }
    return components;
}

namespace {

// Below this many values a key is searched value by value, as cheap as a hash.
constexpr size_t kIndexFrom = 8;

}  // namespace

const std::pair<std::string, RegistryValue>* RegistryKeyData::Lookup(
    std::string_view value_name) const {
    if (!index_.empty() && index_.size() == values.size()) {
        const auto it = index_.find(AsciiLower(value_name));
        return it == index_.end() ? nullptr : &values[it->second];
    }
    for (const auto& pair : values) {
        if (SameRegistryName(pair.first, value_name))
            return &pair;
    }
    return nullptr;
}

const RegistryValue* RegistryKeyData::Find(std::string_view value_name) const {
    const auto* pair = Lookup(value_name);
    return pair == nullptr ? nullptr : &pair->second;
}

bool RegistryKeyData::Set(std::string_view value_name, const RegistryValue& value) {
    if (const auto* found = Lookup(value_name)) {
        auto& v = const_cast<RegistryValue&>(found->second);
        if (v == value)
            return false;
        v = value;
        return true;
    }
    values.emplace_back(std::string(value_name), value);
    if (index_.size() + 1 == values.size() && (!index_.empty() || values.size() > kIndexFrom)) {
        if (index_.empty()) {
            for (size_t i = 0; i + 1 < values.size(); ++i)
                index_.emplace(AsciiLower(values[i].first), i);
        }
        index_.emplace(AsciiLower(value_name), values.size() - 1);
    }
    return true;
}

size_t HiveData::Find(const std::vector<std::string>& components) const {
    if (nodes_.empty())
        return std::string::npos;
    size_t at = 0;
    for (const std::string& c : components) {
        const auto it = nodes_[at].children.find(AsciiLower(c));
        if (it == nodes_[at].children.end())
            return std::string::npos;
        at = it->second;
    }
    return at;
}

size_t HiveData::Walk(const std::vector<std::string>& components, bool create, bool* added) {
    if (!create)
        return Find(components);
    if (nodes_.empty()) {
        nodes_.emplace_back();
        *added = true;
    }
    size_t at = 0;
    for (const std::string& c : components) {
        auto [it, inserted] = nodes_[at].children.try_emplace(AsciiLower(c), nodes_.size());
        if (inserted) {
            nodes_.emplace_back();
            nodes_.back().key.name = c;
            *added = true;
        }
        at = it->second;
    }
    return at;
}

const RegistryKeyData* HiveData::FindKey(const std::vector<std::string>& components) const {
    const size_t at = Find(components);
    return at == std::string::npos ? nullptr : &nodes_[at].key;
}

bool HiveData::CreateKey(const std::vector<std::string>& components) {
    bool added = false;
    Walk(components, true, &added);
    return added;
}

RegistryKeyData& HiveData::KeyAt(const std::vector<std::string>& components) {
    bool added = false;
    return nodes_[Walk(components, true, &added)].key;
}

void HiveData::ForEachKey(const KeyVisitor& visit) const {
    if (nodes_.empty())
        return;
    // An explicit stack: a hostile file's nesting never reaches the call stack.
    struct Step {
        size_t node;
        size_t path_size;  // of the parent's path, to cut back to
    };
    std::vector<Step> stack{{0, 0}};
    std::string path;
    while (!stack.empty()) {
        const Step step = stack.back();
        stack.pop_back();
        path.resize(step.path_size);
        const Node& node = nodes_[step.node];
        if (step.node != 0) {
            if (!path.empty())
                path += '\\';
            path += node.key.name;
        }
        visit(path, node.key, !node.children.empty());
        for (auto it = node.children.rbegin(); it != node.children.rend(); ++it)
            stack.push_back({it->second, path.size()});
    }
}

}  // namespace q3
