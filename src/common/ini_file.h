// INI-form text files ("[Section]" lines and "key=value" lines), read as far
// as they are sound and written atomically. Section and key names compare
// without regard to ASCII case, as the platform's INI routines always have;
// files written on the original platform (GBK) load as well as UTF-8 ones.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace q3 {

class IniFile {
  public:
    // An absent file reads as empty; false only when it exists and cannot be read.
    bool Load(const std::string& path);
    // Replaces the file as the settings are replaced (a unique temporary file,
    // synced and renamed over it, under the file's lock); false when that
    // fails, and the old file is then whole.
    bool Save(const std::string& path) const;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);

    // How many keys the section holds (0 when it is missing): a count read
    // from the file is trusted only as far as the lines really present.
    size_t KeyCount(std::string_view section) const;

    std::string Text() const;
    void Parse(std::string_view utf8);

  private:
    struct Entry {
        std::string key, value;
    };
    // Names are found through folded-name indexes: a hostile file of many
    // keys or sections loads in linear time.
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, size_t> index;  // folded key -> entries
    };
    Section* Find(std::string_view section);
    const Section* Find(std::string_view section) const;
    size_t FindOrAdd(std::string_view section);  // its index
    static void Put(Section& s, std::string_view key, std::string_view value);

    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> section_index_;  // folded name -> sections_
};

}  // namespace q3
