#include "online/ad_page.h"

#include <gtest/gtest.h>

namespace q3::online {
namespace {

TEST(AdPage, IsWrittenExactlyAsTheOriginalWithTheAdUntouched) {
    // "%s" in the ad must come through as it is, not as a format.
    EXPECT_EQ(BuildAdPage("#CCE8CF", "<a href=\"x\">100%s 广告</a>"),
              "<html><head><title>adSense</title><head>\r\n"
              "<body style=\"margin-top:2px;margin-bottom:0px;margin-left:0px;margin-right:5px;"
              "font-size:12px; background-color:;\" bgcolor=\"#CCE8CF\">"
              "<a href=\"x\">100%s 广告</a></body><html>");
    EXPECT_EQ(AdBodyStyle("#FFCCCC"),
              "margin-top:2px;margin-bottom:0px;margin-left:0px;margin-right:5px;font-size:12px;"
              "background-color: #FFCCCC");
}

}  // namespace
}  // namespace q3::online
