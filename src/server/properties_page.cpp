#include "server/properties_page.h"

#include <glib.h>

#include <cstdio>
#include <filesystem>

#include "common/gbk.h"
#include "common/text.h"
#include "common/translation.h"
#include "document/manager.h"
#include "server/home_page.h"

namespace q3::server {
namespace {

std::string FormatDate(GDateTime* when, const char* format) {
    gchar* text = g_date_time_format(when, format);
    std::string out = text != nullptr ? text : "";
    g_free(text);
    return out;
}

std::string Row(std::string_view label, std::string_view value) {
    return "<tr><td>" + std::string(label) + HtmlEscape(value) + "</td></tr>";
}

}  // namespace

std::string CreatedAtText(uint32_t dos) {
    const unsigned date = dos >> 16;
    const unsigned time = dos & 0xFFFF;
    const int hour = static_cast<int>(time >> 11);
    const int minute = static_cast<int>((time >> 5) & 0x3F);
    const int second = static_cast<int>((time & 0x1F) * 2);
    // The stored time is the maker's local time; no zone is applied to it.
    GDateTime* when = g_date_time_new_utc(static_cast<int>(date >> 9) + 1980,
                                          static_cast<int>((date >> 5) & 0x0F),
                                          static_cast<int>(date & 0x1F), hour, minute, second);
    if (when == nullptr)
        return {};
    std::string text = FormatDate(when, "%x");
    if (hour != 0 || minute != 0 || second != 0)
        text += " " + FormatDate(when, "%X");
    g_date_time_unref(when);
    return text;
}

std::string PropertiesPageHtml(const doc::TQBXManage& document, std::string_view background) {
    const doc::VersionBlock& v = document.Version();
    const std::string name = std::filesystem::path(document.FileName()).filename().string();
    char check[16];
    std::snprintf(check, sizeof check, "%08X", static_cast<unsigned>(document.DocumentCheck()));
    const std::string title = HtmlEscape(name) + Tr(kPropertiesTitleSuffix);
    const std::string lines[] = {
        "<html><head><title>" + title + "</title></head><body bgcolor=\"" + HtmlEscape(background) +
            "\" >",
        "<table width=\"80%\" align=\"center\" style=\"font-size:14px\">",
        "<tr><td style=\"color:blue\">" + title + "</td></tr>",
        Row(_("文档路径："), document.FileName()),
        Row(_("文档主题："), GbkToUtf8(v.Subject)),
        Row(_("文档版本："), std::to_string(v.FormatVersion)),
        Row(_("文档校验："), check),
        Row(_("创建日期："), CreatedAtText(v.CreatedAt)),
        Row(_("原版作者："), GbkToUtf8(v.BookAuthor)),
        Row(_("制作作者："), GbkToUtf8(v.Producer)),
        Row(_("文档备注："), GbkToUtf8(v.Remarks)),
        "</table>",
        "</body></html>",
    };
    std::string page;
    for (const std::string& line : lines) {
        if (!page.empty())
            page += "\r\n";
        page += line;
    }
    return page;
}

}  // namespace q3::server
