#include "online/ad_page.h"

namespace q3::online {
namespace {

constexpr std::string_view kPageStart =
    "<html><head><title>adSense</title><head>\r\n"
    "<body style=\"margin-top:2px;margin-bottom:0px;margin-left:0px;margin-right:5px;"
    "font-size:12px; background-color:;\" bgcolor=\"";
constexpr std::string_view kPageEnd = "</body><html>";
constexpr std::string_view kBodyStyle =
    "margin-top:2px;margin-bottom:0px;margin-left:0px;margin-right:5px;font-size:12px;"
    "background-color: ";

}  // namespace

std::string BuildAdPage(std::string_view color_html, std::string_view ad_html) {
    std::string page;
    page.reserve(kPageStart.size() + color_html.size() + ad_html.size() + kPageEnd.size() + 2);
    page += kPageStart;
    page += color_html;
    page += "\">";
    page += ad_html;
    page += kPageEnd;
    return page;
}

std::string AdBodyStyle(std::string_view color_html) {
    return std::string(kBodyStyle) + std::string(color_html);
}

}  // namespace q3::online
