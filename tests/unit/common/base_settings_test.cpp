#include "common/base_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/registry_store.h"
#include "common/shell.h"
#include "common/trace.h"
#include "common/xdg_sandbox.h"

namespace q3 {
namespace {

using q3::testing::XdgSandbox;

class BaseSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { SetSettingsKey(kQuillonSettingsKey); }
    void TearDown() override {
        SetSettingsKey("");
        SetTraceSink({});
    }
    XdgSandbox sandbox_;
};

TEST_F(BaseSettingsTest, RoutinesUseTheSettingsKey) {
    ASSERT_TRUE(WriteRegInteger("FackColor-Quillon3", 14548957));
    ASSERT_TRUE(WriteRegString("Skin", "粉绿"));
    EXPECT_EQ(ReadHkcuInteger("SOFTWARE\\Tarvik\\Quillon3", "FackColor-Quillon3", 0), 14548957);
    EXPECT_EQ(ReadHkcuString("SOFTWARE\\Tarvik\\Quillon3", "Skin", ""), "粉绿");
    EXPECT_EQ(ReadRegInteger("FackColor-Quillon3", 0), 14548957);
    EXPECT_EQ(ReadRegString("Skin", ""), "粉绿");
}

TEST_F(BaseSettingsTest, FirstStartGivesTheDefaults) {
    EXPECT_EQ(ReadRegInteger("FackColor-Quillon3", 15780518), 15780518);
    EXPECT_EQ(ReadRegString("Anything", "none"), "none");
}

TEST_F(BaseSettingsTest, ChangingTheKeyMovesWhereValuesGo) {
    SetSettingsKey("SOFTWARE\\Elsewhere");
    ASSERT_TRUE(WriteRegInteger("V", 1));
    SetSettingsKey(kQuillonSettingsKey);
    EXPECT_EQ(ReadRegInteger("V", 0), 0);
    EXPECT_EQ(ReadHkcuInteger("SOFTWARE\\Elsewhere", "V", 0), 1);
}

TEST_F(BaseSettingsTest, WrongTypeReachesTheCaller) {
    ASSERT_TRUE(WriteRegString("Number", "x"));
    EXPECT_THROW(ReadRegInteger("Number", 0), RegistryError);
}

TEST_F(BaseSettingsTest, ReportErrorGoesToTheTraceOnly) {
    std::vector<std::pair<std::string, std::string>> seen;
    SetTraceSink([&](std::string_view tag, std::string_view text) {
        seen.emplace_back(std::string(tag), std::string(text));
    });
    ReportError("Tfm_Quillon3.FormDestroy", "disk full");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, "Tfm_Quillon3.FormDestroy");
    EXPECT_EQ(seen[0].second, "disk full");
}

}  // namespace
}  // namespace q3
