#include "common/licence.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace q3 {
namespace {

std::string SourceFile(const std::string& path) {
    std::ifstream in(std::string(Q3_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What --version tells, what the package declares and what the tree carries
// are one licence; a change of licence that misses one of them fails here.
TEST(Licence, EveryPlaceThatNamesItNamesTheSame) {
    const std::string id = kLicenceId;
    const std::string copyright = SourceFile("data/debian/copyright");
    ASSERT_FALSE(copyright.empty());
    EXPECT_NE(copyright.find("\nFiles: *\n"), std::string::npos);
    // The paragraph of the files and the stand-alone paragraph with the text.
    EXPECT_NE(copyright.find("\nLicense: " + id + "\n\n"), std::string::npos) << copyright;
    EXPECT_NE(copyright.find("\n\nLicense: " + id + "\n "), std::string::npos) << copyright;
    size_t licence_fields = 0;
    for (size_t at = copyright.find("\nLicense: "); at != std::string::npos;
         at = copyright.find("\nLicense: ", at + 1))
        ++licence_fields;
    EXPECT_EQ(licence_fields, 2u) << "another licence is named";

    EXPECT_NE(SourceFile("data/net.quillon3.Reader.metainfo.xml")
                  .find("<project_license>" + id + "</project_license>"),
              std::string::npos);

    ASSERT_EQ(id, "GPL-3.0-or-later");
    const std::string text = SourceFile("LICENSE");
    EXPECT_NE(text.find("GNU GENERAL PUBLIC LICENSE\n                       Version 3,"),
              std::string::npos);
    EXPECT_NE(std::string(kLicenceNotice).find("GNU GPL version 3 or later"), std::string::npos);
    EXPECT_NE(copyright.find("either version 3 of the License, or\n (at your option) any later"),
              std::string::npos);
}

}  // namespace
}  // namespace q3
