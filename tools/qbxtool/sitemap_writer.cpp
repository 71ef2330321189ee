#include "qbxtool/sitemap_writer.h"

#include <algorithm>
#include <map>
#include <set>

#include "common/gbk.h"
#include "common/text.h"

namespace q3::tool {

namespace {

constexpr const char* kUntitled = "未命名";

// Packed files by their path as written in a sitemap: exact, then without
// regard to ASCII letter case (the reader lower-cases every path anyway).
class FileIndex {
  public:
    explicit FileIndex(const std::vector<PackFile>& files) {
        for (const PackFile& f : files) {
            exact_.emplace(f.rel, &f);
            folded_.emplace(AsciiLower(f.rel), &f);
        }
    }

    const PackFile* Find(const std::string& rel) const {
        if (auto it = exact_.find(rel); it != exact_.end())
            return it->second;
        if (auto it = folded_.find(AsciiLower(rel)); it != folded_.end())
            return it->second;
        return nullptr;
    }

  private:
    std::map<std::string, const PackFile*> exact_;
    std::map<std::string, const PackFile*> folded_;
};

// "./a\b/../c.htm" -> "a/c.htm"; empty when it climbs out of the folder.
std::string NormalisePath(std::string path) {
    ReplaceChar(path, '\\', '/');
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (parts.empty())
                return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

struct Resolved {
    const PackFile* file = nullptr;
    std::string anchor;  // UTF-8, without "#"
};

Resolved Resolve(const std::string& local, const FileIndex& index) {
    Resolved r;
    const size_t hash = local.find('#');
    const std::string path = NormalisePath(local.substr(0, hash));
    if (hash != std::string::npos)
        r.anchor = local.substr(hash + 1);
    if (path.empty())
        return r;
    r.file = index.Find(path);
    if (r.file == nullptr)
        r.file = index.Find(NormalisePath(PercentDecode(path)));
    return r;
}

class SitemapResolver {
  public:
    SitemapResolver(const std::vector<PackFile>& files, Warnings& warnings)
        : index_(files), warnings_(warnings) {}

    std::vector<ContentsItem> Items(const std::vector<SitemapItem>& list) {
        std::vector<ContentsItem> out;
        out.reserve(list.size());
        for (const SitemapItem& s : list)
            out.push_back(Item(s));
        return out;
    }

    // Named without an anchor by some item: such a file is reached through
    // that item's entry, and a resource line for it would replace the entry.
    const std::set<const PackFile*>& Named() const { return named_; }

  private:
    ContentsItem Item(const SitemapItem& s) {
        ContentsItem item;
        const std::string local(Trim(s.local));
        item.caption = Trim(s.name);
        if (item.caption.empty())
            item.caption = local.empty() ? kUntitled : local;
        if (!local.empty())
            Point(item, local);
        item.children = Items(s.children);
        return item;
    }

    void Point(ContentsItem& item, const std::string& local) {
        Resolved r = Resolve(local, index_);
        if (r.file == nullptr) {
            warnings_.push_back("contents item \"" + item.caption + "\": " + local +
                                " is not a packed file; the item is shown as a heading");
            return;
        }
        item.id = r.file->record;
        item.local = r.file->local;
        if (!r.anchor.empty()) {
            auto anchor = Utf8ToGbk(r.anchor);
            if (anchor) {
                item.local += "#" + *anchor;
            } else {
                warnings_.push_back("contents item \"" + item.caption + "\": the anchor of " +
                                    local + " cannot be written in GBK and is dropped");
            }
        }
        if (item.local.find('#') == std::string::npos)
            named_.insert(r.file);
    }

    FileIndex index_;
    Warnings& warnings_;
    std::set<const PackFile*> named_;
};

// Pages and folders of one folder, for the generated tree.
struct FolderNode {
    std::vector<const PackFile*> pages;
    std::map<std::string, FolderNode> folders;  // by name, byte-wise
};

bool IsIndexPage(const std::string& name) {
    const std::string lower = AsciiLower(name);
    return lower == "index.htm" || lower == "index.html";
}

std::string BaseName(const std::string& rel) {
    const size_t slash = rel.rfind('/');
    return slash == std::string::npos ? rel : rel.substr(slash + 1);
}

std::vector<ContentsItem> FolderItems(const FolderNode& node,
                                      const std::function<std::string(const PackFile&)>& title) {
    std::vector<const PackFile*> pages = node.pages;
    std::stable_partition(pages.begin(), pages.end(),
                          [](const PackFile* p) { return IsIndexPage(BaseName(p->rel)); });
    std::vector<ContentsItem> items;
    for (const PackFile* p : pages) {
        ContentsItem item;
        item.caption = Trim(title(*p));
        if (item.caption.empty())
            item.caption = FileNameNoExt(BaseName(p->rel));
        if (item.caption.empty())
            item.caption = BaseName(p->rel);
        item.local = p->local;
        item.id = p->record;
        items.push_back(std::move(item));
    }
    for (const auto& [name, sub] : node.folders) {
        ContentsItem heading;
        heading.caption = name;
        heading.children = FolderItems(sub, title);
        if (!heading.children.empty())
            items.push_back(std::move(heading));
    }
    return items;
}

// GBK for a caption, with "?" for what GBK cannot hold.
std::string CaptionToGbk(const std::string& caption, Warnings& warnings) {
    if (auto gbk = Utf8ToGbk(caption))
        return *gbk;
    std::string out;
    size_t i = 0;
    while (i < caption.size()) {
        size_t len = 1;
        const auto c = static_cast<unsigned char>(caption[i]);
        if (c >= 0xF0)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC0)
            len = 2;
        len = std::min(len, caption.size() - i);
        auto one = Utf8ToGbk(std::string_view(caption).substr(i, len));
        out += one ? *one : "?";
        i += len;
    }
    warnings.push_back("caption \"" + caption +
                       "\" holds characters GBK cannot hold; written as ?");
    return out;
}

void WriteItems(const std::vector<ContentsItem>& items, std::string& out, Warnings& warnings) {
    out += "<UL>\r\n";
    for (const ContentsItem& item : items) {
        // An item without a caption is dropped by the reader, and its children
        // would move to the item before it.
        const std::string caption =
            CaptionToGbk(IfEmpty(CleanCaption(item.caption), kUntitled), warnings);
        out += "<LI><OBJECT type=\"text/sitemap\">\r\n";
        // The reader restores the caption's letter case from the first place
        // the lower-cased caption occurs in the line; the comment puts the
        // caption itself there, so a caption such as "Name" or "A" is not
        // taken from the letters of "<param name=".
        out += "<!--" + caption + "--><param name=\"Name\" id=\"" + std::to_string(item.id) +
               "\" value=\"" + caption + "\">\r\n";
        if (item.id != -1)
            out += "<param name=\"Local\" value=\"" + item.local + "\">\r\n";
        out += "</OBJECT>\r\n";
        if (!item.children.empty())
            WriteItems(item.children, out, warnings);
    }
    out += "</UL>\r\n";
}

}  // namespace

std::string CleanCaption(std::string_view caption) {
    std::string out;
    for (char c : caption) {
        if (c == '"') {
            out += '\'';
        } else if (c == '<') {
            out += "＜";
        } else if (c == '>') {
            out += "＞";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            out += ' ';
        } else {
            out += c;
        }
    }
    return std::string(Trim(out));
}

Contents ContentsFromSitemap(const std::vector<SitemapItem>& sitemap,
                             const std::vector<PackFile>& files, Warnings& warnings) {
    SitemapResolver resolver(files, warnings);
    Contents contents;
    contents.items = resolver.Items(sitemap);
    if (contents.items.empty())
        warnings.push_back("the contents sitemap holds no item");
    for (const PackFile& f : files)
        if (resolver.Named().count(&f) == 0)
            contents.resources.push_back({f.local, f.record});
    return contents;
}

Contents ContentsFromFolder(const std::vector<PackFile>& files,
                            const std::function<std::string(const PackFile&)>& title) {
    FolderNode root;
    Contents contents;
    for (const PackFile& f : files) {
        if (!IsPageName(f.rel)) {
            contents.resources.push_back({f.local, f.record});
            continue;
        }
        FolderNode* node = &root;
        size_t start = 0;
        for (size_t slash; (slash = f.rel.find('/', start)) != std::string::npos; start = slash + 1)
            node = &node->folders[f.rel.substr(start, slash - start)];
        node->pages.push_back(&f);
    }
    contents.items = FolderItems(root, title);
    return contents;
}

std::string WriteContents(const Contents& contents, Warnings& warnings) {
    std::string out =
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n"
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\r\n"
        "</HEAD>\r\n"
        "<BODY>\r\n";
    WriteItems(contents.items, out, warnings);
    for (const ContentsResource& r : contents.resources)
        out += "<res value=\"" + r.local + "\" id=\"" + std::to_string(r.id) + "\">\r\n";
    out += "</BODY>\r\n</HTML>\r\n";
    return out;
}

}  // namespace q3::tool
