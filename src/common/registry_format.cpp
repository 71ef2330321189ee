#include "common/registry_format.h"

#include <cstdio>

#include "common/text.h"

namespace q3 {
namespace {

constexpr size_t kMaxKeyComponent = 255;

void SkipBlanks(std::string_view& s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
}

// Reads a double-quoted text with its escapes from the front of s.
std::optional<std::string> TakeQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string out;
    size_t i = 1;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c != '\\') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 >= s.size())
            return std::nullopt;
        const char e = s[i + 1];
        i += 2;
        switch (e) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                if (i + 1 >= s.size())
                    return std::nullopt;
                const int hi = HexValue(s[i]);
                const int lo = HexValue(s[i + 1]);
                if (hi < 0 || lo < 0)
                    return std::nullopt;
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return std::nullopt;  // no closing quote
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (b < 0x20 || b == 0x7F) {
                    char esc[5];
                    std::snprintf(esc, sizeof esc, "\\x%02x", b);
                    out += esc;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

std::optional<RegistryValue> ParseData(std::string_view s) {
    SkipBlanks(s);
    if (!s.empty() && s.front() == '"') {
        std::optional<std::string> text = TakeQuoted(s);
        if (!text || !Trim(s).empty())
            return std::nullopt;
        return RegistryValue(std::move(*text));
    }
    constexpr std::string_view kDword = "dword:";
    if (s.size() <= kDword.size() || AsciiLower(s.substr(0, kDword.size())) != kDword) {
        return std::nullopt;
    }
    const std::string_view digits = Trim(s.substr(kDword.size()));
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t v = 0;
    for (const char c : digits) {
        const int d = HexValue(c);
        if (d < 0)
            return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return RegistryValue(static_cast<std::int32_t>(v));
}

struct ValueLine {
    std::string name;
    RegistryValue value;
};

std::optional<ValueLine> ParseValueLine(std::string_view line) {
    ValueLine out;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        std::optional<std::string> name = TakeQuoted(line);
        if (!name)
            return std::nullopt;
        out.name = std::move(*name);
    }
    SkipBlanks(line);
    if (line.empty() || line.front() != '=')
        return std::nullopt;
    line.remove_prefix(1);
    std::optional<RegistryValue> value = ParseData(line);
    if (!value)
        return std::nullopt;
    out.value = std::move(*value);
    return out;
}

// The key named by a section line "[HIVE\path]"; nothing when the line names
// another hive or an invalid path.
std::optional<std::vector<std::string>> ParseSectionLine(std::string_view line, RegistryHive hive) {
    if (line.size() < 2 || line.back() != ']')
        return std::nullopt;
    const std::string_view inner = line.substr(1, line.size() - 2);
    const std::string_view name = HiveName(hive);
    if (inner.size() < name.size() || !SameRegistryName(inner.substr(0, name.size()), name)) {
        return std::nullopt;
    }
    const std::string_view rest = inner.substr(name.size());
    if (!rest.empty() && rest.front() != '\\')
        return std::nullopt;
    return SplitKeyPath(rest);
}

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

ParsedHive ParseHive(std::string_view text, RegistryHive hive) {
    ParsedHive out;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    bool seen_header = false;
    RegistryKeyData* current = nullptr;  // null: values have no sound key to go to
    auto drop = [&out] {
        out.damaged = true;
        ++out.dropped_lines;
    };
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view raw = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (!seen_header) {
            seen_header = true;
            if (line == kHiveFileHeader)
                continue;
            out.damaged = true;  // not our file's first line; read on all the same
        }
        if (line.front() == '[') {
            std::optional<std::vector<std::string>> key = ParseSectionLine(line, hive);
            if (!key) {
                drop();
                current = nullptr;
                continue;
            }
            current = &out.data.KeyAt(*key);
            continue;
        }
        std::optional<ValueLine> value =
            current != nullptr && (line.front() == '@' || line.front() == '"')
                ? ParseValueLine(line)
                : std::nullopt;
        if (!value) {
            drop();
            continue;
        }
        current->Set(value->name, value->value);
    }
    return out;
}

namespace {

void AppendKey(std::string& out, RegistryHive hive, const std::string& path,
               const RegistryKeyData& key) {
    out += "\n[";
    out += HiveName(hive);
    if (!path.empty()) {
        out += '\\';
        out += path;
    }
    out += "]\n";
    for (const auto& [name, value] : key.values) {
        if (name.empty()) {
            out += '@';
        } else {
            AppendQuoted(out, name);
        }
        out += '=';
        if (const auto* i = std::get_if<std::int32_t>(&value)) {
            char dword[16];
            std::snprintf(dword, sizeof dword, "dword:%08x", static_cast<std::uint32_t>(*i));
            out += dword;
        } else {
            AppendQuoted(out, std::get<std::string>(value));
        }
        out += '\n';
    }
}

}  // namespace

std::string SerializeHive(const HiveData& data, RegistryHive hive) {
    std::string out(kHiveFileHeader);
    out += "\n";
    // Every key gets its section, as a registry export has it. Deep keys make
    // that text grow with the square of their depth; past the size a hive may
    // have, only the keys no other section implies are written (those with
    // values, and those without sub-keys), which is never more than the text
    // that named them.
    bool full = true;
    data.ForEachKey([&](const std::string& path, const RegistryKeyData& key, bool) {
        if (full && out.size() > kMaxHiveBytes)
            full = false;
        if (full)
            AppendKey(out, hive, path, key);
    });
    if (full)
        return out;
    out.resize(kHiveFileHeader.size() + 1);
    data.ForEachKey([&](const std::string& path, const RegistryKeyData& key, bool has_children) {
        if (!key.values.empty() || !has_children)
            AppendKey(out, hive, path, key);
    });
    return out;
}

}  // namespace q3
