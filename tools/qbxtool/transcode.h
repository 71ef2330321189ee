// --to-gbk: pages hold GBK text in the reader's world, so UTF-8 text files are
// turned into GBK and their declarations of UTF-8 into declarations of GBK.
#pragma once

#include <string>
#include <string_view>

#include "qbxtool/pack_files.h"

namespace q3::tool {

enum class TextKind {
    kBinary,  // stored as it is
    kMarkup,  // .htm .html .hhc .hhk: charset in tags, <?xml encoding?>
    kStyle,   // .css: @charset
    kPlain,   // .js .txt: no declaration of their own
};

// By the extension, in any letter case.
TextKind TextKindOf(std::string_view name);

// The UTF-8 declarations of text rewritten to GBK: in markup, a charset
// attribute or content parameter inside a tag and the encoding of an <?xml
// declaration; in a style sheet, its @charset rule. Nothing else changes.
std::string DeclareGbk(std::string_view text, TextKind kind);

// bytes of the file name as stored by pack --to-gbk. A text file that is valid
// UTF-8 loses its byte order mark and becomes GBK; markup writes characters
// GBK cannot hold as numeric character references, other text that holds
// such characters stays UTF-8 as it is (with a warning), since any other form
// would change its meaning. Text that is not UTF-8 (already GBK) and binary
// files are kept.
std::string TranscodeToGbk(std::string_view name, std::string bytes, Warnings& warnings);

}  // namespace q3::tool
