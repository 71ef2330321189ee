#include "qbxtool/sitemap_reader.h"

#include <map>

#include "common/text.h"
#include "qbxtool/pack_files.h"

namespace q3::tool {

namespace {

struct Tag {
    std::string name;                          // lower case, "/" first for a closing tag
    std::map<std::string, std::string> attrs;  // names lower case, values entity-decoded
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The end of the tag that starts at text[at] == '<': the '>' outside quotes,
// or npos.
size_t TagEnd(std::string_view text, size_t at) {
    char quote = 0;
    for (size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string_view::npos;
}

Tag ParseTag(std::string_view inner) {
    Tag tag;
    size_t i = 0;
    while (i < inner.size() && !IsSpace(inner[i]) && inner[i] != '>')
        ++i;
    tag.name = AsciiLower(inner.substr(0, i));
    while (i < inner.size()) {
        while (i < inner.size() && (IsSpace(inner[i]) || inner[i] == '/'))
            ++i;
        size_t name_start = i;
        while (i < inner.size() && !IsSpace(inner[i]) && inner[i] != '=' && inner[i] != '/')
            ++i;
        std::string name = AsciiLower(inner.substr(name_start, i - name_start));
        while (i < inner.size() && IsSpace(inner[i]))
            ++i;
        std::string value;
        if (i < inner.size() && inner[i] == '=') {
            ++i;
            while (i < inner.size() && IsSpace(inner[i]))
                ++i;
            if (i < inner.size() && (inner[i] == '"' || inner[i] == '\'')) {
                const char quote = inner[i++];
                size_t end = inner.find(quote, i);
                if (end == std::string_view::npos)
                    end = inner.size();
                value = DecodeEntities(inner.substr(i, end - i));
                i = end + 1;
            } else {
                size_t start = i;
                while (i < inner.size() && !IsSpace(inner[i]))
                    ++i;
                value = DecodeEntities(inner.substr(start, i - start));
            }
        }
        if (name.empty()) {
            ++i;  // a stray character; step over it
            continue;
        }
        tag.attrs.emplace(std::move(name), std::move(value));
    }
    return tag;
}

std::string Attr(const Tag& tag, const char* name) {
    auto it = tag.attrs.find(name);
    return it == tag.attrs.end() ? std::string() : it->second;
}

class Builder {
  public:
    Builder() { lists_.push_back(&root_); }

    void OnTag(const Tag& tag) {
        if (tag.name == "ul") {
            Open();
        } else if (tag.name == "/ul") {
            if (lists_.size() > 1)
                lists_.pop_back();
        } else if (tag.name == "object") {
            in_object_ = true;
            sitemap_object_ = AsciiLower(Attr(tag, "type")) == "text/sitemap";
            item_ = SitemapItem{};
            has_name_ = has_local_ = false;
        } else if (tag.name == "param" && in_object_ && sitemap_object_) {
            Param(AsciiLower(Attr(tag, "name")), Attr(tag, "value"));
        } else if (tag.name == "/object" && in_object_) {
            if (sitemap_object_ && (has_name_ || has_local_))
                lists_.back()->push_back(item_);
            in_object_ = false;
        }
    }

    std::vector<SitemapItem> Take() { return std::move(root_); }

  private:
    // A list opens the children of the item before it; the outermost list,
    // and a list with no item before it, stay on their level. lists_[0] is
    // outside every list.
    void Open() {
        std::vector<SitemapItem>* current = lists_.back();
        const bool nest = lists_.size() > 1 && !current->empty() &&
                          lists_.size() <= static_cast<size_t>(kMaxSitemapDepth);
        lists_.push_back(nest ? &current->back().children : current);
    }

    void Param(const std::string& name, const std::string& value) {
        if (name == "name" && !has_name_) {
            item_.name = value;
            has_name_ = true;
        } else if (name == "local" && !has_local_) {
            item_.local = value;
            has_local_ = true;
        }
    }

    // Only the top list is ever appended to; lists below it on the stack are
    // not, so the pointers into their items stay valid.
    std::vector<SitemapItem> root_;
    std::vector<std::vector<SitemapItem>*> lists_;
    bool in_object_ = false;
    bool sitemap_object_ = false;
    bool has_name_ = false;
    bool has_local_ = false;
    SitemapItem item_;
};

}  // namespace

std::vector<SitemapItem> ReadSitemap(std::string_view text) {
    Builder builder;
    size_t i = 0;
    while ((i = text.find('<', i)) != std::string_view::npos) {
        if (text.compare(i, 4, "<!--") == 0) {
            size_t end = text.find("-->", i + 4);
            if (end == std::string_view::npos)
                break;
            i = end + 3;
            continue;
        }
        size_t end = TagEnd(text, i);
        if (end == std::string_view::npos)
            break;
        builder.OnTag(ParseTag(text.substr(i + 1, end - i - 1)));
        i = end + 1;
    }
    return builder.Take();
}

}  // namespace q3::tool
