#include "application_id.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

namespace q3::app {
namespace {

TEST(ApplicationIdFor, OneNamePerSettingsFolder) {
    EXPECT_EQ(ApplicationIdFor("/home/ann/.config", "/home/ann"), "net.quillon3.Reader");
    EXPECT_EQ(ApplicationIdFor("/home/ann/.config/", "/home/ann/"), "net.quillon3.Reader");
    const std::string a = ApplicationIdFor("/tmp/run1/config", "/home/ann");
    const std::string b = ApplicationIdFor("/tmp/run2/config", "/home/ann");
    EXPECT_NE(a, "net.quillon3.Reader");
    EXPECT_NE(a, b);
    EXPECT_EQ(ApplicationIdFor("/tmp/run1//config/", "/home/ann"), a);
    // Another user's default folder is a folder of its own here.
    EXPECT_NE(ApplicationIdFor("/home/bob/.config", "/home/ann"), "net.quillon3.Reader");
    for (const std::string& id : {a, b, ApplicationIdFor("/", ""), ApplicationIdFor("", "")})
        EXPECT_TRUE(g_application_id_is_valid(id.c_str())) << id;
}

}  // namespace
}  // namespace q3::app
