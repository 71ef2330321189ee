#include "common/ini_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/gbk.h"
#include "common/text.h"

namespace q3 {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return AsciiLower(a) == AsciiLower(b);
}

}  // namespace

IniFile::Section* IniFile::Find(std::string_view section) {
    for (Section& s : sections_) {
        if (SameName(s.name, section))
            return &s;
    }
    return nullptr;
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
    return const_cast<IniFile*>(this)->Find(section);
}

void IniFile::Parse(std::string_view utf8) {
    sections_.clear();
    Section* current = nullptr;
    std::istringstream in{std::string(utf8)};
    for (std::string line; std::getline(in, line);) {
        std::string_view l = Trim(line);
        if (l.empty() || l[0] == ';')
            continue;
        if (l.front() == '[' && l.back() == ']') {
            std::string name(Trim(l.substr(1, l.size() - 2)));
            current = Find(name);
            if (current == nullptr) {
                sections_.push_back(Section{name, {}});
                current = &sections_.back();
            }
            continue;
        }
        const size_t eq = l.find('=');
        if (current == nullptr || eq == std::string_view::npos)
            continue;  // not sound: skipped
        WriteString(current->name, Trim(l.substr(0, eq)), l.substr(eq + 1));
        current = Find(current->name);  // WriteString may have grown the vector
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
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        const std::string text = Text();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out.flush()) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    if (const Section* s = Find(section)) {
        for (const Entry& e : s->entries) {
            if (SameName(e.key, key))
                return e.value;
        }
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
    Section* s = Find(section);
    if (s == nullptr) {
        sections_.push_back(Section{std::string(section), {}});
        s = &sections_.back();
    }
    for (Entry& e : s->entries) {
        if (SameName(e.key, key)) {
            e.value = value;
            return;
        }
    }
    s->entries.push_back(Entry{std::string(key), std::string(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

}  // namespace q3
