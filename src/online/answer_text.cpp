#include "online/answer_text.h"

#include <libxml/parser.h>
#include <libxml/xmlsave.h>

#include <climits>
#include <memory>
#include <mutex>
#include <optional>

#include "common/text.h"
#include "online/charset.h"

namespace q3::online {
namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct BufferFree {
    void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};

std::string_view TrimLeft(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    return text.substr(i);
}

// A declaration can only stand at the very start of the bytes (after a
// byte-order mark); anywhere else the parse fails anyway.
bool HasXmlDeclaration(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return bytes.starts_with("<?xml");
}

}  // namespace

bool IsXmlText(std::string_view text) {
    const std::string_view rest = TrimLeft(text);
    return rest.starts_with("<?xml version=\"") || rest.starts_with("<rss");
}

std::string ExtractRealUrl(std::string_view address) {
    constexpr size_t kFifthCharacter = 4;
    const size_t at = address.find("http://", kFifthCharacter);
    if (at == std::string_view::npos)
        return std::string(address);
    return std::string(address.substr(at));
}

std::string DeclaredCharset(std::string_view text) {
    std::string meta = TextBetween(text, "http-equiv=\"Content-Type\"", ">");
    if (meta.empty())
        meta = TextBetween(text, "http-equiv=\"content-type\"", ">");
    return TextBetween(AsciiLower(meta), "charset=", "\"");
}

std::string XmlAsText(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX))
        return {};
    // The library's global state must be set up once before any thread uses it.
    static std::once_flag init;
    std::call_once(init, [] { xmlInitParser(); });
    // No entity substitution and no DTD loading: a hostile answer cannot make
    // the parser read files or expand entities into the result.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
    if (!doc)
        return {};
    std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
    if (!buffer)
        return {};
    xmlSaveCtxt* save = xmlSaveToBuffer(buffer.get(), "UTF-8", XML_SAVE_NO_DECL);
    if (save == nullptr)
        return {};
    const long written = xmlSaveDoc(save, doc.get());
    if (xmlSaveClose(save) < 0 || written < 0)
        return {};
    std::string out;
    if (HasXmlDeclaration(bytes)) {
        const char* version =
            doc->version != nullptr ? reinterpret_cast<const char*>(doc->version) : "1.0";
        out = std::string("<?xml version=\"") + version + "\"?>\n";
    }
    out.append(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
               static_cast<size_t>(xmlBufferLength(buffer.get())));
    return out;
}

std::string ProcessAnswer(std::string_view body, std::string_view content_type) {
    std::string text = ResponseText(body, content_type);
    if (IsXmlText(text)) {
        std::string xml = XmlAsText(body);
        return xml.empty() ? text : xml;
    }
    const std::string charset = DeclaredCharset(text);
    if (charset.empty())
        return text;
    std::optional<std::string> converted = CharsetToUtf8(body, charset);
    if (!converted)
        throw FetchError("unknown character set \"" + charset + "\"");
    return std::move(*converted);
}

}  // namespace q3::online
