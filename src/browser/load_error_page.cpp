#include "browser/load_error_page.h"

#include "common/text.h"
#include "common/translation.h"

namespace q3::browser {

std::string LoadErrorPageHtml(std::string_view address, std::string_view reason,
                              std::string_view detail) {
    const std::string title = HtmlEscape(_("无法显示该网页"));
    std::string html = "<html><head><meta charset=\"utf-8\"><title>" + title +
                       "</title></head><body style=\"font-size:13px;margin:24px;\"><h3>" + title +
                       "</h3><p>" + _("地址：") + "<span style=\"word-break:break-all;\">" +
                       HtmlEscape(address) + "</span></p><p>" + _("原因：") + HtmlEscape(reason) +
                       "</p>";
    if (!detail.empty())
        html += "<p style=\"color:gray;\">" + HtmlEscape(detail) + "</p>";
    html += std::string("<p>") + HtmlEscape(_("请检查地址是否正确，或稍后点击“刷新”再试。")) +
            "</p></body></html>";
    return html;
}

}  // namespace q3::browser
