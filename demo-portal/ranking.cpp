#include "demo-portal/ranking.h"

#include "demo-portal/calendar.h"
#include "text/json_document.h"

#include <algorithm>

namespace fundlens::demo {

namespace {

struct KeyName {
    std::string_view text;
    RankKey key;
};

constexpr std::array<KeyName, RankKeyCount> kKeyNames{{
    {"r", RankKey::Day},
    {"z", RankKey::Week},
    {"1y", RankKey::Month},
    {"3y", RankKey::ThreeMonths},
    {"6y", RankKey::SixMonths},
    {"jn", RankKey::YearToDate},
    {"1n", RankKey::OneYear},
    {"2n", RankKey::TwoYears},
    {"3n", RankKey::ThreeYears},
}};

std::string Percent(double value) {
    return HasValue(value) ? FormatFixed(value, 2) : std::string();
}

std::string MakeRecord(const Universe& universe, const Fund& fund) {
    const FundReturns& r = fund.returns;
    const double nav = Universe::NavAt(fund, universe.LatestIndex(fund));
    // 0 code, 1 name, 2 initials, 3 pinyin, 4-12 returns (year to date, 1 week … 3 years,
    // since inception), 13 accumulated net value, 14 size, 15 date, 16 net value, 17 daily
    // growth, then inception date, purchase fee, type and a purchase flag.
    std::string record;
    record.reserve(220);
    const auto field = [&record](const std::string& text) {
        record += ',';
        record += text;
    };
    record += fund.code;
    field(fund.name);
    field(fund.abbreviation);
    field(fund.pinyin);
    field(Percent(r[Period::YearToDate]));
    field(Percent(r[Period::Week]));
    field(Percent(r[Period::Month]));
    field(Percent(r[Period::ThreeMonths]));
    field(Percent(r[Period::SixMonths]));
    field(Percent(r[Period::OneYear]));
    field(Percent(r[Period::TwoYears]));
    field(Percent(r[Period::ThreeYears]));
    field(Percent(r.sinceInception));
    field(FormatFixed(nav + fund.dividends, 4));
    field(FormatFixed(fund.sizeYi, 2));
    field(FormatDay(universe.LatestDay(fund)));
    field(FormatFixed(nav, 4));
    field(Percent(r.day));
    field(FormatDay(fund.inceptionDay));
    field(FormatFixed(fund.feePct, 2) + "%");
    field(std::string(FundTypeCaption(fund.type)));
    field("1");
    return record;
}

bool ParseFilter(const Query& query, RankRequest& request) {
    const std::string& rating = query.Get("rt");
    const std::string& sector = query.Get("tp");
    if (!rating.empty()) {
        if (!rating.starts_with("sz,") || !ParseCount(rating.substr(3), 1, request.stars) ||
            request.stars < 1 || request.stars > 5) {
            return false;
        }
    }
    if (!sector.empty()) {
        // "BK0" followed by the sector code's decimal digits.
        if (!sector.starts_with("BK0") || !ParseCount(sector.substr(3), 6, request.sector)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<RankKey> RankKeyFromText(std::string_view key) {
    for (const KeyName& k : kKeyNames) {
        if (k.text == key) {
            return k.key;
        }
    }
    return std::nullopt;
}

double RankValue(const Fund& fund, RankKey key) {
    switch (key) {
    case RankKey::Day:
        return fund.returns.day;
    case RankKey::Week:
        return fund.returns[Period::Week];
    case RankKey::Month:
        return fund.returns[Period::Month];
    case RankKey::ThreeMonths:
        return fund.returns[Period::ThreeMonths];
    case RankKey::SixMonths:
        return fund.returns[Period::SixMonths];
    case RankKey::YearToDate:
        return fund.returns[Period::YearToDate];
    case RankKey::OneYear:
        return fund.returns[Period::OneYear];
    case RankKey::TwoYears:
        return fund.returns[Period::TwoYears];
    case RankKey::ThreeYears:
        return fund.returns[Period::ThreeYears];
    }
    return NoValue;
}

std::optional<RankRequest> ParseRankRequest(const Query& query) {
    RankRequest request;
    if (query.Get("dt") != "4" || !ParseFilter(query, request)) {
        return std::nullopt;
    }
    if (!ParseCount(query.Get("pi"), 6, request.page) || request.page < 1 ||
        !ParseCount(query.Get("pn"), 6, request.pageSize) || request.pageSize < 1 ||
        request.pageSize > MaxPageSize) {
        return std::nullopt;
    }
    // An empty or unknown key keeps the default order; any order but "asc" is descending.
    request.key = RankKeyFromText(query.Get("sc")).value_or(RankKey::ThreeMonths);
    request.ascending = query.Get("st") == "asc";
    return request;
}

RankingIndex::RankingIndex(const Universe& universe) : m_universe(universe) {
    const auto& funds = universe.Funds();
    m_records.reserve(funds.size());
    for (const Fund& f : funds) {
        m_records.push_back(MakeRecord(universe, f));
    }
    for (int k = 0; k < RankKeyCount; ++k) {
        const auto key = static_cast<RankKey>(k);
        std::vector<int> valued;
        std::vector<int> missing;
        for (std::size_t i = 0; i < funds.size(); ++i) {
            (HasValue(RankValue(funds[i], key)) ? valued : missing).push_back(static_cast<int>(i));
        }
        // Ties keep the code order in both directions.
        auto value = [&](int i) { return RankValue(funds[static_cast<std::size_t>(i)], key); };
        std::vector<int> descending = valued;
        std::stable_sort(descending.begin(), descending.end(),
                         [&](int a, int b) { return value(a) > value(b); });
        std::vector<int> ascending = valued;
        std::stable_sort(ascending.begin(), ascending.end(),
                         [&](int a, int b) { return value(a) < value(b); });
        descending.insert(descending.end(), missing.begin(), missing.end());
        ascending.insert(ascending.end(), missing.begin(), missing.end());
        m_descending[static_cast<std::size_t>(k)] = std::move(descending);
        m_ascending[static_cast<std::size_t>(k)] = std::move(ascending);
    }
}

std::vector<int> RankingIndex::Select(const RankRequest& request) const {
    const auto& funds = m_universe.Funds();
    std::vector<char> member;
    if (request.sector >= 0) {
        member.assign(funds.size(), 0);
        for (int i : m_universe.SectorMembers(request.sector)) {
            member[static_cast<std::size_t>(i)] = 1;
        }
    }
    const auto& order =
        (request.ascending ? m_ascending : m_descending)[static_cast<std::size_t>(request.key)];
    std::vector<int> list;
    for (int i : order) {
        const Fund& f = funds[static_cast<std::size_t>(i)];
        const bool keep = (request.stars == 0 || f.rating == request.stars) &&
                          (request.sector < 0 || member[static_cast<std::size_t>(i)]);
        if (keep) {
            list.push_back(i);
        }
    }
    return list;
}

std::string RankingIndex::Render(const std::optional<RankRequest>& request) const {
    std::vector<int> list;
    int page = 0;
    int pageSize = 0;
    if (request) {
        list = Select(*request);
        page = request->page;
        pageSize = request->pageSize;
    }
    const int count = static_cast<int>(list.size());
    const int pages = pageSize > 0 ? (count + pageSize - 1) / pageSize : 0;
    std::array<int, FundTypeCount> perType{};
    for (int i : list) {
        ++perType[static_cast<std::size_t>(m_universe.Funds()[static_cast<std::size_t>(i)].type)];
    }

    std::string out;
    out.reserve(static_cast<std::size_t>(std::min(pageSize, count)) * 240 + 300);
    out += "var rankData = {datas:[";
    if (page >= 1 && page <= pages) {
        const int first = (page - 1) * pageSize;
        const int last = std::min(count, first + pageSize);
        for (int r = first; r < last; ++r) {
            if (r > first) {
                out += ',';
            }
            out += '"';
            out += JsonEscape(Record(list[static_cast<std::size_t>(r)]));
            out += '"';
        }
    }
    const auto number = [&out](std::string_view name, int value) {
        out += ',';
        out += name;
        out += ':';
        out += std::to_string(value);
    };
    out += ']';
    number("allRecords", count);
    number("pageIndex", page);
    number("pageNum", pageSize);
    number("allPages", pages);
    number("allNum", count);
    number("gpNum", perType[static_cast<std::size_t>(FundType::Stock)]);
    number("hhNum", perType[static_cast<std::size_t>(FundType::Mixed)]);
    number("zqNum", perType[static_cast<std::size_t>(FundType::Bond)]);
    number("zsNum", perType[static_cast<std::size_t>(FundType::Index)]);
    number("qdiiNum", perType[static_cast<std::size_t>(FundType::Qdii)]);
    number("lofNum", perType[static_cast<std::size_t>(FundType::Lof)]);
    number("fofNum", perType[static_cast<std::size_t>(FundType::Fof)]);
    // No ";" after the object: the program parses everything after "var rankData =" as one
    // value, and a statement end would make that text invalid.
    out += '}';
    return out;
}

Answer RankingIndex::Serve(const Query& query) const {
    return ScriptAnswer(Render(ParseRankRequest(query)));
}

} // namespace fundlens::demo
