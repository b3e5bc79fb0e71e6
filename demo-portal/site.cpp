#include "demo-portal/site.h"

#include "text/text.h"

namespace fundlens::demo {

namespace {

// "<prefix><six digits><suffix>" → the code.
bool CodeInPath(std::string_view path, std::string_view prefix, std::string_view suffix,
                std::string& code) {
    if (path.size() != prefix.size() + 6 + suffix.size() || !path.starts_with(prefix) ||
        !path.ends_with(suffix)) {
        return false;
    }
    const std::string_view digits = path.substr(prefix.size(), 6);
    if (!IsFundCode(digits)) {
        return false;
    }
    code = std::string(digits);
    return true;
}

} // namespace

PortalSite::PortalSite(std::uint64_t seed, int lastDay, int announceVersion)
    : m_universe(seed, lastDay), m_ranking(m_universe), m_pages(m_universe), m_data(m_universe),
      m_announceVersion(announceVersion) {}

PortalSite::PortalSite(std::uint64_t seed, const TradingDay& tradingDay, int announceVersion)
    : m_universe(seed, tradingDay), m_ranking(m_universe), m_pages(m_universe), m_data(m_universe),
      m_announceVersion(announceVersion) {}

Answer PortalSite::Serve(const PortalRequest& request) {
    const std::string& path = request.path;
    const Query& query = request.query;
    const bool referer = !request.referer.empty();
    if (path == "/data/FundGuideapi.aspx") {
        return m_ranking.Serve(query);
    }
    if (path == "/FundSearch/api/FundSearchAPI.ashx") {
        return ScriptAnswer(m_data.Search(query));
    }
    if (path == "/F10/JJPJ/" || path == "/F10/JJPJ") {
        return ScriptAnswer(m_data.Rating(query, referer));
    }
    if (path == "/FundArchivesDatas.aspx") {
        return ScriptAnswer(m_data.Holdings(query, request.host));
    }
    if (path == "/api/qt/ulist.np/get") {
        const int sessionDay = m_universe.TradingDays().back(); // the quotes' day
        return ScriptAnswer(m_data.Quotes(query, SessionMinute(request.now, sessionDay)));
    }
    if (path == "/FundCompare/LJSYL") {
        return ScriptAnswer(m_data.Compare(query, referer));
    }
    if (path == "/compare/" || path == "/compare/index.html") {
        return ComparePage(request);
    }
    if (path == "/home.php") {
        return UpdatePage(request);
    }
    if (path == "/download.html") {
        return DownloadPage();
    }
    return ServeFundPage(request);
}

Answer PortalSite::ServeFundPage(const PortalRequest& request) {
    const std::string& path = request.path;
    const std::string& host = request.host;
    std::string code;
    const Fund* fund = nullptr;
    auto match = [&](std::string_view prefix, std::string_view suffix) {
        fund = CodeInPath(path, prefix, suffix, code) ? m_universe.FindFund(code) : nullptr;
        return fund != nullptr;
    };
    if (match("/jbgk_", ".html")) {
        return m_pages.Profile(*fund, host);
    }
    if (match("/jjjl_", ".html")) {
        return HtmlAnswer(m_pages.Managers(*fund, host));
    }
    if (match("/tsdata_", ".html")) {
        return HtmlAnswer(m_pages.Risk(*fund, host));
    }
    if (match("/jjjz_", ".html")) {
        return HtmlAnswer(m_pages.NetValues(*fund, host));
    }
    if (match("/", ".html")) {
        return HtmlAnswer(m_pages.Main(*fund, host));
    }
    if (match("/img/jjjz/", ".png")) {
        return Answer{200, "image/png", *m_charts.Get(m_universe, *fund)};
    }
    return NotFoundAnswer();
}

Answer PortalSite::UpdatePage(const PortalRequest& request) const {
    const Query& q = request.query;
    std::string body;
    std::string title;
    if (q.Get("mod") == "spacecp" && q.Get("ac") == "profile" &&
        (q.Get("op").empty() || q.Get("op") == "base")) {
        title = "个人资料 - 基金之家论坛";
        body = "<div id=\"ct\" class=\"ct2_a wp cl\"><div class=\"mn\"><div class=\"bm bw0\">"
               "<h1 class=\"mt\">个人资料</h1>\r\n<form "
               "action=\"home.php?mod=spacecp&amp;ac=profile\" "
               "method=\"post\"><table cellspacing=\"0\" cellpadding=\"0\" class=\"tfm\" "
               "id=\"profilelist\">\r\n"
               "<tr><th>用户名</th><td>fundlens</td></tr>\r\n"
               "<tr id=\"tr_realname\"><th id=\"th_realname\">真实姓名</th><td id=\"td_realname\">"
               "<input type=\"text\" name=\"realname\" id=\"realname\" class=\"px\" value=\"版本" +
               std::to_string(m_announceVersion) + "链接http://" + request.host +
               "/download.html\" tabindex=\"1\" /><div class=\"rq mtn\" "
               "id=\"showerror_realname\"></div>"
               "<p class=\"d\"></p></td></tr>\r\n"
               "<tr><th>性别</th><td><select name=\"gender\" class=\"ps\"><option "
               "value=\"0\">保密</option>"
               "</select></td></tr>\r\n</table></form></div></div></div>";
    } else {
        title = "基金之家论坛";
        body = "<div id=\"ct\" class=\"wp cl\"><h1>基金之家论坛</h1><p>欢迎访问。</p></div>";
    }
    // A forum page in GBK bytes, declared as such.
    std::string page =
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\" />\r\n<title>" +
        title + "</title>\r\n</head>\r\n<body>\r\n" + body + "\r\n</body>\r\n</html>\r\n";
    return Answer{200, "text/html; charset=gbk", Utf8ToText(page)};
}

Answer PortalSite::DownloadPage() const {
    const std::string v = std::to_string(m_announceVersion);
    return HtmlAnswer(HtmlPage("fundlens 下载", "<h1>fundlens 版本" + v + "</h1>\r\n<p>最新版本：" +
                                                    v + "。本演示站点不提供安装包下载。</p>"));
}

Answer PortalSite::ComparePage(const PortalRequest& request) const {
    std::string list;
    const std::string& codes = request.query.Get("code");
    std::size_t start = 0;
    while (start < codes.size()) {
        std::size_t end = codes.find(',', start);
        if (end == std::string::npos) {
            end = codes.size();
        }
        if (const Fund* f =
                m_universe.FindFund(std::string_view(codes).substr(start, end - start))) {
            list += "<li>" + HtmlEscape(f->name) + "（" + f->code + "）</li>";
        }
        start = end + 1;
    }
    return HtmlAnswer(HtmlPage("基金比较", "<h1>基金比较</h1>\r\n<ul>" + list + "</ul>"));
}

} // namespace fundlens::demo
