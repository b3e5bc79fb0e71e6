// The market on the clock: the trading day a minute falls in, quotes through the session, the
// day's net values from the funds' portfolios out at 20:00, bond and QDII funds.
#include "demo-portal/calendar.h"
#include "demo-portal/command_line.h"
#include "demo-portal/generation.h"
#include "demo-portal/market_clock.h"
#include "portal/fund_holdings.h"
#include "portal/fund_main_page.h"
#include "portal_test_support.h"
#include "text/json_document.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace fundlens::demo::test {
namespace {

ChinaTime At(const char* text) {
    const std::optional<ChinaTime> time = ParseChinaTime(text);
    EXPECT_TRUE(time.has_value()) << text;
    return time.value_or(ChinaTime{});
}

// The market at a minute of China time, built once per trading-day state for the whole run.
const Universe& MarketAt(const char* now) {
    static std::map<std::pair<int, bool>, std::unique_ptr<Universe>> built;
    const TradingDay day = TradingDayAt(At(now));
    auto& universe = built[{day.sessionDay, day.published}];
    if (!universe) {
        universe = std::make_unique<Universe>(1, day);
    }
    return *universe;
}

int Day(const char* text) {
    return ParseDay(text).value_or(0);
}

bool HoldsShares(FundType type) {
    return type == FundType::Stock || type == FundType::Mixed || type == FundType::Index ||
           type == FundType::Lof;
}

TEST(MarketClock, TheSessionAndThePublishedDayOfAMinute) {
    // 2026-12-08 is a Tuesday.
    const struct {
        const char* now;
        const char* session;
        const char* published;
    } cases[] = {
        {"2026-12-08 09:29", "2026-12-07", "2026-12-07"}, // before the open: yesterday's close
        {"2026-12-08 09:30", "2026-12-08", "2026-12-07"},
        {"2026-12-08 15:30", "2026-12-08", "2026-12-07"}, // closed, not yet published
        {"2026-12-08 19:59", "2026-12-08", "2026-12-07"},
        {"2026-12-08 20:00", "2026-12-08", "2026-12-08"},
        {"2026-12-08 23:59", "2026-12-08", "2026-12-08"},
        {"2026-12-05 12:00", "2026-12-04", "2026-12-04"}, // Saturday: Friday's
        {"2026-12-06 21:00", "2026-12-04", "2026-12-04"}, // Sunday evening
        {"2026-12-07 09:00", "2026-12-04", "2026-12-04"}, // Monday morning
        {"2026-12-07 10:00", "2026-12-07", "2026-12-04"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now);
        const TradingDay day = TradingDayAt(At(c.now));
        EXPECT_EQ(FormatDay(day.sessionDay), c.session);
        EXPECT_EQ(FormatDay(PublishedDay(day)), c.published);
    }
}

TEST(MarketClock, SessionMinutesHoldOverLunchAndAfterTheClose) {
    const int tuesday = Day("2026-12-08");
    const struct {
        const char* now;
        int minute;
    } cases[] = {
        {"2026-12-08 09:30", 0},   {"2026-12-08 10:00", 30},  {"2026-12-08 11:29", 119},
        {"2026-12-08 11:30", 120}, {"2026-12-08 12:15", 120}, {"2026-12-08 13:00", 120},
        {"2026-12-08 13:01", 121}, {"2026-12-08 14:59", 239}, {"2026-12-08 15:00", 240},
        {"2026-12-08 22:00", 240}, {"2026-12-09 09:00", 240}, {"2026-12-07 14:00", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SessionMinute(At(c.now), tuesday), c.minute) << c.now;
    }
}

TEST(MarketClock, ReadsChinaTimeAndRefusesTwoClocks) {
    const std::optional<ChinaTime> time = ParseChinaTime("2026-12-08 09:05");
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(time->day, Day("2026-12-08"));
    EXPECT_EQ(time->minute, 9 * 60 + 5);
    EXPECT_EQ(FormatChinaTime(*time), "2026-12-08 09:05");
    for (const char* bad :
         {"2026-12-08 24:00", "2026-12-08 10:60", "2026-12-08 9:30", "2026-12-08T09:30",
          "2026-02-30 10:00", "2026-12-08", "", "2026-12-08 09:30 "}) {
        EXPECT_FALSE(ParseChinaTime(bad).has_value()) << bad;
    }
    const struct {
        const char* name;
        std::vector<std::string> args;
        CommandLineResult result;
    } cases[] = {
        {"now", {"--now", "2026-12-08 10:00"}, CommandLineResult::Run},
        {"now=", {"--now=2026-12-08 20:00"}, CommandLineResult::Run},
        {"now without minutes", {"--now", "2026-12-08"}, CommandLineResult::Error},
        {"now and date",
         {"--date", "2026-12-08", "--now", "2026-12-08 10:00"},
         CommandLineResult::Error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PortalOptions options;
        std::string error;
        EXPECT_EQ(ParseCommandLine(c.args, options, error), c.result);
        EXPECT_EQ(error.empty(), c.result == CommandLineResult::Run) << error;
    }
    PortalOptions options;
    std::string error;
    ASSERT_EQ(ParseCommandLine({"--now", "2026-12-08 10:00"}, options, error),
              CommandLineResult::Run);
    ASSERT_TRUE(options.now.has_value());
    EXPECT_EQ(*options.now, At("2026-12-08 10:00"));
}

// The quote answer for every stock the market quotes, as the holdings worker asks for it.
Text QuoteAnswer(const DemoPortal& portal) {
    std::string ids;
    for (const Stock& s : portal.universe().Stocks()) {
        ids += s.SecId() + ",";
    }
    return WebRequest(portal.BaseUrl() +
                      "/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb=cb&ut=x"
                      "&secids=" +
                      ids + "&_=1");
}

std::unique_ptr<DemoPortal> PortalAt(const char* now) {
    PortalOptions options;
    options.now = At(now);
    auto portal = std::make_unique<DemoPortal>(options);
    EXPECT_TRUE(portal->Start());
    return portal;
}

TEST(SessionQuotes, MoveThroughTheSessionAndStandStillOutsideIt) {
    const Universe& u = MarketAt("2026-12-08 10:00");
    const int tuesday = Day("2026-12-08");
    auto changes = [&](const char* now) {
        std::vector<double> list;
        for (std::size_t s = 0; s < u.Stocks().size(); ++s) {
            list.push_back(
                u.QuoteAt(static_cast<int>(s), SessionMinute(At(now), tuesday)).changePct);
        }
        return list;
    };
    const std::vector<double> ten = changes("2026-12-08 10:00");
    const std::vector<double> tenOne = changes("2026-12-08 10:01");
    std::size_t moved = 0;
    for (std::size_t s = 0; s < ten.size(); ++s) {
        moved += ten[s] != tenOne[s];
    }
    EXPECT_GT(moved, ten.size() * 6 / 10) << "a minute later most stocks stand elsewhere";
    EXPECT_EQ(changes("2026-12-08 11:30"), changes("2026-12-08 12:15")) << "lunch break";
    EXPECT_EQ(changes("2026-12-08 11:30"), changes("2026-12-08 13:00")) << "lunch break";
    EXPECT_NE(changes("2026-12-08 13:00"), changes("2026-12-08 13:05"));
    EXPECT_EQ(changes("2026-12-08 15:00"), changes("2026-12-08 19:59")) << "after the close";
    EXPECT_NE(changes("2026-12-08 14:55"), changes("2026-12-08 15:00"));
    // Within the day's price limits at every minute.
    for (std::size_t s = 0; s < u.Stocks().size(); ++s) {
        const Stock& stock = u.Stocks()[s];
        for (int minute = 0; minute <= SessionMinutes; minute += 10) {
            const Quote q = u.QuoteAt(static_cast<int>(s), minute);
            ASSERT_LE(std::abs(q.changePct), generation::PriceLimit(stock)) << stock.code;
            ASSERT_GT(q.price, 0.0) << stock.code;
        }
        EXPECT_EQ(stock.changePct, u.QuoteAt(static_cast<int>(s), SessionMinutes).changePct);
    }
}

TEST(SessionQuotes, TheSameMinuteGivesTheSameAnswerAndTheCloseHoldsUntilTheNextOpen) {
    const auto first = PortalAt("2026-12-08 10:00");
    const auto second = PortalAt("2026-12-08 10:00");
    const Text atTen = QuoteAnswer(*first);
    EXPECT_EQ(atTen, QuoteAnswer(*second)) << "two runs, one minute";
    EXPECT_NE(atTen, QuoteAnswer(*PortalAt("2026-12-08 10:01")));
    // The close stands from 15:00 through the evening and the night to the next open.
    const Text close = QuoteAnswer(*PortalAt("2026-12-08 15:00"));
    EXPECT_EQ(close, QuoteAnswer(*PortalAt("2026-12-08 21:00")));
    EXPECT_EQ(close, QuoteAnswer(*PortalAt("2026-12-09 09:29")));
    EXPECT_NE(close, QuoteAnswer(*PortalAt("2026-12-09 09:30")));
    // Suspended stocks stay suspended, delisted ones stay out.
    JsonDocument quotes;
    ASSERT_TRUE(quotes.Parse(TextBetween(Utf8ToText(atTen), "(", ");")));
    const Universe& u = first->universe();
    std::size_t quoted = 0;
    for (const Stock& s : u.Stocks()) {
        quoted += s.quoted;
    }
    ASSERT_EQ(quotes.Count("data.diff"), static_cast<int>(quoted));
    std::size_t suspended = 0;
    for (int i = 0; i < quotes.Count("data.diff"); ++i) {
        const Text at = "data.diff[" + std::to_string(i) + "].";
        const Text code = quotes.GetText(at + "f12");
        const auto stock = std::find_if(u.Stocks().begin(), u.Stocks().end(),
                                        [&](const Stock& s) { return s.code == code; });
        ASSERT_NE(stock, u.Stocks().end());
        EXPECT_EQ(quotes.GetText(at + "f3") == "-", stock->suspended) << code;
        suspended += stock->suspended;
    }
    EXPECT_GT(suspended, 0u);
}

// The change of `day`'s net value against the day before, in percent.
double DayChange(const Universe& u, const Fund& fund, const char* day) {
    const int t = u.IndexAtOrBefore(Day(day));
    return (Universe::NavAt(fund, t) / Universe::NavAt(fund, t - 1) - 1.0) * 100.0;
}

TEST(TradingDay, TopTenEstimateAtTheCloseComesCloseToThePublishedChange) {
    const Universe& u = MarketAt("2026-12-08 20:00");
    ASSERT_EQ(FormatDay(u.LastTradingDay()), "2026-12-08");
    double errorSum = 0.0;
    int funds = 0;
    int far = 0;
    for (const Fund& f : u.Funds()) {
        if (!HoldsShares(f.type) || f.holdings.size() < 10 || !HasValue(f.returns.day)) {
            continue;
        }
        // As the watchlist estimates: the quoted, traded top ten at the close.
        double weights = 0.0, weighted = 0.0;
        for (const Holding& h : f.holdings) {
            const Stock& s = u.Stocks()[static_cast<std::size_t>(h.stock)];
            if (s.quoted && !s.suspended) {
                weights += h.weightPct;
                weighted += h.weightPct * u.QuoteAt(h.stock, SessionMinutes).changePct;
            }
        }
        const double error = std::abs(weighted / weights - f.returns.day);
        errorSum += error;
        far += error > 1.0;
        ++funds;
    }
    ASSERT_GT(funds, 1000);
    const double meanError = errorSum / funds;
    EXPECT_LT(meanError, 0.4) << "within a few tenths";
    EXPECT_GT(meanError, 0.05) << "an estimate, not the net value itself";
    EXPECT_LT(far, funds / 20) << "errors above one percent";
}

TEST(TradingDay, ADaysChangeStaysTheSameInTheNextDaysMarkets) {
    // Tuesday's change as published on Tuesday evening, and as the market of the next days
    // shows it: Wednesday morning still publishes it, Wednesday's session comes with a new
    // market. A QDII fund's change of Tuesday comes out on Wednesday evening.
    const Universe& tuesday = MarketAt("2026-12-08 20:00");
    const Universe& wednesday = MarketAt("2026-12-09 10:00");
    const Universe& thursday = MarketAt("2026-12-10 10:00");
    int compared = 0;
    for (const Fund& f : tuesday.Funds()) {
        const Fund* later = wednesday.FindFund(f.code);
        const Fund* latest = thursday.FindFund(f.code);
        ASSERT_NE(later, nullptr);
        ASSERT_NE(latest, nullptr);
        const double change = DayChange(tuesday, f, "2026-12-08");
        // The net values are rounded to four decimals from levels that differ between the
        // markets: up to two units of the fourth decimal apart, relative to the net value.
        const double rounding =
            2.0 * 1e-4 * 100.0 / Universe::NavAt(f, tuesday.LastIndex() - 1) + 1e-9;
        ASSERT_NEAR(DayChange(wednesday, *later, "2026-12-08"), change, rounding) << f.code;
        ASSERT_NEAR(DayChange(thursday, *latest, "2026-12-08"), change, rounding) << f.code;
        ++compared;
    }
    EXPECT_EQ(compared, Universe::FundCount);
    // What the main page shows on Wednesday morning is Tuesday's change.
    const Fund& some = wednesday.Funds()[5];
    ASSERT_NE(some.type, FundType::Qdii);
    EXPECT_EQ(FormatDay(wednesday.LatestDay(some)), "2026-12-08");
    EXPECT_NEAR(some.returns.day, DayChange(tuesday, tuesday.Funds()[5], "2026-12-08"), 0.03);
}

TEST(FundTypes, BondFundsHoldNoStocksAndMoveLittle) {
    const Universe& u = MarketAt("2026-12-08 20:00");
    int bonds = 0;
    for (const Universe* market : {&Market(), &u}) {
        for (const Fund& f : market->Funds()) {
            if (f.type != FundType::Bond) {
                continue;
            }
            ++bonds;
            ASSERT_TRUE(f.holdings.empty()) << f.code;
            for (const auto& quarter : f.earlierHoldings) {
                ASSERT_TRUE(quarter.empty()) << f.code;
            }
            if (market == &u && HasValue(f.returns.day)) {
                EXPECT_LT(std::abs(f.returns.day), 0.2) << f.code;
            }
        }
    }
    EXPECT_GT(bonds, 500);
    // The archive as the holdings worker cuts it: no rows, an empty stock list, and the boxes of
    // the earlier quarters as for any fund without shares.
    const auto bond = std::find_if(Market().Funds().begin(), Market().Funds().end(), [](auto& f) {
        return f.type == FundType::Bond && !f.earlierHoldings.empty();
    });
    ASSERT_NE(bond, Market().Funds().end());
    const Text answer = WebRequest(Url("/FundArchivesDatas.aspx?type=jjcc&code=" + bond->code +
                                       "&topline=10&year=&month=&rt=1"));
    EXPECT_NE(answer.find("<div class='hide' id='gpdmList'></div>"), Text::npos);
    EXPECT_EQ(answer.find("<tr><td>"), Text::npos);
    const ArchiveHoldings archive = CutHoldings(answer);
    EXPECT_TRUE(archive.stockIds.empty());
    EXPECT_TRUE(archive.rows.empty());
}

// A portal on a clock the test moves.
struct MovingClock {
    std::atomic<int> day{0};
    std::atomic<int> minute{0};
    void Set(const char* now) {
        const ChinaTime time = At(now);
        day = time.day;
        minute = time.minute;
    }
};

MainPageFigures MainPage(const DemoPortal& portal, const Text& code) {
    return CutMainPage(WebRequest(portal.BaseUrl() + "/" + code + ".html"));
}

TEST(TradingDay, NetValuesComeOutAtEightWhileThePortalRuns) {
    MovingClock clock;
    clock.Set("2026-12-08 19:59");
    PortalOptions options;
    options.clock = [&clock] { return ChinaTime{clock.day, clock.minute}; };
    DemoPortal portal(options);
    ASSERT_TRUE(portal.Start());
    // Codes, not funds: a market two changes back is gone.
    const auto& funds = portal.universe().Funds();
    const Text equity =
        std::find_if(funds.begin(), funds.end(), [](auto& f) { return HoldsShares(f.type); })->code;
    const Text qdii = std::find_if(funds.begin(), funds.end(), [](auto& f) {
                          return f.type == FundType::Qdii;
                      })->code;
    const struct {
        const char* now;
        const char* equity;
        const char* qdii; // a day behind: its markets close after the publication
    } cases[] = {
        {"2026-12-08 19:59", "2026-12-07", "2026-12-04"},
        {"2026-12-08 20:00", "2026-12-08", "2026-12-07"},
        {"2026-12-09 10:00", "2026-12-08", "2026-12-07"},
        {"2026-12-09 20:00", "2026-12-09", "2026-12-08"},
        {"2026-12-12 12:00", "2026-12-11", "2026-12-10"}, // Saturday
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now);
        clock.Set(c.now);
        EXPECT_EQ(MainPage(portal, equity).date, c.equity);
        EXPECT_EQ(MainPage(portal, qdii).date, c.qdii);
        EXPECT_EQ(FormatDay(portal.universe().LastTradingDay()), c.equity);
        // The ranking's records carry the same days.
        const Text ranking = Utf8ToText(WebRequest(
            portal.BaseUrl() + "/data/FundGuideapi.aspx?dt=4&sd=&ed=&sc=r&st=desc&pi=1&pn=200"));
        JsonDocument document;
        ASSERT_TRUE(document.Parse(TextAfterLast(ranking, "var rankData =")));
        ASSERT_EQ(document.Count("datas"), 200);
        for (int i = 0; i < 200; ++i) {
            const Text record = document.GetText("datas[" + std::to_string(i) + "]");
            const bool overseas = record.find("QDII") != Text::npos;
            ASSERT_NE(record.find("," + Text(overseas ? c.qdii : c.equity) + ","), Text::npos)
                << record;
        }
    }
}

// The compare answer's points: each one's members in order (the date first).
std::vector<std::vector<std::pair<Text, Text>>> ComparePoints(const Text& answer) {
    JsonDocument outer;
    std::vector<std::vector<std::pair<Text, Text>>> points;
    if (!outer.Parse(TextBetween(answer, "(", ");"))) {
        return points;
    }
    JsonDocument data;
    if (!data.Parse(outer.GetText("Datas"))) {
        return points;
    }
    for (int i = 0; i < data.Count("dataProvider"); ++i) {
        const Text at = "dataProvider[" + std::to_string(i) + "]";
        std::vector<Text> keys;
        data.Keys(at, keys);
        std::vector<std::pair<Text, Text>> members;
        for (const Text& key : keys) {
            members.emplace_back(key, data.GetText(at + "['" + key + "']"));
        }
        points.push_back(std::move(members));
    }
    return points;
}

Text CompareAnswer(const DemoPortal& portal, const std::vector<Text>& codes) {
    Text joined;
    for (const Text& code : codes) {
        joined += (joined.empty() ? "" : ",") + code;
    }
    WebCall call =
        Call(portal.BaseUrl() + "/FundCompare/LJSYL?bzdm=" + joined + "&c=month&callback=cb&_=1",
             "Referer: " + portal.BaseUrl() + "/compare/");
    return Utf8ToText(WebRequest(call));
}

TEST(CompareEndpoint, EightFundsInTheOrderAskedAndUnknownCodesLeftOut) {
    std::vector<Text> eight;
    for (std::size_t i = 2900; eight.size() < 8; i -= 311) {
        eight.push_back(Market().Funds()[i].code); // not in code order
    }
    const auto points = ComparePoints(CompareAnswer(Portal(), eight));
    const int base = Market().PeriodStartIndex(Period::Month);
    ASSERT_EQ(points.size(), static_cast<std::size_t>(Market().LastIndex() - base + 1));
    for (const auto& point : points) {
        ASSERT_EQ(point.size(), 9u);
        EXPECT_EQ(point[0].first, "date");
        for (std::size_t k = 0; k < eight.size(); ++k) {
            EXPECT_EQ(point[k + 1].first, eight[k]);
        }
    }
    for (std::size_t k = 0; k < eight.size(); ++k) {
        const Fund& f = *Market().FindFund(eight[k]);
        const double expected = (Universe::NavAt(f, Market().LastIndex()) /
                                     Universe::NavAt(f, std::max(base, f.firstIndex)) -
                                 1.0) *
                                100.0;
        EXPECT_NEAR(TextToNumber(points.back()[k + 1].second), expected, 0.006) << eight[k];
    }
    // Unknown codes, and a code asked for twice, leave the others as they were.
    std::vector<Text> mixed = eight;
    mixed.insert(mixed.begin() + 3, "999999");
    mixed.insert(mixed.begin(), "abc");
    mixed.push_back(eight[1]);
    EXPECT_EQ(ComparePoints(CompareAnswer(Portal(), mixed)), points);
}

TEST(CompareEndpoint, AQdiiFundKeepsItsLatestReturnAtTheLastPoint) {
    const auto portal = PortalAt("2026-12-08 20:00");
    const Universe& u = portal->universe();
    const auto qdii = std::find_if(u.Funds().begin(), u.Funds().end(), [](const Fund& f) {
        return f.type == FundType::Qdii && f.firstIndex == 0;
    });
    const auto equity = std::find_if(u.Funds().begin(), u.Funds().end(), [](const Fund& f) {
        return HoldsShares(f.type) && f.firstIndex == 0;
    });
    ASSERT_NE(qdii, u.Funds().end());
    ASSERT_NE(equity, u.Funds().end());
    const auto points = ComparePoints(CompareAnswer(*portal, {equity->code, qdii->code}));
    ASSERT_GE(points.size(), 3u);
    EXPECT_EQ(points.back()[0].second, "2026/12/08");
    EXPECT_EQ(points.back()[2].second, points[points.size() - 2][2].second);
    EXPECT_NE(points.back()[1].second, points[points.size() - 2][1].second);
}

} // namespace
} // namespace fundlens::demo::test
