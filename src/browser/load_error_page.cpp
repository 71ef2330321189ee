#include "browser/load_error_page.h"

#include "common/text.h"

namespace q3::browser {

std::string LoadErrorPageHtml(std::string_view address, std::string_view reason,
                              std::string_view detail) {
    std::string html =
        "<html><head><meta charset=\"utf-8\"><title>无法显示该网页</title></head>"
        "<body style=\"font-size:13px;margin:24px;\">"
        "<h3>无法显示该网页</h3>"
        "<p>地址：<span style=\"word-break:break-all;\">" +
        HtmlEscape(address) + "</span></p><p>原因：" + HtmlEscape(reason) + "</p>";
    if (!detail.empty())
        html += "<p style=\"color:gray;\">" + HtmlEscape(detail) + "</p>";
    html += "<p>请检查地址是否正确，或稍后点击“刷新”再试。</p></body></html>";
    return html;
}

}  // namespace q3::browser
