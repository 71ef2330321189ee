#include "common/ini_file.h"

#include <filesystem>
#include <fstream>

#include "common/data_file.h"
#include "common/gbk.h"
#include "common/text.h"

namespace q3 {

IniFile::Section* IniFile::Find(std::string_view section) {
    const auto it = section_index_.find(AsciiLower(section));
    return it == section_index_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
    return const_cast<IniFile*>(this)->Find(section);
}

size_t IniFile::FindOrAdd(std::string_view section) {
    const auto [it, added] = section_index_.try_emplace(AsciiLower(section), sections_.size());
    if (added)
        sections_.push_back(Section{std::string(section), {}, {}});
    return it->second;
}

void IniFile::Put(Section& s, std::string_view key, std::string_view value) {
    const auto [it, added] = s.index.try_emplace(AsciiLower(key), s.entries.size());
    if (added)
        s.entries.push_back(Entry{std::string(key), std::string(value)});
    else
        s.entries[it->second].value = value;
}

size_t IniFile::KeyCount(std::string_view section) const {
    const Section* s = Find(section);
    return s == nullptr ? 0 : s->entries.size();
}

void IniFile::Parse(std::string_view utf8) {
    sections_.clear();
    section_index_.clear();
    size_t current = std::string::npos;  // an index: the vector grows as sections come
    while (!utf8.empty()) {
        const size_t eol = utf8.find('\n');
        std::string_view l = Trim(utf8.substr(0, eol));
        utf8.remove_prefix(eol == std::string_view::npos ? utf8.size() : eol + 1);
        if (l.empty() || l[0] == ';')
            continue;
        if (l.front() == '[' && l.back() == ']') {
            current = FindOrAdd(Trim(l.substr(1, l.size() - 2)));
            continue;
        }
        const size_t eq = l.find('=');
        if (current == std::string::npos || eq == std::string_view::npos)
            continue;  // not sound: skipped
        Put(sections_[current], Trim(l.substr(0, eq)), l.substr(eq + 1));
    }
}

bool IniFile::Load(const std::string& path) {
    sections_.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return !ec;
    // A folder or device where the file belongs is an error to report, not
    // something to read (reading a folder throws inside the stream).
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (in.bad())
        return false;
    Parse(TextFileToUtf8(bytes));
    return true;
}

std::string IniFile::Text() const {
    std::string out;
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\n";
        for (const Entry& e : s.entries)
            out += e.key + "=" + e.value + "\n";
        out += "\n";
    }
    return out;
}

bool IniFile::Save(const std::string& path) const {
    return ReplaceDataFile(path, Text());
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    if (const Section* s = Find(section)) {
        const auto it = s->index.find(AsciiLower(key));
        if (it != s->index.end())
            return s->entries[it->second].value;
    }
    return std::string(fallback);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    const std::string v(Trim(ReadString(section, key, "")));
    if (v.empty())
        return fallback;
    try {
        size_t used = 0;
        const long n = std::stol(v, &used, 10);
        if (used != v.size() || n < INT32_MIN || n > INT32_MAX)
            return fallback;
        return static_cast<int>(n);
    } catch (...) {
        return fallback;
    }
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Put(sections_[FindOrAdd(section)], key, value);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

}  // namespace q3
