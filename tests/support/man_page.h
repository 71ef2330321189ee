// Reading a manual page's source the way a reader of the page sees its
// words, so tests can hold a program's option table against it.
#pragma once

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace q3::testing {

// The page's source with "\-" read as a dash and every font change ("\fB",
// "\fR", ...) as a space, so option names stand as words. Empty when the
// file cannot be read.
inline std::string ReadManPage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream raw;
    raw << in.rdbuf();
    const std::string source = raw.str();
    std::string text;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '\\' && i + 1 < source.size() && source[i + 1] == '-') {
            text += '-';
            ++i;
        } else if (source.compare(i, 2, "\\f") == 0 && i + 2 < source.size()) {
            text += ' ';
            i += 2;
        } else {
            text += source[i];
        }
    }
    return text;
}

inline bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

// Whether word stands in text with no word character on either side.
inline bool HasWord(const std::string& text, const std::string& word) {
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool starts = at == 0 || !IsWordChar(text[at - 1]);
        const size_t end = at + word.size();
        if (starts && (end == text.size() || !IsWordChar(text[end])))
            return true;
    }
    return false;
}

// Every word of the text shaped like an option: one or two dashes, then a
// letter ("-o", "--to-gbk"); "--" alone is not among them.
inline std::set<std::string> OptionWords(const std::string& text) {
    std::set<std::string> words;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-' || (i > 0 && IsWordChar(text[i - 1])))
            continue;
        size_t j = i + 1;
        if (j < text.size() && text[j] == '-')
            ++j;
        if (j >= text.size() || !std::isalpha(static_cast<unsigned char>(text[j])))
            continue;
        size_t end = j;
        while (end < text.size() && IsWordChar(text[end]))
            ++end;
        words.insert(text.substr(i, end - i));
        i = end;
    }
    return words;
}

}  // namespace q3::testing
