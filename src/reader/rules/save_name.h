// The file name "另存为" proposes for a page, as a browser does: the last
// segment of its address, or its title when the address names no file.
#pragma once

#include <string>
#include <string_view>

namespace q3::reader {

// address: the page's address as the engine reports it (UTF-8, percent
// escapes); title: the page's title. The name holds no folder separator or
// control character and ends in an extension (".htm" when it had none).
std::string SaveAsFileName(std::string_view address, std::string_view title);

}  // namespace q3::reader
