// The data endpoints cut the way the detail workers and the comparison chart cut them.
#include "demo-portal/calendar.h"
#include "demo-portal/data_answers.h"
#include "portal/comparison.h"
#include "portal/fund_holdings.h"
#include "portal/fund_rating.h"
#include "portal/profile.h"
#include "portal_test_support.h"
#include "text/json_document.h"
#include "text/regex_matcher.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fundlens::demo::test {
namespace {

const Text RatingCallback = "jQuery18306281225327741644_1628052779735";

template <typename Predicate>
const Fund* FindFund(Predicate wanted) {
    for (const Fund& f : Market().Funds()) {
        if (wanted(f)) {
            return &f;
        }
    }
    return nullptr;
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

// The compare endpoint asked as the chart asks it: its URL and Referer on the demo portal.
Text Compare(const Text& codes, const Text& period, bool referer = true) {
    const PortalProfile saved = CurrentPortalProfile();
    SetPortalProfile(ProfileAtBase(Portal().BaseUrl()));
    WebCall call = Call(CompareUrl(codes, period), referer ? CompareRefererHeader() : Text());
    SetPortalProfile(saved);
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

        const Comparison one = CutComparison(Compare(a->code, period), a->code, "");
        const Comparison two =
            CutComparison(Compare(a->code + "," + b->code, period), a->code, b->code);
        for (const Comparison* c : {&one, &two}) {
            ASSERT_GE(c->dates.size(), 5u);
            ASSERT_LE(c->dates.size(), static_cast<std::size_t>(MaxComparePoints));
            EXPECT_EQ(c->dates.front(),
                      FormatDay(Market().TradingDays()[static_cast<std::size_t>(base)], '/'));
            EXPECT_EQ(c->dates.back(), FormatDay(Market().LastTradingDay(), '/'));
            EXPECT_TRUE(std::is_sorted(c->dates.begin(), c->dates.end()));
            EXPECT_FLOAT_EQ(c->seriesA.front(), 0);
            EXPECT_NEAR(c->seriesA.back(), expectedA, 0.005);
        }
        EXPECT_EQ(two.seriesA, one.seriesA) << "A reads the same beside B";
        EXPECT_FLOAT_EQ(two.seriesB.front(), 0);
        EXPECT_NEAR(two.seriesB.back(), expectedB, 0.005);
    }
}

TEST(DataEndpoints, CompareListsAYoungFundInEveryRecordAtZeroUntilItsLaunch) {
    const int base = Market().PeriodStartIndex(Period::SixMonths);
    const int last = Market().LastIndex();
    const Fund* old = FindFund([](const Fund& f) { return f.firstIndex == 0; });
    const Fund* young =
        FindFund([&](const Fund& f) { return f.firstIndex > base + 5 && f.firstIndex < last - 5; });
    ASSERT_NE(old, nullptr);
    ASSERT_NE(young, nullptr);
    const Comparison alone = CutComparison(Compare(old->code, "sixmonth"), old->code, "");
    for (bool youngFirst : {false, true}) {
        SCOPED_TRACE(youngFirst ? "young fund first" : "old fund first");
        const Fund* a = youngFirst ? young : old;
        const Fund* b = youngFirst ? old : young;
        const Comparison c =
            CutComparison(Compare(a->code + "," + b->code, "sixmonth"), a->code, b->code);
        ASSERT_EQ(static_cast<int>(c.dates.size()), last - base + 1);
        EXPECT_EQ(youngFirst ? c.seriesB : c.seriesA, alone.seriesA);
        const std::vector<float>& series = youngFirst ? c.seriesA : c.seriesB;
        for (int t = base; t <= young->firstIndex; ++t)
            EXPECT_FLOAT_EQ(series[static_cast<std::size_t>(t - base)], 0) << t;
        EXPECT_NEAR(
            series.back(),
            (Universe::NavAt(*young, last) / Universe::NavAt(*young, young->firstIndex) - 1.0) *
                100.0,
            0.005);
    }
}

TEST(DataEndpoints, CompareCurvesCrossZeroOrStayWithinOne) {
    // Both shapes the chart's value range must handle occur: a curve crossing zero, and a
    // quiet week of a bond fund within one percent either way.
    const DataAnswers answers(Market());
    bool crossing = false;
    bool quiet = false;
    for (const Fund& f : Market().Funds()) {
        if (f.firstIndex > 0 || (crossing && quiet))
            continue;
        const Text period = f.type == FundType::Bond ? "week" : "month";
        const Comparison c = CutComparison(
            Utf8ToText(answers.Compare(Query("bzdm=" + f.code + "&c=" + period), true)), f.code,
            "");
        ASSERT_TRUE(c.HasPoints()) << f.code;
        const auto [low, high] = std::minmax_element(c.seriesA.begin(), c.seriesA.end());
        crossing = crossing || (*low < 0 && *high > 0);
        if (period == "week" && *low > -1 && *high < 1) {
            quiet = true;
            EXPECT_EQ(c.verticalSpec, *low < 0 ? "9|-1|1" : "9|0|1");
        }
    }
    EXPECT_TRUE(crossing);
    EXPECT_TRUE(quiet);
}

TEST(DataEndpoints, CompareWithoutKnownCodesRefererOrPeriodHasNoData) {
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
        EXPECT_FALSE(CutComparison(c.answer, code, "").ok);
    }
    EXPECT_NE(cases[0].answer.find("\"Datas\":\"\","), Text::npos);
    // An unknown code beside a known one is left out; the known one keeps its series.
    EXPECT_TRUE(CutComparison(Compare("999999," + code, "month"), "999999", code).HasPoints());
}

} // namespace
} // namespace fundlens::demo::test
