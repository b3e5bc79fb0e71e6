// The archive endpoint (a fund's largest stock holdings, quarter by quarter) and the live
// quote endpoint of the data answers.
#include "demo-portal/calendar.h"
#include "demo-portal/data_answers.h"
#include "text/json_document.h"

namespace fundlens::demo {

namespace {

constexpr int DefaultTopLine = 10;
constexpr int YearsOffered = 4;

std::string QuarterCaption(int day) {
    int y = 0, m = 0, d = 0;
    SplitDay(day, y, m, d);
    return std::to_string(y) + "年" + std::to_string((m - 1) / 3 + 1) + "季度";
}

// "12,345.67"
std::string Thousands(double value) {
    const std::string plain = FormatFixed(value, 2);
    const std::size_t dot = plain.find('.');
    const std::size_t integerEnd = dot == std::string::npos ? plain.size() : dot;
    const std::size_t integerStart = plain.front() == '-' ? 1 : 0;
    std::string out = plain.substr(0, integerStart);
    for (std::size_t i = integerStart; i < integerEnd; ++i) {
        out += plain[i];
        const std::size_t remaining = integerEnd - i - 1;
        if (remaining > 0 && remaining % 3 == 0) {
            out += ',';
        }
    }
    return out + plain.substr(integerEnd);
}

// Quotes and backslashes escaped; line ends kept.
std::string ScriptTextEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// One holding on one line. The quote cells are empty (a browser fills them); the weight
// follows the related-links cell, which has no archive link for a Hong Kong stock.
std::string HoldingRow(int number, const Stock& s, const Holding& h, const std::string& host) {
    const std::string link = "//" + host + "/stock/" + s.SecId() + ".html";
    std::string links = "<a href='" + link + "#news'>变动详情</a><a href='" + link +
                        "#bbs'>股吧</a><a href='" + link + "#quote'>行情</a>";
    if (!s.InHongKong()) {
        links += "<a href='" + link + "#profile'>档案</a>";
    }
    return "<tr><td>" + std::to_string(number) + "</td><td><a href='" + link + "'>" + s.code +
           "</a></td><td class='tol'><a href='" + link + "'>" + HtmlEscape(s.name) +
           "</a></td><td class='tor'><span data-id='dq" + s.code +
           "'></span></td><td class='tor'><span data-id='zd" + s.code +
           "'></span></td><td class='xglj'>" + links + "</td><td class='tor'>" +
           FormatFixed(h.weightPct, 2) + "%</td><td class='tor'>" + Thousands(h.sharesWan) +
           "</td><td class='tor'>" + Thousands(h.valueWan) + "</td></tr>\r\n";
}

} // namespace

// One quarter's box: caption, table and, for the latest quarter, the hidden list of the
// stocks' portal ids that the quote request passes on.
std::string DataAnswers::QuarterBox(const Fund& fund, int quarterEnd,
                                    const std::vector<Holding>& holdings, int topLine, bool latest,
                                    const std::string& host) const {
    std::string html =
        "<div class='box'><div class='boxitem w790'><h4 class='t'><label class='left'>"
        "<a href='//" +
        host + "/" + fund.code + ".html'>" + HtmlEscape(fund.name) + "</a>&nbsp;&nbsp;" +
        QuarterCaption(quarterEnd) +
        "股票投资明细</label><label class='right lab2 xq505'>&nbsp;&nbsp;来源：基金季报"
        "&nbsp;&nbsp;截止至：<font class='px12'>" +
        FormatDay(quarterEnd) +
        "</font></label></h4><div class='space0'></div><table class='w782 comm tzxq'>"
        "<thead><tr><th>序号</th><th>股票代码</th><th>股票名称</th><th class='tor'>最新价</th>"
        "<th class='tor'>涨跌幅</th><th>相关资讯</th><th>占净值<br />比例</th>"
        "<th class='cgs'>持股数<br />（万股）</th><th class='cgs'>持仓市值<br />（万元）</th>"
        "</tr></thead><tbody>\r\n";
    std::string ids;
    for (std::size_t k = 0; k < holdings.size() && static_cast<int>(k) < topLine; ++k) {
        const Stock& s = m_universe.Stocks()[static_cast<std::size_t>(holdings[k].stock)];
        html += HoldingRow(static_cast<int>(k) + 1, s, holdings[k], host);
        ids += s.SecId() + ",";
    }
    html += "</tbody></table>";
    if (latest) {
        html += "<div class='hide' id='gpdmList'>" + ids + "</div>";
    }
    return html + "</div></div>";
}

std::string DataAnswers::Holdings(const Query& query, const std::string& host) const {
    const Universe& u = m_universe;
    const Fund* fund = u.FindFund(query.Get("code"));
    int year = 0, month = 0, day = 0;
    SplitDay(u.ReportDay(), year, month, day);
    std::string years;
    for (int y = year; y > year - YearsOffered; --y) {
        years += (years.empty() ? "" : ",") + std::to_string(y);
    }
    if (!fund || query.Get("type") != "jjcc") {
        return "var apidata={ content:\"\",arryear:[],curyear:0};";
    }
    int topLine = DefaultTopLine;
    if (!ParseCount(query.Get("topline"), 3, topLine) || topLine < 1) {
        topLine = DefaultTopLine;
    }
    // The latest quarter first, then the ones before it.
    std::string html = QuarterBox(*fund, u.ReportDay(), fund->holdings, topLine, true, host);
    int quarterEnd = u.ReportDay();
    for (const std::vector<Holding>& earlier : fund->earlierHoldings) {
        quarterEnd = LastQuarterEnd(quarterEnd - 1);
        html += QuarterBox(*fund, quarterEnd, earlier, topLine, false, host);
    }
    // The rows keep their line ends inside the string, as the portal sends them.
    return "var apidata={ content:\"" + ScriptTextEscape(html) + "\",arryear:[" + years +
           "],curyear:" + std::to_string(year) + "};";
}

namespace {

// A quote record. A suspended stock has no price and no change: "-".
std::string QuoteRecord(const Stock& s, const Quote& quote) {
    const std::string price = s.suspended ? "\"-\"" : FormatFixed(quote.price, 2);
    const std::string change = s.suspended ? "\"-\"" : FormatFixed(quote.changePct, 2);
    return "{\"f2\":" + price + ",\"f3\":" + change + ",\"f9\":" + FormatFixed(s.pe, 2) +
           ",\"f12\":\"" + s.code + "\",\"f14\":\"" + JsonEscape(s.name) + "\"}";
}

} // namespace

std::string DataAnswers::Quotes(const Query& query, int sessionMinute) const {
    const std::string callback = SafeCallback(query.Get("cb"));
    const std::string& secIds = query.Get("secids");
    std::string json =
        "{\"rc\":0,\"rt\":11,\"svr\":181669449,\"lt\":1,\"full\":1,\"dlmkts\":\"\",\"data\":";
    // Known ids in the caller's order; the delisted are no longer quoted.
    std::vector<int> stocks;
    std::size_t start = 0;
    while (start < secIds.size()) {
        std::size_t end = secIds.find(',', start);
        if (end == std::string::npos) {
            end = secIds.size();
        }
        const int index = m_universe.FindStock(std::string_view(secIds).substr(start, end - start));
        if (index >= 0 && m_universe.Stocks()[static_cast<std::size_t>(index)].quoted) {
            stocks.push_back(index);
        }
        start = end + 1;
    }
    if (secIds.find_first_not_of(',') == std::string::npos) {
        json += "null";
    } else {
        json += "{\"total\":" + std::to_string(stocks.size()) + ",\"diff\":[";
        for (std::size_t i = 0; i < stocks.size(); ++i) {
            const Stock& s = m_universe.Stocks()[static_cast<std::size_t>(stocks[i])];
            json += (i ? "," : "") + QuoteRecord(s, m_universe.QuoteAt(stocks[i], sessionMinute));
        }
        json += "]}";
    }
    json += "}";
    return Jsonp(callback, json, ";");
}

} // namespace fundlens::demo
