#include "online/online_settings.h"

#include <gtest/gtest.h>

#include "common/base_settings.h"
#include "common/shell.h"
#include "common/xdg_sandbox.h"

namespace q3::online {
namespace {

using testing::ScopedEnv;
using testing::XdgSandbox;

TEST(OnlineAddresses, ByDefaultNoServiceAndTheProjectsOwnAddresses) {
    XdgSandbox sandbox;
    ScopedEnv no_override(kServiceUrlEnvironment, std::nullopt);
    const OnlineAddresses addresses = ReadOnlineAddresses();
    EXPECT_EQ(addresses.service, "");
    EXPECT_EQ(addresses.home_page, kDefaultHomePage);
    EXPECT_EQ(addresses.resource_site, kDefaultResourceSite);
    EXPECT_EQ(addresses.logo_link, kDefaultLogoLink);
}

TEST(OnlineAddresses, StoredValuesCountAndTheEnvironmentOverridesTheService) {
    XdgSandbox sandbox;
    ScopedEnv no_override(kServiceUrlEnvironment, std::nullopt);
    const std::string_view key = kQuillonSettingsKey;
    ASSERT_TRUE(WriteHkcuString(key, kServiceUrlValue, "http://svc.example:81/"));
    ASSERT_TRUE(WriteHkcuString(key, kHomePageValue, "https://home.example/"));
    ASSERT_TRUE(WriteHkcuString(key, kResourceSiteValue, ""));  // empty: the default
    ASSERT_TRUE(WriteHkcuInteger(key, kLogoLinkValue, 5));      // wrong type: the default
    OnlineAddresses addresses = ReadOnlineAddresses();
    EXPECT_EQ(addresses.service, "http://svc.example:81");
    EXPECT_EQ(addresses.home_page, "https://home.example/");
    EXPECT_EQ(addresses.resource_site, kDefaultResourceSite);
    EXPECT_EQ(addresses.logo_link, kDefaultLogoLink);
    {
        ScopedEnv local(kServiceUrlEnvironment, "http://127.0.0.1:8080");
        EXPECT_EQ(ReadOnlineAddresses().service, "http://127.0.0.1:8080");
    }
    ScopedEnv off(kServiceUrlEnvironment, "");
    EXPECT_EQ(ReadOnlineAddresses().service, "");
}

TEST(ServiceBaseAddress, Table) {
    const struct {
        std::string_view configured, base;
    } cases[] = {
        {" http://a.example/ ", "http://a.example"},
        {"HTTPS://a.example//", "HTTPS://a.example"},
        {"http://a.example/api", "http://a.example/api"},
        {"ftp://a.example", ""},
        {"file:///etc", ""},
        {"a.example", ""},
        {"http://a b", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ServiceBaseAddress(c.configured), c.base) << c.configured;
}

}  // namespace
}  // namespace q3::online
