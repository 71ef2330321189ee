#include "server/home_page.h"

#include "common/text.h"
#include "common/translation.h"
#include "server/address_history.h"

namespace q3::server {
namespace {

std::string MailLink(std::string_view subject, std::string_view body, std::string_view text) {
    std::string href =
        "mailto:" + std::string(kSupportMailbox) + "?subject=" + std::string(subject);
    if (!body.empty())
        href += "&body=" + std::string(body);
    return "<A href=\"" + HtmlEscape(href) + "\">" + std::string(text) + "</a>";
}

// The document's name as the page shows it: after the last separator, or
// after "http:" for a web address that happens to end in ".qbx".
std::string DocumentName(std::string_view item) {
    const size_t p = item.find_last_of("\\/:");
    return std::string(p == std::string_view::npos ? item : item.substr(p + 1));
}

std::string DocumentRow(const std::string& item) {
    const std::string name = DocumentName(item);
    const std::string link = HtmlEscape(SpecialLink("open", item));
    const std::string comment = HtmlEscape(SpecialLink("commnet", item));
    return "<tr><td><A  HREF=\"" + link + "\" title=\"" + HtmlEscape(item) + "\">" +
           HtmlEscape(ShortenTextUtf8(name, 46, "...")) +
           " </a> &nbsp;&nbsp;&nbsp;&nbsp;<a href=\"" + comment + "\" title=\"" +
           FilledText(_("对[%s]文档的评论"), HtmlEscape(name)) + "\">" + _("评论") +
           "</a></td> </tr>";
}

std::string BrowserRow(const std::string& item) {
    return "<tr><td><A  HREF=\"" + HtmlEscape(SpecialLink("open", item)) + "\" title=\"" +
           HtmlEscape(item) + "\">" + HtmlEscape(ShortenTextUtf8(item, 42, "...")) +
           " </a></td> </tr>";
}

}  // namespace

std::string SpecialLink(std::string_view scheme, std::string_view path) {
    return std::string(scheme) + "://%7C" + PercentEncode(path) + "%7C";
}

std::string HomePageHtml(const std::vector<std::string>& history) {
    std::string document_rows, browser_rows;
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        if (IsDocumentItem(*it))
            document_rows += DocumentRow(*it);
        else if (*it != "about:blank")
            browser_rows += BrowserRow(*it);
    }
    const std::string lines[] = {
        "<html><head><title>" + Tr(kHomePageTitle) + "</title>",
        "</head><body style=\"margin-top:0px; font-size:13px;background:;BORDER: #CEDBFF 1px "
        "solid;LINE-HEIGHT:120%;\">",
        "<table border=0 width=\"100%\" align=\"center\">",
        "<tr><td valign=\"top\">",
        "<table width=\"100%\" border=0 style=\"font-size:11px;\"><tr><td align=\"left\">",
        MailLink(_("关于Quillon3的改进计划"), "", _("改进计划")),
        MailLink(_("关于Quillon3的Bug报告"), "", _("Bug报告")),
        MailLink(_("我需要QBX文档资源"), _("告诉我，您所需的要QBX文件档资源是什么？"),
                 _("我需要资源")) +
            "</td>",
        std::string("<td align=\"right\"><A href=\"open:(help)\">") + _("帮助") + "</a></td>",
        "</tr></table></td> </tr> <tr><td><BR><BR>",
        "<table width=\"80%\" style=\"font-size:12px;\" align=\"center\" border=0>",
        "<tr><td valign=\"top\" align=\"Left\"><a href=\"open:(qbx)\" "
        "title=\"" +
            std::string(_("单击这里，打开QBX文件")) + "\"><b>" + _("打开文档") +
            "<b></a><BR><BR></td></tr>",
        std::string("<tr><td valign=\"top\" align=\"Left\"><b>") + _("QBX文件历史记录："),
        std::string("<a href=\"clear:(qbx)\" title=\"") + _("清空文件历史记录") + "\">" +
            _("清空") + "</a>",
        "<br><table width=\"100%\"  style=\"font-size:13px;\" border=0>" + document_rows +
            "</table></td>",
        std::string("<td valign=\"top\" align=\"Left\"><b>") + _("浏览器历史记录：") + "<b>  ",
        std::string("<a href=\"clear:(url)\" title=\"") + _("清空浏览器历史记录") + "\">" +
            _("清空") + "</a>",
        "<br><table width=\"100%\"  style=\"font-size:13px;\" border=0>" + browser_rows +
            "</table> </td> </tr>",
        "</td></tr></table></td> </tr>",
        "</table></body></html>",
    };
    std::string page;
    for (const std::string& l : lines) {
        if (!page.empty())
            page += "\r\n";
        page += l;
    }
    return page;
}

}  // namespace q3::server
