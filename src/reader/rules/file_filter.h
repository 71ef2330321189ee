// File dialog filters in the notation the windows write them in.
#pragma once

#include <string>
#include <vector>

namespace q3::reader {

struct FileFilter {
    std::string name;
    std::vector<std::string> patterns;
};

// "Qbx File(*.qbx)|*.qbx|All File(*.*)|*.*": pairs of a name and patterns
// separated by ";". A name without patterns is dropped.
std::vector<FileFilter> ParseFileFilter(const std::string& filter);

}  // namespace q3::reader
