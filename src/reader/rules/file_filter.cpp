#include "reader/rules/file_filter.h"

namespace q3::reader {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? at : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
    std::vector<FileFilter> filters;
    const std::vector<std::string> parts = Split(filter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilter f{parts[i], {}};
        for (std::string& p : Split(parts[i + 1], ';')) {
            if (!p.empty())
                f.patterns.push_back(std::move(p));
        }
        if (!f.patterns.empty())
            filters.push_back(std::move(f));
    }
    return filters;
}

}  // namespace q3::reader
