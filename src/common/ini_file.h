// INI-form text files ("[Section]" lines and "key=value" lines), read as far
// as they are sound and written atomically. Section and key names compare
// without regard to ASCII case, as the platform's INI routines always have;
// files written on the original platform (GBK) load as well as UTF-8 ones.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace q3 {

class IniFile {
  public:
    // An absent file reads as empty; false only when it exists and cannot be read.
    bool Load(const std::string& path);
    // Writes beside the file and renames over it; false when that fails.
    bool Save(const std::string& path) const;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);

    std::string Text() const;
    void Parse(std::string_view utf8);

  private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    Section* Find(std::string_view section);
    const Section* Find(std::string_view section) const;

    std::vector<Section> sections_;
};

}  // namespace q3
