#include "demo-portal/data_answers.h"

#include "demo-portal/calendar.h"
#include "text/json_document.h"
#include "text/text.h"

#include <algorithm>

namespace fundlens::demo {

namespace {

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

// Characters of UTF-8 text (bytes that do not continue a character).
std::size_t Utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// One fund of the search answer: "_id" and "NAME" among the portal's other members.
std::string SuggestionJson(const Universe& u, const Fund& f) {
    const Manager& lead =
        u.Managers()[static_cast<std::size_t>(f.managements.front().managers.front())];
    const std::string name = JsonEscape(f.name);
    return "{\"_id\":\"" + f.code + "\",\"CODE\":\"" + f.code + "\",\"NAME\":\"" + name +
           "\",\"JP\":\"" + f.abbreviation +
           "\",\"CATEGORY\":700,\"CATEGORYDESC\":\"基金\",\"STOCKMARKET\":\"\","
           "\"BACKCODE\":\"\",\"MatchCount\":1,\"FundBaseInfo\":{\"_id\":\"" +
           f.code + "\",\"FCODE\":\"" + f.code + "\",\"SHORTNAME\":\"" + name + "\",\"FTYPE\":\"" +
           std::string(FundTypeCaption(f.type)) +
           "\",\"DWJZ\":" + FormatFixed(Universe::NavAt(f, u.LastIndex()), 4) + ",\"FSRQ\":\"" +
           FormatDay(u.LastTradingDay()) + "\",\"JJGS\":\"" +
           std::string(FundHouses()[static_cast<std::size_t>(f.house)].text) +
           "基金\",\"JJJL\":\"" + JsonEscape(lead.name) + "\",\"ISBUY\":\"1\"}}";
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

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

// An error answer of the endpoints that check the caller's Referer.
std::string RefusedJson(std::string_view dataMember) {
    return "{\"" + std::string(dataMember) +
           "\":null,\"ErrCode\":-999,\"ErrMsg\":\"非法访问\",\"TotalCount\":0,\"Expansion\":null}";
}

// The known funds among comma-separated codes, in their order.
std::vector<const Fund*> KnownFunds(const Universe& universe, const std::string& codes) {
    std::vector<const Fund*> funds;
    for (std::size_t start = 0; start < codes.size();) {
        const std::size_t end = std::min(codes.find(',', start), codes.size());
        if (const Fund* f = universe.FindFund(std::string_view(codes).substr(start, end - start))) {
            funds.push_back(f);
        }
        start = end + 1;
    }
    return funds;
}

// One point of the compare answer (quotes escaped, as inside the data text): the date, then one
// member per fund in the caller's order, its return since the period's first point in percent.
// A fund launched later stays at 0 until its launch and counts from there.
std::string CompareRecord(const Universe& universe, const std::vector<const Fund*>& funds,
                          int first, int t) {
    std::string record = "{ \\\"date\\\": \\\"" +
                         FormatDay(universe.TradingDays()[static_cast<std::size_t>(t)], '/') +
                         "\\\"";
    for (const Fund* f : funds) {
        const int base = std::max(first, f->firstIndex);
        const double value =
            t < f->firstIndex ? 0.0
                              : (Universe::NavAt(*f, t) / Universe::NavAt(*f, base) - 1.0) * 100.0;
        record += ",\\\"" + f->code + "\\\":" + FormatFixed(value, 2);
    }
    return record + "}";
}

} // namespace

std::string DataAnswers::SearchTerm(std::string_view key) {
    return TrimBlanks(key, " ");
}

bool DataAnswers::DatasFirst(std::string_view key) {
    return Utf8Length(SearchTerm(key)) == 1;
}

std::vector<int> DataAnswers::MatchFunds(std::string_view typed) const {
    std::vector<int> result;
    const std::string rawKey = SearchTerm(typed);
    if (rawKey.empty()) {
        return result;
    }
    const std::string lower = ToLowerAscii(rawKey);
    const std::string upper = UpperAscii(rawKey);
    const bool digits = AllDigits(rawKey);
    // Buckets by quality: exact code, code prefix, initials, pinyin, name.
    std::array<std::vector<int>, 5> buckets;
    const auto& funds = m_universe.Funds();
    for (std::size_t i = 0; i < funds.size(); ++i) {
        const Fund& f = funds[i];
        int bucket = -1;
        if (digits && f.code == rawKey) {
            bucket = 0;
        } else if (digits && f.code.starts_with(rawKey)) {
            bucket = 1;
        } else if (f.abbreviation.starts_with(upper)) {
            bucket = 2;
        } else if (f.pinyin.starts_with(upper)) {
            bucket = 3;
        } else if (ToLowerAscii(f.name).find(lower) != std::string::npos) {
            bucket = 4;
        }
        if (bucket >= 0) {
            buckets[static_cast<std::size_t>(bucket)].push_back(static_cast<int>(i));
        }
    }
    for (const auto& bucket : buckets) {
        for (int i : bucket) {
            if (static_cast<int>(result.size()) == MaxSuggestions) {
                return result;
            }
            result.push_back(i);
        }
    }
    return result;
}

std::string DataAnswers::Search(const Query& query) const {
    const std::string& key = query.Get("key");
    std::string datas;
    for (int i : MatchFunds(key)) {
        datas += (datas.empty() ? "" : ",") +
                 SuggestionJson(m_universe, m_universe.Funds()[static_cast<std::size_t>(i)]);
    }
    // A broad query's answer lists the status after the funds; otherwise "Datas" is the
    // object's last member, closed by "]})" in the JSONP call.
    const std::string json = DatasFirst(key)
                                 ? "{\"Datas\":[" + datas + "],\"ErrCode\":0,\"ErrMsg\":null}"
                                 : "{\"ErrCode\":0,\"ErrMsg\":null,\"Datas\":[" + datas + "]}";
    return Jsonp(SafeCallback(query.Get("callback")), json);
}

std::string DataAnswers::Rating(const Query& query, bool refererSent) const {
    const std::string callback = SafeCallback(query.Get("callback"));
    if (!refererSent) {
        return Jsonp(callback, RefusedJson("Data"));
    }
    const Fund* fund = m_universe.FindFund(query.Get("fundcode"));
    int pageIndex = 0;
    int pageSize = 0;
    const bool paged = ParseCount(query.Get("pageIndex"), 6, pageIndex) && pageIndex >= 1 &&
                       ParseCount(query.Get("pageSize"), 4, pageSize) && pageSize >= 1;
    std::string json = "{\"Data\":[";
    int total = 0;
    if (fund && paged) {
        total = static_cast<int>(fund->ratingHistory.size());
        const long first = static_cast<long>(pageIndex - 1) * pageSize;
        for (long i = first; i < total && i < first + pageSize; ++i) {
            const RatingRecord& r = fund->ratingHistory[static_cast<std::size_t>(i)];
            const std::string stars = r.rating > 0 ? std::to_string(r.rating) : std::string();
            if (i > first) {
                json += ',';
            }
            // "SZPJ3" is directly followed by "ZSPJ5": callers cut the rating between them.
            json += "{\"RDATE\":\"" + FormatDay(r.day) + "\",\"SZPJ3\":\"" + stars +
                    "\",\"ZSPJ5\":\"\",\"JAPJ\":\"" + stars + "\",\"ZSPJ\":\"\",\"CODE\":\"" +
                    fund->code + "\"}";
        }
    }
    json += "],\"ErrCode\":0,\"ErrMsg\":null,\"TotalCount\":" + std::to_string(total) +
            ",\"Expansion\":null,\"PageSize\":" + std::to_string(pageSize) +
            ",\"PageIndex\":" + std::to_string(pageIndex) + "}";
    return Jsonp(callback, json);
}

std::string DataAnswers::Holdings(const Query& query, const std::string& host) const {
    const Universe& u = m_universe;
    const Fund* fund = u.FindFund(query.Get("code"));
    int year = 0, month = 0, day = 0;
    SplitDay(u.ReportDay(), year, month, day);
    std::string years;
    for (int y = year; y > year - 4; --y) {
        if (!years.empty()) {
            years += ',';
        }
        years += std::to_string(y);
    }
    if (!fund || query.Get("type") != "jjcc") {
        return "var apidata={ content:\"\",arryear:[],curyear:0};";
    }
    std::string html =
        "<div class='box'><div class='boxitem w790'><h4 class='t'><label class='left'>"
        "<a href='//" +
        host + "/" + fund->code + ".html'>" + HtmlEscape(fund->name) + "</a>&nbsp;&nbsp;" +
        QuarterCaption(u.ReportDay()) +
        "股票投资明细</label><label class='right lab2 xq505'>&nbsp;&nbsp;来源：基金季报"
        "&nbsp;&nbsp;截止至：<font class='px12'>" +
        FormatDay(u.ReportDay()) +
        "</font></label></h4><div class='space0'></div><table class='w782 comm tzxq'>"
        "<thead><tr><th>序号</th><th>股票代码</th><th>股票名称</th><th class='tor'>最新价</th>"
        "<th class='tor'>涨跌幅</th><th>相关资讯</th><th>占净值<br />比例</th>"
        "<th class='cgs'>持股数<br />（万股）</th><th class='cgs'>持仓市值<br />（万元）</th>"
        "</tr></thead><tbody>\r\n";
    std::string ids;
    int topLine = 10;
    if (!ParseCount(query.Get("topline"), 3, topLine) || topLine < 1) {
        topLine = 10;
    }
    int row = 0;
    for (const Holding& h : fund->holdings) {
        if (row == topLine) {
            break;
        }
        const Stock& s = u.Stocks()[static_cast<std::size_t>(h.stock)];
        const std::string link = "//" + host + "/stock/" + s.SecId() + ".html";
        ++row;
        // One row per line; the weight follows the archive link's cell.
        html += "<tr><td>" + std::to_string(row) + "</td><td><a href='" + link + "'>" + s.code +
                "</a></td><td class='tol'><a href='" + link + "'>" + HtmlEscape(s.name) +
                "</a></td><td class='tor'><span data-id='dq" + s.code +
                "'></span></td><td class='tor'><span data-id='zd" + s.code +
                "'></span></td><td class='xglj'><a href='" + link + "#news'>变动详情</a><a href='" +
                link + "#bbs'>股吧</a><a href='" + link + "#quote'>行情</a><a href='" + link +
                "#profile'>档案</a></td><td class='tor'>" + FormatFixed(h.weightPct, 2) +
                "%</td><td class='tor'>" + Thousands(h.sharesWan) + "</td><td class='tor'>" +
                Thousands(h.valueWan) + "</td></tr>\r\n";
        ids += s.SecId() + ",";
    }
    html += "</tbody></table><div class='hide' id='gpdmList'>" + ids + "</div></div></div>";
    // The rows keep their line ends inside the string, as the portal sends them.
    return "var apidata={ content:\"" + ScriptTextEscape(html) + "\",arryear:[" + years +
           "],curyear:" + std::to_string(year) + "};";
}

std::string DataAnswers::Quotes(const Query& query) const {
    const std::string callback = SafeCallback(query.Get("cb"));
    const std::string& secIds = query.Get("secids");
    std::string json =
        "{\"rc\":0,\"rt\":11,\"svr\":181669449,\"lt\":1,\"full\":1,\"dlmkts\":\"\",\"data\":";
    std::vector<int> stocks;
    std::size_t start = 0;
    while (start < secIds.size()) {
        std::size_t end = secIds.find(',', start);
        if (end == std::string::npos) {
            end = secIds.size();
        }
        const int index = m_universe.FindStock(std::string_view(secIds).substr(start, end - start));
        if (index >= 0) {
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
            json += (i ? ",{" : "{");
            json += "\"f2\":" + FormatFixed(s.price, 2) + ",\"f3\":" + FormatFixed(s.changePct, 2) +
                    ",\"f9\":" + FormatFixed(s.pe, 2) + ",\"f12\":\"" + s.code + "\",\"f14\":\"" +
                    JsonEscape(s.name) + "\"}";
        }
        json += "]}";
    }
    json += "}";
    return Jsonp(callback, json, ";");
}

std::vector<int> DataAnswers::ComparePoints(std::string_view period) const {
    static constexpr std::array<Period, 7> kPeriods{
        Period::Week,    Period::Month,    Period::ThreeMonths, Period::SixMonths,
        Period::OneYear, Period::TwoYears, Period::ThreeYears,
    };
    std::vector<int> points;
    for (std::size_t k = 0; k < ComparePeriods.size(); ++k) {
        if (ComparePeriods[k] != period) {
            continue;
        }
        const int base = std::max(0, m_universe.PeriodStartIndex(kPeriods[k]));
        const int last = m_universe.LastIndex();
        const int step = last - base + 1 > MaxComparePoints ? 5 : 1;
        for (int t = last; t > base; t -= step) {
            points.push_back(t);
        }
        points.push_back(base);
        std::reverse(points.begin(), points.end());
    }
    return points;
}

std::string DataAnswers::Compare(const Query& query, bool refererSent) const {
    const std::string callback = SafeCallback(query.Get("callback"));
    if (!refererSent) {
        return Jsonp(callback, RefusedJson("Datas"), ";");
    }
    const std::vector<const Fund*> funds = KnownFunds(m_universe, query.Get("bzdm"));
    const std::vector<int> points =
        funds.empty() ? std::vector<int>() : ComparePoints(query.Get("c"));
    std::string records;
    int count = 0;
    for (int t : points) {
        if (std::none_of(funds.begin(), funds.end(),
                         [t](const Fund* f) { return t >= f->firstIndex; })) {
            continue; // no fund launched yet
        }
        records += (count ? "," : "") + CompareRecord(m_universe, funds, points.front(), t);
        ++count;
    }
    // The data member is itself JSON text, carried as an escaped string; empty without points.
    const std::string data = count ? "{\\\"dataProvider\\\": [" + records + "]}" : "";
    const std::string json =
        "{\"Datas\":\"" + data +
        "\",\"ErrCode\":0,\"ErrMsg\":null,\"TotalCount\":" + std::to_string(count) +
        ",\"Expansion\":null}";
    return Jsonp(callback, json, ";");
}

} // namespace fundlens::demo
