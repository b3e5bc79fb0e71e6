// The data endpoints cut the way the search box, the detail workers and the comparison
// chart cut them.
#include "demo-portal/calendar.h"
#include "demo-portal/data_answers.h"
#include "portal/fund_holdings.h"
#include "portal/fund_rating.h"
#include "portal_test_support.h"
#include "text/json_document.h"
#include "text/regex_matcher.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>

namespace fundlens::demo::test {
namespace {

const Text SearchCallback = "jQuery18304481644478480933_1628571546744";
const Text RatingCallback = "jQuery18306281225327741644_1628052779735";
const Text CompareCallback = "jQuery18307015471687350752";

template <typename Predicate>
const Fund* FindFund(Predicate wanted) {
    for (const Fund& f : Market().Funds()) {
        if (wanted(f)) {
            return &f;
        }
    }
    return nullptr;
}

struct Suggestion {
    Text code;
    Text name;
};

std::vector<Suggestion> Suggest(const Text& typed) {
    const Text answer = FetchData("/FundSearch/api/FundSearchAPI.ashx?callback=" + SearchCallback +
                                  "&m=1&key=" + UrlEncode(typed, true, true) + "&_=1628571587137");
    JsonDocument document;
    document.Parse(TextBetween(answer, SearchCallback + "(", "]})") + "]}");
    std::vector<Suggestion> list;
    for (int i = 0; i < document.Count("Datas"); ++i) {
        const std::string index = std::to_string(i);
        list.push_back({document.GetText("Datas[" + index + "]['_id']"),
                        document.GetText("Datas[" + index + "].NAME")});
    }
    return list;
}

TEST(DataEndpoints, SearchMatchesCodesNamesAndInitials) {
    const Fund& sample = Market().Funds()[1234];
    Text initials = sample.abbreviation.substr(0, 4);
    std::transform(initials.begin(), initials.end(), initials.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    const struct {
        const char* name;
        Text typed;
        std::function<bool(const Fund&)> matches;
    } cases[] = {
        {"whole code", sample.code, [&](const Fund& f) { return f.code == sample.code; }},
        {"code prefix", sample.code.substr(0, 3),
         [&](const Fund& f) { return f.code.starts_with(sample.code.substr(0, 3)); }},
        {"initials in lower case", initials,
         [&](const Fund& f) {
             return f.abbreviation.starts_with(sample.abbreviation.substr(0, 4));
         }},
        {"Chinese name part", "成长混合"_gbk,
         [](const Fund& f) { return f.name.find("成长混合") != std::string::npos; }},
        {"nothing like it", "zzzzzz", [](const Fund&) { return false; }},
        {"empty key", "", [](const Fund&) { return false; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Suggestion> list = Suggest(c.typed);
        std::size_t expected = 0;
        for (const Fund& f : Market().Funds()) {
            expected += c.matches(f) ? 1 : 0;
        }
        EXPECT_EQ(list.size(), std::min<std::size_t>(expected, MaxSuggestions));
        for (const Suggestion& s : list) {
            const Fund* f = Market().FindFund(s.code);
            ASSERT_NE(f, nullptr);
            EXPECT_TRUE(c.matches(*f)) << s.code;
            EXPECT_EQ(s.name, Gbk(f->name));
        }
    }
    ASSERT_FALSE(Suggest(sample.code).empty());
    EXPECT_EQ(Suggest(sample.code).front().code, sample.code);
}

Text RatingAnswer(const Fund& fund, const Text& extraHeaders) {
    WebCall call = Call(Url("/F10/JJPJ/?callback=" + RatingCallback + "&fundcode=" + fund.code +
                            "&pageIndex=1&pageSize=50&_=1628052779751"),
                        extraHeaders);
    return WebRequest(call);
}

TEST(DataEndpoints, RatingNeedsARefererAndGivesEveryValue) {
    const Text headers = "User-Agent: test\r\nAccept: */*\r\nReferer: " + Url("/jjpj_004139.html");
    const Text stars[] = {"★☆☆☆☆"_gbk, "★★☆☆☆"_gbk, "★★★☆☆"_gbk, "★★★★☆"_gbk, "★★★★★"_gbk};
    for (int n = 1; n <= 5; ++n) {
        const Fund* fund = FindFund([&](const Fund& f) { return f.rating == n; });
        ASSERT_NE(fund, nullptr);
        EXPECT_EQ(CutRating(RatingAnswer(*fund, headers)), stars[n - 1]);
        EXPECT_EQ(CutRating(RatingAnswer(*fund, "Accept: */*")), "暂无评级"_gbk) << "no Referer";
        EXPECT_EQ(CutRating(RatingAnswer(*fund, "Referer: ")), "暂无评级"_gbk) << "empty Referer";
    }
    // Unrated: "0" when the fund is old enough to be assessed, "" when younger, and no record
    // at all for a fund launched after the last report.
    const struct {
        const char* name;
        std::function<bool(const Fund&)> wanted;
        const char* value;
    } unrated[] = {
        {"assessed", [](const Fund& f) { return f.rating == 0 && HasValue(f.risk.sharpe[2]); },
         "\"SZPJ3\":\"0\","},
        {"young",
         [](const Fund& f) { return !HasValue(f.risk.sharpe[2]) && !f.ratingHistory.empty(); },
         "\"SZPJ3\":\"\","},
        {"no report yet", [](const Fund& f) { return f.ratingHistory.empty(); }, "\"Data\":[]"},
    };
    for (const auto& c : unrated) {
        SCOPED_TRACE(c.name);
        const Fund* fund = FindFund(c.wanted);
        ASSERT_NE(fund, nullptr);
        const Text answer = RatingAnswer(*fund, headers);
        EXPECT_NE(FindText(answer, c.value), Text::npos) << answer;
        EXPECT_EQ(CutRating(answer).has_value(), c.name != std::string("assessed"));
    }
}

bool Holds(const Fund& f, const std::function<bool(const Stock&)>& wanted) {
    return std::any_of(f.holdings.begin(), f.holdings.end(), [&](const Holding& h) {
        return wanted(Market().Stocks()[static_cast<std::size_t>(h.stock)]);
    });
}

TEST(DataEndpoints, HoldingsPairWithTheirQuotesByStockCode) {
    const struct {
        const char* name;
        std::function<bool(const Fund&)> wanted;
    } cases[] = {
        {"ten holdings", [](const Fund& f) { return f.holdings.size() == 10; }},
        {"fewer", [](const Fund& f) { return !f.holdings.empty() && f.holdings.size() < 10; }},
        {"none", [](const Fund& f) { return f.holdings.empty(); }},
        {"Hong Kong",
         [](const Fund& f) { return Holds(f, [](const Stock& s) { return s.InHongKong(); }); }},
        {"name with parentheses",
         [](const Fund& f) {
             return Holds(f, [](const Stock& s) { return s.name.find('(') != std::string::npos; });
         }},
        {"suspended",
         [](const Fund& f) { return Holds(f, [](const Stock& s) { return s.suspended; }); }},
        {"delisted",
         [](const Fund& f) { return Holds(f, [](const Stock& s) { return !s.quoted; }); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Fund* fund = FindFund(c.wanted);
        ASSERT_NE(fund, nullptr);
        const std::string page =
            WebRequest(Url("/FundArchivesDatas.aspx?type=jjcc&code=" + fund->code +
                           "&topline=10&year=&month=&rt=1"));
        std::size_t tables = 0;
        for (std::size_t at = page.find("<table"); at != std::string::npos;
             at = page.find("<table", at + 1)) {
            ++tables;
        }
        EXPECT_EQ(tables, 1 + fund->earlierHoldings.size());
        const ArchiveHoldings archive = CutHoldings(page);
        const std::vector<HoldingRow> rows = PairHoldings(
            archive,
            CutQuotes(WebRequest(Url("/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9"
                                     "&cb=jQuery18306105309008007134_1628074711632&ut=x&secids=" +
                                     archive.stockIds + ",&_=1628074711810"))));
        std::size_t row = 0;
        for (const Holding& h : fund->holdings) {
            const Stock& stock = Market().Stocks()[static_cast<std::size_t>(h.stock)];
            if (!stock.quoted) {
                continue; // the quote answer leaves it out
            }
            ASSERT_LT(row, rows.size());
            EXPECT_EQ(rows[row].code, stock.code);
            EXPECT_EQ(rows[row].name, Gbk(stock.name));
            EXPECT_EQ(rows[row].change,
                      stock.suspended ? "-%" : NumberToText(stock.changePct) + "%");
            EXPECT_EQ(rows[row].weight, FormatFixed(h.weightPct, 2) + "%");
            ++row;
        }
        EXPECT_EQ(rows.size(), row);
    }
}

TEST(DataEndpoints, QuotesSkipUnknownIdsAndAnswerBadListsWithoutData) {
    const Stock& known = Market().Stocks()[7];
    const struct {
        const char* name;
        std::string secids;
        int expected; // elements of data.diff; -1: "data" is null
    } cases[] = {
        {"known and unknown", "9.123456,abc," + known.SecId() + ",", 1},
        {"only a comma", ",", -1},
        {"missing", "", -1},
        {"unknown only", "1.999999,", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Text answer = FetchData(
            "/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb=cb&ut=x&secids=" +
            c.secids + "&_=1");
        JsonDocument quotes;
        ASSERT_TRUE(quotes.Parse(TextBetween(answer, "(", ");")));
        if (c.expected < 0) {
            EXPECT_EQ(quotes.TypeOf("data"), JsonDocument::Null);
            EXPECT_LT(quotes.Count("data.diff"), 1);
        } else {
            EXPECT_EQ(quotes.Count("data.diff"), c.expected);
        }
    }
    // The market has rises, flat stocks and falls.
    int rises = 0, flat = 0, falls = 0;
    for (const Stock& s : Market().Stocks()) {
        (s.changePct > 0 ? rises : (s.changePct < 0 ? falls : flat))++;
    }
    EXPECT_GT(rises, 0);
    EXPECT_GT(flat, 0);
    EXPECT_GT(falls, 0);
}

struct ComparePoint {
    Text date;
    double a = 0;
    double b = 0;
};

// The comparison chart's reading of the answer, for one or two funds.
std::vector<ComparePoint> ReadComparison(const Text& answer, const Text& codeA, const Text& codeB) {
    const Text data = MultiReplace(
        TextBetween(answer, "\\\"dataProvider\\\": [", "]}\",\"ErrCode\""), {{"\\", ""}});
    RegexMatcher records;
    records.Create("{ \"date\": \".*?}", data);
    std::vector<ComparePoint> points;
    for (int i = 1; i <= records.MatchCount(); ++i) {
        const Text record = records.MatchText(i);
        ComparePoint p;
        p.date = TextBetween(record, "{ \"date\": \"", "\",\"");
        if (codeB.empty()) {
            p.a = TextToNumber(TextBetween(record, codeA + "\":", "}"));
        } else {
            p.a = TextToNumber(TextBetween(record, codeA + "\":", ",\""));
            p.b = TextToNumber(TextBetween(record, codeB + "\":", "}"));
        }
        points.push_back(p);
    }
    return points;
}

Text Compare(const Text& codes, const Text& period, bool referer = true) {
    WebCall call = Call(Url("/FundCompare/LJSYL?bzdm=" + codes + "&c=" + period +
                            "&callback=" + CompareCallback + "&_=1628388758953"),
                        referer ? "Referer: " + Url("/compare/?code=005669,005939") : Text());
    return Utf8ToText(WebRequest(call));
}

TEST(DataEndpoints, CompareSeriesForOneAndTwoFundsInEveryPeriod) {
    const Fund* a = FindFund([](const Fund& f) { return HasValue(f.returns[Period::ThreeYears]); });
    const Fund* b = FindFund(
        [&](const Fund& f) { return &f != a && f.firstIndex == 0 && f.type == FundType::Bond; });
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const int last = Market().LastIndex();
    const std::array<Period, 7> periods{Period::Week,      Period::Month,   Period::ThreeMonths,
                                        Period::SixMonths, Period::OneYear, Period::TwoYears,
                                        Period::ThreeYears};
    for (std::size_t k = 0; k < ComparePeriods.size(); ++k) {
        const Text period(ComparePeriods[k]);
        SCOPED_TRACE(period);
        const int base = Market().PeriodStartIndex(periods[k]);
        const double expectedA =
            (Universe::NavAt(*a, last) / Universe::NavAt(*a, base) - 1.0) * 100.0;
        const double expectedB =
            (Universe::NavAt(*b, last) / Universe::NavAt(*b, base) - 1.0) * 100.0;

        const auto one = ReadComparison(Compare(a->code, period), a->code, "");
        const auto two = ReadComparison(Compare(a->code + "," + b->code, period), a->code, b->code);
        for (const auto* points : {&one, &two}) {
            ASSERT_GE(points->size(), 5u);
            ASSERT_LE(points->size(), static_cast<std::size_t>(MaxComparePoints));
            EXPECT_EQ(points->front().date,
                      FormatDay(Market().TradingDays()[static_cast<std::size_t>(base)], '/'));
            EXPECT_EQ(points->back().date, FormatDay(Market().LastTradingDay(), '/'));
            EXPECT_DOUBLE_EQ(points->front().a, 0.0);
            EXPECT_NEAR(points->back().a, expectedA, 0.005);
            for (std::size_t i = 1; i < points->size(); ++i) {
                EXPECT_LT((*points)[i - 1].date, (*points)[i].date);
            }
        }
        EXPECT_DOUBLE_EQ(two.front().b, 0.0);
        EXPECT_NEAR(two.back().b, expectedB, 0.005);
    }
}

TEST(DataEndpoints, CompareStartsAYoungFundAtItsLaunch) {
    const int base = Market().PeriodStartIndex(Period::SixMonths);
    const int last = Market().LastIndex();
    const Fund* old = FindFund([](const Fund& f) { return f.firstIndex == 0; });
    const Fund* young =
        FindFund([&](const Fund& f) { return f.firstIndex > base + 5 && f.firstIndex < last - 5; });
    ASSERT_NE(old, nullptr);
    ASSERT_NE(young, nullptr);
    const Text answer = MultiReplace(TextBetween(Compare(old->code + "," + young->code, "sixmonth"),
                                                 "\\\"dataProvider\\\": [", "]}\",\"ErrCode\""),
                                     {{"\\", ""}});
    RegexMatcher records;
    ASSERT_TRUE(records.Create("{ \"date\": \".*?}", answer));
    ASSERT_EQ(records.MatchCount(), last - base + 1);
    int launched = 0;
    for (int i = 1; i <= records.MatchCount(); ++i) {
        const Text record = records.MatchText(i);
        const bool listed = FindText(record, "\"" + young->code + "\":") != Text::npos;
        const int day = base + i - 1;
        EXPECT_EQ(listed, day >= young->firstIndex) << i;
        if (listed && launched++ == 0) {
            EXPECT_EQ(TextBetween(record, young->code + "\":", "}"), "0.00");
        }
    }
    EXPECT_EQ(launched, last - young->firstIndex + 1);
}

TEST(DataEndpoints, CompareWithoutKnownCodesRefererOrPeriodHasNoPoints) {
    const Text code = Market().Funds()[0].code;
    const struct {
        const char* name;
        Text answer;
    } cases[] = {
        {"unknown code", Compare("999999", "month")},
        {"no code", Compare("", "month")},
        {"unknown period", Compare(code, "decade")},
        {"no Referer", Compare(code, "month", false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(ReadComparison(c.answer, code, "").empty());
        EXPECT_EQ(MultiReplace(TextBetween(c.answer, "\\\"dataProvider\\\": [", "]}\",\"ErrCode\""),
                               {{"\\", ""}}),
                  "");
    }
    // An unknown code beside a known one is left out; the known one keeps its series.
    EXPECT_FALSE(ReadComparison(Compare("999999," + code, "month"), code, "").empty());
}

} // namespace
} // namespace fundlens::demo::test
