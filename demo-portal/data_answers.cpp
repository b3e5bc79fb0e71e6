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
           "\",\"DWJZ\":" + FormatFixed(Universe::NavAt(f, u.LatestIndex(f)), 4) + ",\"FSRQ\":\"" +
           FormatDay(u.LatestDay(f)) + "\",\"JJGS\":\"" +
           std::string(FundHouses()[static_cast<std::size_t>(f.house)].text) +
           "基金\",\"JJJL\":\"" + JsonEscape(lead.name) + "\",\"ISBUY\":\"1\"}}";
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An error answer of the endpoints that check the caller's Referer.
std::string RefusedJson(std::string_view dataMember) {
    return "{\"" + std::string(dataMember) +
           "\":null,\"ErrCode\":-999,\"ErrMsg\":\"非法访问\",\"TotalCount\":0,\"Expansion\":null}";
}

// The known funds among comma-separated codes, in their order; a code asked for again is
// left out (a record names each fund once).
std::vector<const Fund*> KnownFunds(const Universe& universe, const std::string& codes) {
    std::vector<const Fund*> funds;
    for (std::size_t start = 0; start < codes.size();) {
        const std::size_t end = std::min(codes.find(',', start), codes.size());
        const Fund* f = universe.FindFund(std::string_view(codes).substr(start, end - start));
        if (f && std::find(funds.begin(), funds.end(), f) == funds.end()) {
            funds.push_back(f);
        }
        start = end + 1;
    }
    return funds;
}

// One point of the compare answer (quotes escaped, as inside the data text): the date, then one
// member per fund in the caller's order, its return since the period's first point in percent.
// A fund launched later stays at 0 until its launch and counts from there; a fund whose latest
// net value is older than the point (a QDII fund's, on the clock) keeps its latest return.
std::string CompareRecord(const Universe& universe, const std::vector<const Fund*>& funds,
                          int first, int t) {
    std::string record = "{ \\\"date\\\": \\\"" +
                         FormatDay(universe.TradingDays()[static_cast<std::size_t>(t)], '/') +
                         "\\\"";
    for (const Fund* f : funds) {
        const int base = std::max(first, f->firstIndex);
        const int at = std::min(t, universe.LatestIndex(*f));
        const double value =
            t < f->firstIndex ? 0.0
                              : (Universe::NavAt(*f, at) / Universe::NavAt(*f, base) - 1.0) * 100.0;
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
        // A fund with three years of figures is assessed: without stars it is rated "0". A
        // younger fund has no rating at all: "".
        const std::string unrated = HasValue(fund->risk.sharpe[2]) ? "0" : "";
        total = static_cast<int>(fund->ratingHistory.size());
        const long first = static_cast<long>(pageIndex - 1) * pageSize;
        for (long i = first; i < total && i < first + pageSize; ++i) {
            const RatingRecord& r = fund->ratingHistory[static_cast<std::size_t>(i)];
            const std::string stars = r.rating > 0 ? std::to_string(r.rating) : unrated;
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
