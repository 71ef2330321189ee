// The order of the alphabetic index: captions compared without regard to
// letter case and by the user's collation, as a sorted list box does. The
// window's index list and `qbxtool index` share it, so both list the same.
#pragma once

#include <string>
#include <string_view>

namespace q3::server {

class IndexOrder {
public:
    // A byte string whose plain comparison gives the index order of the GBK
    // caption it was made from.
    std::string Key(std::string_view gbk_caption) const;
    bool Less(std::string_view a, std::string_view b) const { return Key(a) < Key(b); }
};

}  // namespace q3::server
