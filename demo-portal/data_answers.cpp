#include "demo-portal/data_answers.h"

#include "demo-portal/calendar.h"
#include "text/json_document.h"

#include <algorithm>
#include <cctype>

namespace fundlens::demo {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
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

} // namespace

std::vector<int> DataAnswers::MatchFunds(std::string_view rawKey) const {
    std::vector<int> result;
    if (rawKey.empty()) {
        return result;
    }
    const std::string lower = Lower(rawKey);
    const std::string upper = Upper(rawKey);
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
        } else if (Lower(f.name).find(lower) != std::string::npos) {
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
    const Universe& u = m_universe;
    std::string json = "{\"ErrCode\":0,\"ErrMsg\":null,\"Datas\":[";
    bool first = true;
    for (int i : MatchFunds(query.Get("key"))) {
        const Fund& f = u.Funds()[static_cast<std::size_t>(i)];
        const Manager& lead =
            u.Managers()[static_cast<std::size_t>(f.managements.front().managers.front())];
        if (!first) {
            json += ',';
        }
        first = false;
        const std::string name = JsonEscape(f.name);
        json += "{\"_id\":\"" + f.code + "\",\"CODE\":\"" + f.code + "\",\"NAME\":\"" + name +
                "\",\"JP\":\"" + f.abbreviation +
                "\",\"CATEGORY\":700,\"CATEGORYDESC\":\"基金\",\"STOCKMARKET\":\"\","
                "\"BACKCODE\":\"\",\"MatchCount\":1,\"FundBaseInfo\":{\"_id\":\"" +
                f.code + "\",\"FCODE\":\"" + f.code + "\",\"SHORTNAME\":\"" + name +
                "\",\"FTYPE\":\"" + std::string(FundTypeCaption(f.type)) +
                "\",\"DWJZ\":" + FormatFixed(Universe::NavAt(f, u.LastIndex()), 4) +
                ",\"FSRQ\":\"" + FormatDay(u.LastTradingDay()) + "\",\"JJGS\":\"" +
                std::string(FundHouses()[static_cast<std::size_t>(f.house)].text) +
                "基金\",\"JJJL\":\"" + JsonEscape(lead.name) + "\",\"ISBUY\":\"1\"}}";
    }
    // "Datas" stays the last member: callers cut the answer at its closing "]})".
    json += "]}";
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
    // Known codes in the caller's order, each once.
    std::vector<const Fund*> funds;
    const std::string& codes = query.Get("bzdm");
    std::size_t start = 0;
    while (start < codes.size()) {
        std::size_t end = codes.find(',', start);
        if (end == std::string::npos) {
            end = codes.size();
        }
        const Fund* f = m_universe.FindFund(std::string_view(codes).substr(start, end - start));
        if (f && std::find(funds.begin(), funds.end(), f) == funds.end()) {
            funds.push_back(f);
        }
        start = end + 1;
    }
    const std::vector<int> points =
        funds.empty() ? std::vector<int>() : ComparePoints(query.Get("c"));
    // The data member is itself JSON text, carried as an escaped string.
    std::string inner = "{\\\"dataProvider\\\": [";
    int count = 0;
    for (int t : points) {
        std::string record;
        for (const Fund* f : funds) {
            if (t < f->firstIndex) {
                continue; // not yet launched on this day
            }
            const int base = std::max(points.front(), f->firstIndex);
            const double value = (Universe::NavAt(*f, t) / Universe::NavAt(*f, base) - 1.0) * 100.0;
            record += ",\\\"" + f->code + "\\\":" + FormatFixed(value, 2);
        }
        if (record.empty()) {
            continue;
        }
        inner += (count ? ",{ " : "{ ");
        inner += "\\\"date\\\": \\\"" +
                 FormatDay(m_universe.TradingDays()[static_cast<std::size_t>(t)], '/') + "\\\"" +
                 record + "}";
        ++count;
    }
    inner += "]}";
    const std::string json =
        "{\"Datas\":\"" + inner +
        "\",\"ErrCode\":0,\"ErrMsg\":null,\"TotalCount\":" + std::to_string(count) +
        ",\"Expansion\":null}";
    return Jsonp(callback, json, ";");
}

} // namespace fundlens::demo
