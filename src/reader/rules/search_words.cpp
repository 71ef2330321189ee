#include "reader/rules/search_words.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/data_file.h"
#include "common/gbk.h"

namespace q3::reader {

namespace {

// A list file larger than this is not a list of typed words; read its head.
constexpr std::streamsize kMaxFileBytes = 4 << 20;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

[[noreturn]] void Fail(const char* what, const std::filesystem::path& file) {
    throw std::filesystem::filesystem_error(what, file,
                                            std::error_code(errno, std::generic_category()));
}

}  // namespace

std::vector<std::string> LoadSearchWords(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::string bytes(static_cast<size_t>(kMaxFileBytes), '\0');
    in.read(bytes.data(), kMaxFileBytes);
    bytes.resize(static_cast<size_t>(in.gcount()));
    return SplitLines(TextFileToUtf8(bytes));
}

void StoreSearchWords(const std::filesystem::path& file, const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) {
        text += w;
        text += "\r\n";
    }
    errno = 0;
    if (!ReplaceDataFile(file, text)) {
        if (errno == 0)
            errno = EIO;
        Fail("cannot replace the search word list", file);
    }
}

}  // namespace q3::reader
