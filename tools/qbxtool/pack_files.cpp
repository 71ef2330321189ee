#include "qbxtool/pack_files.h"

#include <algorithm>
#include <map>

#include "common/gbk.h"
#include "common/text.h"

namespace q3::tool {

namespace fs = std::filesystem;

namespace {

std::vector<std::string_view> Components(std::string_view rel) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        size_t slash = rel.find('/', start);
        parts.push_back(rel.substr(start, slash - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

// Folder by folder, so "a.htm" and "a/b.htm" keep the order of their
// folder's listing whatever the bytes of "." and "/" are.
bool RelLess(const std::string& a, const std::string& b) {
    auto pa = Components(a);
    auto pb = Components(b);
    return std::lexicographical_compare(pa.begin(), pa.end(), pb.begin(), pb.end());
}

// Whether path (canonical) lies inside root (canonical).
bool Inside(const fs::path& path, const fs::path& root) {
    auto [r, p] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return r == root.end();
}

bool SamePath(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

void WarnCaseTwins(const std::vector<PackFile>& files, Warnings& warnings) {
    std::map<std::string, const PackFile*> seen;
    for (const PackFile& f : files) {
        auto [it, fresh] = seen.emplace(GbkLower(f.local), &f);
        if (!fresh)
            warnings.push_back(f.rel + " and " + it->second->rel +
                               " differ only in letter case; the reader finds only one of them");
    }
}

}  // namespace

bool IsPageName(std::string_view name) {
    std::string lower = AsciiLower(name);
    auto ends = [&](std::string_view s) {
        return lower.size() >= s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
    };
    return ends(".htm") || ends(".html");
}

std::optional<std::string> LocalPathOf(std::string_view rel, std::string* why) {
    auto refuse = [&](const char* reason) -> std::optional<std::string> {
        if (why != nullptr)
            *why = reason;
        return std::nullopt;
    };
    // The contents text is parsed line by line and by its quotes and tags; a
    // "#" starts an anchor and "\" is the reader's separator.
    for (unsigned char c : rel) {
        if (c < 0x20 || c == 0x7F)
            return refuse("its name holds a control character");
        if (c == '"' || c == '<' || c == '>' || c == '\\' || c == '#')
            return refuse("its name holds one of \" < > \\ #");
    }
    // A declaration line reads the first id=" it meets, which would be the
    // end of such a name.
    std::string lower = AsciiLower(rel);
    if (lower.size() >= 3 && lower.compare(lower.size() - 3, 3, "id=") == 0)
        return refuse("its name ends with \"id=\"");
    auto gbk = Utf8ToGbk(rel);
    if (!gbk)
        return refuse("its name cannot be written in GBK");
    ReplaceChar(*gbk, '/', '\\');
    return gbk;
}

std::vector<PackFile> ScanFolder(const fs::path& dir, const std::vector<fs::path>& skip,
                                 Warnings& warnings) {
    std::error_code ec;
    fs::recursive_directory_iterator it(dir, fs::directory_options::none, ec);
    if (ec)
        throw PackError("cannot read the folder " + dir.string() + ": " + ec.message());
    // A link is packed as the file it names only when that file is inside
    // the folder too: a book made from a folder holds nothing from outside it.
    const fs::path root = fs::canonical(dir, ec);
    if (ec)
        throw PackError("cannot read the folder " + dir.string() + ": " + ec.message());
    std::vector<PackFile> files;
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const fs::directory_entry& entry = *it;
        const std::string rel = entry.path().lexically_relative(dir).generic_string();
        std::error_code sec;
        if (entry.is_directory(sec)) {
            if (entry.is_symlink(sec))
                warnings.push_back(rel + ": linked folder left out");
            continue;
        }
        if (!entry.is_regular_file(sec)) {
            warnings.push_back(rel + ": not a regular file, left out");
            continue;
        }
        fs::path disk = entry.path();
        if (entry.is_symlink(sec)) {
            disk = fs::canonical(entry.path(), sec);
            if (sec || !Inside(disk, root)) {
                warnings.push_back(rel + ": link leaves the folder, left out");
                continue;
            }
        }
        if (std::any_of(skip.begin(), skip.end(),
                        [&](const fs::path& s) { return SamePath(entry.path(), s); }))
            continue;
        std::string why;
        auto local = LocalPathOf(rel, &why);
        if (!local) {
            warnings.push_back(rel + ": left out, " + why);
            continue;
        }
        files.push_back(PackFile{disk, rel, *local, -1});
    }
    if (ec)
        throw PackError("cannot read the folder " + dir.string() + ": " + ec.message());
    std::sort(files.begin(), files.end(),
              [](const PackFile& a, const PackFile& b) { return RelLess(a.rel, b.rel); });
    WarnCaseTwins(files, warnings);
    return files;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

namespace {

// The code point of an entity body ("amp", "#38", "#x26"), or nothing.
std::optional<uint32_t> EntityValue(std::string_view body) {
    // A no-break space becomes a plain one: captions are plain text, and GBK
    // has no U+00A0.
    static const std::map<std::string_view, uint32_t> kNamed = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    if (body.size() >= 2 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        uint32_t v = 0;
        for (char c : digits) {
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0)
                return std::nullopt;
            v = v * (hex ? 16 : 10) + static_cast<uint32_t>(d);
        }
        return v == 0 ? std::nullopt : std::optional<uint32_t>(v);
    }
    auto it = kNamed.find(body);
    if (it == kNamed.end())
        return std::nullopt;
    return it->second;
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            size_t semi = text.find(';', i + 1);
            if (semi != std::string_view::npos && semi - i <= 12) {
                if (auto cp = EntityValue(text.substr(i + 1, semi - i - 1))) {
                    AppendUtf8(out, *cp);
                    i = semi + 1;
                    continue;
                }
            }
        }
        out.push_back(text[i++]);
    }
    return out;
}

std::string PageTitle(std::string_view page) {
    const std::string lower = AsciiLower(page);
    size_t open = lower.find("<title");
    // "<titles>" is no title tag: the name must end there.
    while (open != std::string::npos && open + 6 < lower.size() && lower[open + 6] != '>' &&
           lower[open + 6] != ' ' && lower[open + 6] != '\t' && lower[open + 6] != '\n' &&
           lower[open + 6] != '\r')
        open = lower.find("<title", open + 1);
    if (open == std::string::npos)
        return {};
    size_t start = lower.find('>', open);
    if (start == std::string::npos)
        return {};
    ++start;
    size_t end = lower.find("</title", start);
    if (end == std::string::npos)
        return {};
    const std::string text = IsValidUtf8(page) ? std::string(page.substr(start, end - start))
                                               : GbkToUtf8(page.substr(start, end - start));
    std::string decoded = DecodeEntities(text);
    std::string title;
    bool space = false;
    for (char c : decoded) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
        if (blank) {
            space = !title.empty();
            continue;
        }
        if (space)
            title.push_back(' ');
        space = false;
        title.push_back(c);
    }
    return title;
}

}  // namespace q3::tool
