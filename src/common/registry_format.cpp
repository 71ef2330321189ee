// The registry files' text: the lines of a hive file read into keys and
// values, and written back.
#include "common/registry_format.h"

#include <cstdio>

#include "common/text.h"

namespace q3 {
namespace {

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
