#include "demo-portal/fund_pages.h"

#include "demo-portal/calendar.h"

#include <algorithm>
#include <functional>

namespace fundlens::demo {

namespace {

// Profile pages of funds launched this many days before the histories begin are GBK pages.
constexpr int GbkPagesLaunchedDaysBefore = 3000;

constexpr std::array<std::string_view, 6> kCustodians{
    "青岚银行", "云岭银行", "海川银行", "明珠银行", "江海商业银行", "东岳银行",
};

constexpr std::array<std::string_view, PeriodCount> kPeriodCaptions{
    "近1周", "近1月", "近3月", "近6月", "今年来", "近1年", "近2年", "近3年",
};

std::string HouseName(const Fund& fund) {
    return std::string(FundHouses()[static_cast<std::size_t>(fund.house)].text) + "基金";
}

std::string ProductName(const Fund& fund) {
    std::string name = fund.name;
    if (name.ends_with("A") || name.ends_with("C")) {
        name.pop_back();
    }
    return name;
}

std::string FullName(const Fund& fund) {
    std::string name = ProductName(fund);
    if (name.ends_with("混合") || name.ends_with("股票") || name.ends_with("债券")) {
        name += "型";
    }
    return name + "证券投资基金";
}

std::string ChineseDate(int day) {
    int y = 0, m = 0, d = 0;
    SplitDay(day, y, m, d);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d年%02d月%02d日", y, m, d);
    return buffer;
}

std::string ManagerLink(const Manager& m, const std::string& host) {
    return "<a href='//" + host + "/manager/" + std::to_string(m.id) + ".html'>" +
           HtmlEscape(m.name) + "</a>";
}

// The current team's links joined by `separator`.
std::string TeamLinks(const Universe& u, const Management& team, const std::string& host,
                      std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < team.managers.size(); ++i) {
        if (i > 0) {
            out += separator;
        }
        out += ManagerLink(u.Managers()[static_cast<std::size_t>(team.managers[i])], host);
    }
    return out;
}

// Colour class of a figure on the main page.
std::string_view ColourClass(double value) {
    if (!HasValue(value)) {
        return "ui-color-gray";
    }
    return value > 0 ? "ui-color-red" : (value < 0 ? "ui-color-green" : "ui-color-gray");
}

std::string Benchmark(FundType type) {
    switch (type) {
    case FundType::Bond:
        return "中债综合全价指数收益率×90%+银行活期存款利率(税后)×10%";
    case FundType::Index:
        return "标的指数收益率×95%+银行活期存款利率(税后)×5%";
    case FundType::Qdii:
        return "MSCI全球指数收益率(经汇率调整)×80%+银行活期存款利率(税后)×20%";
    case FundType::Fof:
        return "中证偏股型基金指数收益率×40%+中债综合指数收益率×60%";
    case FundType::Stock:
    case FundType::Mixed:
    case FundType::Lof:
        break;
    }
    return "沪深300指数收益率×80%+中债综合指数收益率×20%";
}

} // namespace

FundPages::FundPages(const Universe& universe) : m_universe(universe) {
    for (const Fund& f : universe.Funds()) {
        const auto t = static_cast<std::size_t>(f.type);
        for (int p = 0; p < PeriodCount; ++p) {
            const double v = f.returns.period[static_cast<std::size_t>(p)];
            if (HasValue(v)) {
                m_types[t].average[static_cast<std::size_t>(p)] += v;
                ++m_types[t].valued[static_cast<std::size_t>(p)];
                m_sorted[t][static_cast<std::size_t>(p)].push_back(v);
            }
        }
    }
    for (std::size_t t = 0; t < m_types.size(); ++t) {
        for (std::size_t p = 0; p < PeriodCount; ++p) {
            const int n = m_types[t].valued[p];
            m_types[t].average[p] = n > 0 ? m_types[t].average[p] / n : NoValue;
            std::sort(m_sorted[t][p].begin(), m_sorted[t][p].end(), std::greater<double>());
        }
    }
}

std::string FundPages::PercentText(double value) {
    return HasValue(value) ? FormatFixed(value, 2) + "%" : std::string("--");
}

std::string FundPages::TenureText(int days) {
    const int years = days / 365;
    const int rest = days % 365;
    if (years == 0) {
        return std::to_string(rest) + "天";
    }
    return std::to_string(years) + "年又" + std::to_string(rest) + "天";
}

int FundPages::RankInType(const Fund& fund, Period period) const {
    const double v = fund.returns[period];
    const auto& list =
        m_sorted[static_cast<std::size_t>(fund.type)][static_cast<std::size_t>(period)];
    auto it = std::lower_bound(list.begin(), list.end(), v, std::greater<double>());
    return static_cast<int>(it - list.begin()) + 1;
}

std::string FundPages::FundHeader(const Fund& fund, const std::string& host,
                                  std::string_view section) const {
    std::string out =
        "<div class=\"fundDetail-header\"><div class=\"fundInfoItem\"><h1><a href='//" + host +
        "/" + fund.code + ".html'>" + HtmlEscape(fund.name) + "</a> (" + fund.code +
        ")</h1></div>\r\n";
    out += "<div class=\"tabs\"><a href='//" + host + "/jbgk_" + fund.code +
           ".html'>基本概况</a> | <a href='//" + host + "/jjjl_" + fund.code +
           ".html'>基金经理</a> | <a href='//" + host + "/tsdata_" + fund.code +
           ".html'>特色数据</a> | <a href='//" + host + "/jjjz_" + fund.code +
           ".html'>历史净值</a></div></div>\r\n";
    out += "<div class=\"r_cont\"><div class=\"basic-new\"><div class=\"bs_jz\"><h4 class=\"t\">" +
           std::string(section) + "</h4></div></div>\r\n";
    return out;
}

bool FundPages::ProfileInGbk(const Fund& fund, const Universe& universe) {
    return fund.inceptionDay < universe.TradingDays().front() - GbkPagesLaunchedDaysBefore;
}

Answer FundPages::Profile(const Fund& fund, const std::string& host) const {
    const Universe& u = m_universe;
    const std::string report = FormatDay(u.ReportDay());
    const double nav = Universe::NavAt(fund, u.LatestIndex(fund));
    const Management& team = fund.managements.front();
    char shares[64];
    std::snprintf(shares, sizeof shares, "%.4f亿份", fund.sizeYi / nav);
    char issue[64];
    std::snprintf(issue, sizeof issue, "%.4f亿份", std::max(2.0, fund.sizeYi * 0.6));

    std::string body = FundHeader(fund, host, "基本概况");
    body += "<div class=\"txt_cont\"><div class=\"txt_in\"><div class=\"box\"><div class=\"boxitem "
            "w790\">"
            "<h4 class=\"t\"><label class=\"left\">基本概况</label></h4>\r\n";
    body += "<table class=\"info w790\">\r\n";
    body += "<tr><th>基金全称</th><td>" + HtmlEscape(FullName(fund)) +
            "</td><th>基金简称</th><td>" + HtmlEscape(fund.name) + "</td></tr>\r\n";
    body += "<tr><th>基金代码</th><td>" + fund.code + "（前端）</td><th>基金类型</th><td>" +
            std::string(FundTypeCaption(fund.type)) + "</td></tr>\r\n";
    body += "<tr><th>发行日期</th><td>" + ChineseDate(fund.inceptionDay - 21) +
            "</td><th>成立日期/规模</th><td>" + ChineseDate(fund.inceptionDay) + " / " + issue +
            "</td></tr>\r\n";
    // The asset-size cell has no end tag: the next header cell closes it.
    body += "<tr><th>资产规模</th><td>" + FormatFixed(fund.sizeYi, 2) + "亿元（截止至：" + report +
            "）<th>份额规模</th><td>" + shares + "（截止至：" + report + "）</td></tr>\r\n";
    body += "<tr><th>基金管理人</th><td><a href='//" + host + "/company/" +
            std::to_string(80000000 + fund.house) + ".html'>" + HouseName(fund) +
            "</a></td><th>基金托管人</th><td>" +
            std::string(kCustodians[static_cast<std::size_t>(fund.house) % kCustodians.size()]) +
            "</td></tr>\r\n";
    body += "<tr><th>基金经理人</th><td>" + TeamLinks(u, team, host, "、") +
            "</td><th>成立来分红</th><td>每份累计" + FormatFixed(fund.dividends, 2) +
            "元</td></tr>\r\n";
    const bool bond = fund.type == FundType::Bond;
    body += "<tr><th>管理费率</th><td>" + std::string(bond ? "0.30%" : "1.20%") +
            "（每年）</td><th>托管费率</th><td>" + std::string(bond ? "0.10%" : "0.20%") +
            "（每年）</td></tr>\r\n";
    body += "<tr><th>业绩比较基准</th><td>" + Benchmark(fund.type) + "</td><th>跟踪标的</th><td>" +
            std::string(fund.type == FundType::Index ? ProductName(fund) : "该基金无跟踪标的") +
            "</td></tr>\r\n</table></div>\r\n";
    body +=
        "<div class=\"boxitem w790\"><h4 class=\"t\"><label class=\"left\">投资目标</label></h4>"
        "<p>在严格控制风险的前提下，追求基金资产的长期稳健增值。</p></div>\r\n";
    body += "</div></div></div></div>";
    const std::string title = fund.name + "(" + fund.code + ")基金基本概况";
    return ProfileInGbk(fund, u) ? GbkHtmlAnswer(title, body) : HtmlAnswer(HtmlPage(title, body));
}

std::string FundPages::Managers(const Fund& fund, const std::string& host) const {
    const Universe& u = m_universe;
    std::string body = FundHeader(fund, host, "基金经理");
    body += "<div class=\"box\"><div class=\"boxitem w790\"><h4 class=\"t\"><label class=\"left\">"
            "基金经理变动一览</label></h4>\r\n";
    // The header and the current team's row stay on one line.
    body +=
        "<table class='w782 comm jloff'><thead><tr><th>起始期</th><th>截止期</th><th>基金经理</th>"
        "<th>任职期间</th><th>任职回报</th></tr></thead><tbody>";
    for (const Management& m : fund.managements) {
        const int startIndex = std::max(m.startIndex, fund.firstIndex);
        const int startDay = u.TradingDays()[static_cast<std::size_t>(startIndex)];
        const int endDay = u.TradingDays()[static_cast<std::size_t>(m.endIndex)];
        body += "<tr><td>" + FormatDay(startDay) + "</td><td>" +
                (m.current ? std::string("至今") : FormatDay(endDay)) + "</td><td>" +
                TeamLinks(u, m, host, "&nbsp;&nbsp;") + " </td><td>" +
                TenureText(endDay - startDay) + "</td><td class=\"tor  " +
                (m.returnPct > 0 ? "red" : "grn") + "\">" + FormatFixed(m.returnPct, 2) +
                "%</td></tr>\r\n";
    }
    body += "</tbody></table></div>\r\n";

    body += "<div class=\"boxitem w790\"><h4 class=\"t\"><label "
            "class=\"left\">现任基金经理简介</label></h4>\r\n";
    const Management& team = fund.managements.front();
    for (int index : team.managers) {
        const Manager& m = u.Managers()[static_cast<std::size_t>(index)];
        const int startDay =
            u.TradingDays()[static_cast<std::size_t>(std::max(team.startIndex, fund.firstIndex))];
        const int careerYears = std::max(1, (u.LastTradingDay() - m.careerStartDay) / 365);
        body += "<div class=\"jl_intro\"><div class=\"text\"><p><label>姓名：</label>" +
                ManagerLink(m, host) + "</p><p><label>上任日期：</label>" + FormatDay(startDay) +
                "</p><p>" + HtmlEscape(m.name) + (m.female ? "女士" : "先生") + "：" +
                std::string(m.university) + std::string(m.degree) + "，" +
                std::to_string(careerYears) + "年证券从业经历。现任" + HouseName(fund) +
                "基金经理。</p></div></div>\r\n";
    }
    body += "</div></div>";
    return HtmlPage(fund.name + "(" + fund.code + ")基金经理", body);
}

std::string FundPages::Risk(const Fund& fund, const std::string& host) const {
    std::string body = FundHeader(fund, host, "特色数据");
    body += "<div class=\"box\"><div class=\"boxitem w790\"><h4 class=\"t\"><label class=\"left\">"
            "风险指标</label></h4>\r\n";
    body += "<table class=\"fxtb\"><tr><th>基金风险指标</th><th class=\"num\">近1年</th>"
            "<th class=\"num\">近2年</th><th class=\"num\">近3年</th>\r\n</tr>\r\n";
    auto row = [&](std::string_view caption, const std::array<double, 3>& values, bool percent) {
        body += "<tr><td>" + std::string(caption) + "</td>";
        for (double v : values) {
            body +=
                "<td class='num'>" +
                (percent ? PercentText(v) : (HasValue(v) ? FormatFixed(v, 2) : std::string("--"))) +
                "</td>";
        }
        body += "</tr>\r\n";
    };
    row("标准差", fund.risk.deviationPct, true);
    row("夏普比率", fund.risk.sharpe, false);
    if (fund.type == FundType::Index) {
        row("跟踪误差", fund.risk.trackingPct, true); // index funds: a third row
    }
    body += "</table>\r\n<div class=\"limit-time\">截止至：" +
            FormatDay(m_universe.LatestDay(fund)) + "</div></div>\r\n";
    const bool bond = fund.type == FundType::Bond || fund.type == FundType::Fof;
    body +=
        "<div class=\"boxitem w790\"><h4 class=\"t\"><label class=\"left\">风险等级</label></h4>"
        "<p>" +
        std::string(bond ? "中低风险" : "中高风险") + "</p></div></div>";
    return HtmlPage(fund.name + "(" + fund.code + ")特色数据", body);
}

std::string FundPages::Main(const Fund& fund, const std::string& host) const {
    std::string body = "<div class=\"fundDetail-tit\"><div style=\"float: left\">" +
                       HtmlEscape(fund.name) + "<span>(</span><span class=\"ui-num\">" + fund.code +
                       "</span><span>)</span></div></div>\r\n";
    body += "<div class=\"fundInfoItem\">" + NetValueSummary(fund, host) + FundFacts(fund, host) +
            "</div>\r\n" + ReturnsTable(fund);
    return HtmlPage(fund.name + "(" + fund.code + ")基金净值_估值_行情走势", body);
}

std::string FundPages::NetValueSummary(const Fund& fund, const std::string& host) const {
    const double nav = Universe::NavAt(fund, m_universe.LatestIndex(fund));
    const double day = fund.returns.day;
    // Date, net value and daily change in one block that ends before "近3月".
    std::string out =
        "<div class=\"dataOfFund\">\r\n<dl class=\"dataItem02\"><dt><p><span class=\"sp01\">"
        "<span class=\"sp02\"><a href=\"//" +
        host + "/jjjz_" + fund.code + ".html\">单位净值</a></span> (</span>" +
        FormatDay(m_universe.LatestDay(fund)) +
        ")</p></dt><dd class=\"dataNums\"><span class=\"ui-font-large " +
        std::string(ColourClass(day)) + " ui-num\">" + FormatFixed(nav, 4) +
        "</span><span class=\"ui-font-middle " + std::string(ColourClass(day)) + " ui-num\">" +
        PercentText(day) + "</span></dd>";
    for (Period p : {Period::ThreeMonths, Period::ThreeYears, Period::OneYear}) {
        const double v = fund.returns[p];
        out += "<dd><span>" + std::string(kPeriodCaptions[static_cast<std::size_t>(p)]) +
               "：</span><span class=\"ui-font-middle " + std::string(ColourClass(v)) +
               " ui-num\">" + PercentText(v) + "</span></dd>";
    }
    out += "</dl>\r\n<dl class=\"dataItem03\"><dt><p><span class=\"sp01\">累计净值</span></p></dt>"
           "<dd class=\"dataNums\"><span class=\"ui-font-large ui-num\">" +
           FormatFixed(nav + fund.dividends, 4) +
           "</span></dd><dd><span>成立来：</span><span class=\"ui-num\">" +
           PercentText(fund.returns.sinceInception) + "</span></dd></dl>\r\n</div>\r\n";
    return out;
}

std::string FundPages::FundFacts(const Fund& fund, const std::string& host) const {
    const Universe& u = m_universe;
    return "<div class=\"infoOfFund\"><table><tr><td>类型：" +
           std::string(FundTypeCaption(fund.type)) + "</td><td>规模：" +
           FormatFixed(fund.sizeYi, 2) + "亿元（" + FormatDay(u.ReportDay()) +
           "）</td><td>基金经理：" + TeamLinks(u, fund.managements.front(), host, "&nbsp;&nbsp;") +
           "</td></tr><tr><td>成立日：" + FormatDay(fund.inceptionDay) + "</td><td>管理人：" +
           HouseName(fund) + "</td><td>评级：" +
           (fund.rating > 0 ? std::to_string(fund.rating) + "星" : std::string("暂无评级")) +
           "</td></tr></table></div>";
}

std::string FundPages::ReturnsTable(const Fund& fund) const {
    const Universe& u = m_universe;
    const auto& types = m_types[static_cast<std::size_t>(fund.type)];
    const auto& levels = u.MarketLevels();
    // One row: its caption cell, then a cell per period; rows end with " </tr>".
    auto row = [](std::string_view caption, const std::function<std::string(int)>& cell) {
        std::string out =
            "<tr><td>  <div class=\"typeName\">" + std::string(caption) + "</div></td>";
        for (int p = 0; p < PeriodCount; ++p) {
            out += "<td>  " + cell(p) + "</td>";
        }
        return out + " </tr>";
    };
    auto figure = [](double v, std::string_view extraClass) {
        return "<div class=\"Rdata " + std::string(ColourClass(v)) + std::string(extraClass) +
               "\">" + PercentText(v) + "</div>";
    };
    std::string out = "<li class=\"increaseAmount\"><div class=\"bd\"><table "
                      "class=\"ui-table-hover\"><tr><th class=\"first\"></th>";
    for (std::string_view caption : kPeriodCaptions) {
        out += "<th>" + std::string(caption) + "</th>";
    }
    out += "</tr>";
    // The fund's own returns: the only cells marked "bold".
    out += row("阶段涨幅", [&](int p) {
        return figure(fund.returns.period[static_cast<std::size_t>(p)], " bold");
    });
    out += row("同类平均<div class=\"typeNameTip\"></div>",
               [&](int p) { return figure(types.average[static_cast<std::size_t>(p)], ""); });
    const double levelNow = levels[static_cast<std::size_t>(u.LastIndex())];
    out += row("沪深300", [&](int p) {
        const int start = u.PeriodStartIndex(static_cast<Period>(p));
        return figure(start >= 0
                          ? (levelNow / levels[static_cast<std::size_t>(start)] - 1.0) * 100.0
                          : NoValue,
                      "");
    });
    out += row("同类排名", [&](int p) {
        const auto period = static_cast<Period>(p);
        if (!HasValue(fund.returns[period])) {
            return std::string("<div class=\"Rdata\">--</div>");
        }
        return "<div class=\"Rdata\">" + std::to_string(RankInType(fund, period)) +
               "<font>|</font>" + std::to_string(types.valued[static_cast<std::size_t>(p)]) +
               "</div>";
    });
    return out + "</table></div></li>";
}

std::string FundPages::NetValues(const Fund& fund, const std::string& host) const {
    const Universe& u = m_universe;
    std::string body = FundHeader(fund, host, "历史净值");
    body += "<div class=\"box\"><div class=\"boxitem w790\"><h4 class=\"t\"><label class=\"left\">"
            "单位净值走势</label></h4>\r\n";
    body += "<div class=\"listcomm jz_list\">\r\n" + std::string(44, ' ') +
            "<img id=\"jzpng\" src=\"//" + host + "/img/jjjz/" + fund.code +
            ".png\" onerror=\"this.style.display='none'\" alt=\"" + HtmlEscape(fund.name) +
            "单位净值走势图\" /></div></div>\r\n";
    body += "<div class=\"boxitem w790\"><h4 class=\"t\"><label "
            "class=\"left\">历史净值明细</label></h4>\r\n"
            "<table class=\"w782 comm "
            "lsjz\"><thead><tr><th>净值日期</th><th>单位净值</th><th>累计净值</th>"
            "<th>日增长率</th></tr></thead><tbody>\r\n";
    constexpr int RowsShown = 20;
    const int latest = u.LatestIndex(fund);
    for (int t = latest; t >= fund.firstIndex && t > latest - RowsShown; --t) {
        const double nav = Universe::NavAt(fund, t);
        const double growth =
            t > fund.firstIndex ? (nav / Universe::NavAt(fund, t - 1) - 1.0) * 100.0 : NoValue;
        body += "<tr><td>" + FormatDay(u.TradingDays()[static_cast<std::size_t>(t)]) +
                "</td><td class='tor bold'>" + FormatFixed(nav, 4) + "</td><td class='tor bold'>" +
                FormatFixed(nav + fund.dividends, 4) + "</td><td class='tor bold'>" +
                PercentText(growth) + "</td></tr>\r\n";
    }
    body += "</tbody></table></div></div>";
    return HtmlPage(fund.name + "(" + fund.code + ")历史净值", body);
}

} // namespace fundlens::demo
