// The data endpoints cut the way the detail workers and the comparison chart cut them.
#include "demo-portal/calendar.h"
#include "demo-portal/data_answers.h"
#include "portal/comparison.h"
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

Text Rating(const Fund& fund, const Text& extraHeaders) {
    WebCall call = Call(Url("/F10/JJPJ/?callback=" + RatingCallback + "&fundcode=" + fund.code +
                            "&pageIndex=1&pageSize=50&_=1628052779751"),
                        extraHeaders);
    const Text answer = WebRequest(call);
    return TextBetween(answer, "\"SZPJ3\":\"", "\",\"ZSPJ5");
}

TEST(DataEndpoints, RatingNeedsARefererAndGivesTheStars) {
    const Text headers = "User-Agent: test\r\nAccept: */*\r\nReferer: " + Url("/jjpj_004139.html");
    for (int stars = 1; stars <= 5; ++stars) {
        const Fund* fund = FindFund([&](const Fund& f) { return f.rating == stars; });
        ASSERT_NE(fund, nullptr);
        EXPECT_EQ(Rating(*fund, headers), std::to_string(stars));
        EXPECT_EQ(Rating(*fund, "Accept: */*"), "") << "without a Referer";
        EXPECT_EQ(Rating(*fund, "Referer: "), "") << "with an empty Referer";
    }
    const Fund* unrated =
        FindFund([](const Fund& f) { return f.rating == 0 && !f.ratingHistory.empty(); });
    ASSERT_NE(unrated, nullptr);
    WebCall call = Call(
        Url("/F10/JJPJ/?callback=cb&fundcode=" + unrated->code + "&pageIndex=1&pageSize=50&_=1"),
        headers);
    const Text answer = WebRequest(call);
    EXPECT_NE(FindText(answer, "\"SZPJ3\":\"\",\"ZSPJ5"), Text::npos);
}

TEST(DataEndpoints, HoldingsPairWithTheirQuotes) {
    const Fund* full = FindFund([](const Fund& f) { return f.holdings.size() == 10; });
    const Fund* few =
        FindFund([](const Fund& f) { return !f.holdings.empty() && f.holdings.size() < 10; });
    const Fund* none = FindFund([](const Fund& f) { return f.holdings.empty(); });
    for (const Fund* fund : {full, few, none}) {
        ASSERT_NE(fund, nullptr);
        SCOPED_TRACE(fund->code);
        const Text page = FetchData("/FundArchivesDatas.aspx?type=jjcc&code=" + fund->code +
                                    "&topline=10&year=&month=&rt=0.12776095035691926");
        RegexMatcher weights;
        ASSERT_TRUE(
            weights.Create("档案</a></td><td class='tor'>.*?</td><td class='tor'>"_gbk, page));
        ASSERT_EQ(weights.MatchCount(), static_cast<int>(fund->holdings.size()));
        const Text ids = TextBetween(page, "<div class='hide' id='gpdmList'>", ",</div>");

        const Text answer = FetchData(
            "/api/qt/ulist.np/"
            "get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb=jQuery18306105309008007134_1628074711632"
            "&ut=5d0c3b8e1f2a4c6d9e7b0a1c2d3e4f56&secids=" +
            ids + ",&_=1628074711810");
        const std::size_t open = answer.find('(');
        const std::size_t close = answer.rfind(')');
        ASSERT_NE(open, Text::npos);
        ASSERT_NE(close, Text::npos);
        JsonDocument quotes;
        ASSERT_TRUE(quotes.Parse(answer.substr(open + 1, close - open - 1)));
        const int count = quotes.Count("data.diff");
        ASSERT_EQ(std::max(count, 0), static_cast<int>(fund->holdings.size()));
        for (int j = 0; j < count; ++j) {
            const Holding& h = fund->holdings[static_cast<std::size_t>(j)];
            const Stock& stock = Market().Stocks()[static_cast<std::size_t>(h.stock)];
            const std::string path = "data.diff[" + std::to_string(j) + "].";
            EXPECT_EQ(quotes.GetText(path + "f12"), stock.code);
            EXPECT_EQ(quotes.GetText(path + "f14"), Gbk(stock.name));
            EXPECT_DOUBLE_EQ(TextToNumber(quotes.GetText(path + "f3")), stock.changePct);
            EXPECT_EQ(
                MultiReplace(weights.MatchText(j + 1), {{"档案</a></td><td class='tor'>"_gbk, ""},
                                                        {"</td><td class='tor'>", ""}}),
                FormatFixed(h.weightPct, 2) + "%");
        }
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
