// The generated market: calendar arithmetic, the shape of the universe, and its figures
// against its own histories.
#include "demo-portal/calendar.h"
#include "demo-portal/generation.h"
#include "demo-portal/ranking.h"
#include "portal/sector_table.h"
#include "portal_test_support.h"

#include <gtest/gtest.h>
#include <set>

namespace fundlens::demo::test {
namespace {

using generation::HoldsStocks;

TEST(Calendar, MonthsClampYearsTurnAndQuartersEnd) {
    const struct {
        const char* name;
        int day;
        int months;
        const char* expected;
    } shifts[] = {
        {"end of March back to February", DayNumber(2026, 3, 31), -1, "2026-02-28"},
        {"leap February", DayNumber(2024, 3, 30), -1, "2024-02-29"},
        {"over the new year", DayNumber(2026, 1, 15), -2, "2025-11-15"},
        {"three years back", DayNumber(2026, 12, 8), -36, "2023-12-08"},
        {"forward", DayNumber(2026, 11, 30), 3, "2027-02-28"},
    };
    for (const auto& s : shifts) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(FormatDay(AddMonths(s.day, s.months)), s.expected);
    }
    const struct {
        const char* day;
        const char* quarterEnd;
    } quarters[] = {
        {"2026-12-08", "2026-09-30"}, {"2026-09-30", "2026-09-30"}, {"2026-10-01", "2026-09-30"},
        {"2026-01-05", "2025-12-31"}, {"2026-04-01", "2026-03-31"},
    };
    for (const auto& q : quarters) {
        EXPECT_EQ(FormatDay(LastQuarterEnd(*ParseDay(q.day))), q.quarterEnd) << q.day;
    }
    for (const char* bad :
         {"2026-02-30", "2026-13-01", "2026-1-01", "26-01-01", "2026/01/01", "", "2026-01-01x"}) {
        EXPECT_FALSE(ParseDay(bad).has_value()) << bad;
    }
    EXPECT_EQ(Weekday(DayNumber(2026, 12, 8)), 2); // a Tuesday
    EXPECT_EQ(FormatDay(DayNumber(2026, 12, 8), '/'), "2026/12/08");
}

TEST(Universe, HasTheListsThePortalPromises) {
    const Universe& u = Market();
    ASSERT_EQ(u.Funds().size(), static_cast<std::size_t>(Universe::FundCount));
    std::set<std::string> codes;
    std::set<std::string> names;
    for (const Fund& f : u.Funds()) {
        EXPECT_TRUE(IsFundCode(f.code)) << f.code;
        EXPECT_TRUE(f.code >= "000001" && f.code <= "019999") << f.code;
        codes.insert(f.code);
        names.insert(f.name);
        EXPECT_EQ(f.name.find(','), std::string::npos);
        EXPECT_FALSE(f.abbreviation.empty());
        EXPECT_GE(f.managements.front().managers.size(), 1u);
        EXPECT_LE(f.managements.front().managers.size(), 3u);
        EXPECT_LE(f.holdings.size(), 10u);
    }
    EXPECT_EQ(codes.size(), u.Funds().size());
    EXPECT_EQ(names.size(), u.Funds().size());
    EXPECT_TRUE(std::is_sorted(u.Funds().begin(), u.Funds().end(),
                               [](const Fund& a, const Fund& b) { return a.code < b.code; }));

    // Last trading day: the last weekday at or before the given date; three years and more.
    EXPECT_EQ(FormatDay(u.LastTradingDay()), MarketDay);
    EXPECT_LE(u.TradingDays().front(), AddMonths(u.LastTradingDay(), -36));
    for (int day : u.TradingDays()) {
        ASSERT_TRUE(IsWeekday(day));
    }

    std::size_t largest = 0;
    bool empty = false;
    bool onePage = false;
    std::set<int> sectorCodes;
    for (const Sector& s : SectorTable()) {
        const std::size_t size = u.SectorMembers(s.code).size();
        largest = std::max(largest, size);
        empty = empty || size == 0;
        onePage = onePage || size == 20;
        sectorCodes.insert(s.code);
    }
    EXPECT_EQ(sectorCodes.size(), 107u) << "823 names one sector";
    EXPECT_TRUE(empty);
    EXPECT_TRUE(onePage);
    EXPECT_LE(largest, 150u);
    EXPECT_GE(largest, 100u);
    EXPECT_TRUE(u.SectorMembers(0).empty());
    EXPECT_TRUE(u.SectorMembers(999).empty());
}

TEST(Universe, FiguresFollowFromTheHistories) {
    const Universe& u = Market();
    const int last = u.LastIndex();
    int young = 0;
    int withoutHoldings = 0;
    for (const Fund& f : u.Funds()) {
        const double nav = Universe::NavAt(f, last);
        for (int p = 0; p < PeriodCount; ++p) {
            const int start = u.PeriodStartIndex(static_cast<Period>(p));
            const double value = f.returns.period[static_cast<std::size_t>(p)];
            if (start < f.firstIndex) {
                ASSERT_FALSE(HasValue(value)) << f.code << " period " << p;
            } else {
                ASSERT_NEAR(value, (nav / Universe::NavAt(f, start) - 1.0) * 100.0, 0.006)
                    << f.code << " period " << p;
            }
        }
        young += HasValue(f.returns[Period::ThreeYears]) ? 0 : 1;
        withoutHoldings += f.holdings.empty() ? 1 : 0;
        EXPECT_EQ(HasValue(f.risk.sharpe[2]), f.firstIndex <= last - 750) << f.code;
        for (std::size_t i = 1; i < f.holdings.size(); ++i) {
            EXPECT_GE(f.holdings[i - 1].weightPct, f.holdings[i].weightPct) << f.code;
        }
        if (f.rating > 0) {
            EXPECT_TRUE(HasValue(f.risk.sharpe[2])) << "rated without three years: " << f.code;
        }
    }
    EXPECT_GT(young, 100);
    EXPECT_GT(withoutHoldings, 100);
}

TEST(Universe, SectorsListTheFundsOfTheirTheme) {
    const Universe& u = Market();
    auto fitting = [&](const Fund& f, const std::array<Industry, 2>& industries) {
        return f.theme.Fits(industries[0]) || f.theme.Fits(industries[1]);
    };
    for (const Sector& s : SectorTable()) {
        SCOPED_TRACE(std::string(s.caption));
        const auto industries = SectorIndustries(s.code);
        const bool conceptSector = industries[0] == Industry::Broad;
        std::size_t candidates = 0;
        for (const Fund& f : u.Funds()) {
            const bool atHome =
                f.theme.listing == Listing::Mainland || f.theme.listing == Listing::Both;
            candidates += atHome && HoldsStocks(f.type) &&
                          (conceptSector ? f.theme.IsBroad() : fitting(f, industries));
        }
        const auto& members = u.SectorMembers(s.code);
        std::size_t fit = 0;
        for (int i : members) {
            const Fund& f = u.Funds()[static_cast<std::size_t>(i)];
            EXPECT_NE(f.theme.listing, Listing::HongKong) << f.name;
            fit += conceptSector ? f.theme.IsBroad() : fitting(f, industries);
        }
        EXPECT_EQ(fit, std::min(candidates, members.size())) << "fitting funds come first";
    }
    EXPECT_EQ(SectorIndustries(896)[0], Industry::Liquor) << "白酒";
    EXPECT_EQ(SectorIndustries(917)[0], Industry::Chip) << "半导体";
}

TEST(Universe, HoldingsAreStocksOfTheFundsTheme) {
    const Universe& u = Market();
    std::size_t themed = 0, inTheme = 0;
    for (const Fund& f : u.Funds()) {
        for (const Holding& h : f.holdings) {
            const Stock& s = u.Stocks()[static_cast<std::size_t>(h.stock)];
            EXPECT_NE(f.theme.listing, Listing::None) << f.name;
            if (f.theme.listing == Listing::Mainland) {
                EXPECT_FALSE(s.InHongKong()) << f.name;
            } else if (f.theme.listing == Listing::HongKong) {
                EXPECT_TRUE(s.InHongKong()) << f.name;
            }
            if (!f.theme.IsBroad()) {
                ++themed;
                inTheme += f.theme.Fits(s.industry);
            }
        }
    }
    EXPECT_GT(inTheme, themed * 8 / 10);
}

// Share of a list's funds with a figure that rose in a period.
double RisingShare(const std::vector<int>& funds, int period) {
    int rising = 0, valued = 0;
    for (int i : funds) {
        const Fund& f = Market().Funds()[static_cast<std::size_t>(i)];
        const double v =
            period < 0 ? f.returns.day : f.returns.period[static_cast<std::size_t>(period)];
        valued += HasValue(v);
        rising += HasValue(v) && v > 0;
    }
    return valued ? static_cast<double>(rising) / valued : 0.5;
}

TEST(Universe, ReturnsSpreadBothWaysWithinTheLists) {
    for (int period = -1; period < PeriodCount; ++period) {
        SCOPED_TRACE(period);
        // The five-star funds are the best over three years; over shorter periods some fall.
        if (period < static_cast<int>(Period::TwoYears)) {
            const double fiveStars = RisingShare(Market().RatedFunds(5), period);
            EXPECT_GT(fiveStars, 0.1);
            EXPECT_LT(fiveStars, 1.0);
        }
        int lists = 0, oneWay = 0;
        for (const Sector& s : SectorTable()) {
            const auto& members = Market().SectorMembers(s.code);
            if (members.size() >= 20) {
                const double share = RisingShare(members, period);
                ++lists;
                oneWay += share == 0.0 || share == 1.0;
            }
        }
        EXPECT_LE(oneWay, lists / 10) << "of " << lists << " lists";
    }
}

TEST(Universe, SameSeedAndDaySameMarket) {
    const int day = *ParseDay(MarketDay);
    const Universe a(42, day);
    const Universe b(42, day);
    const Universe c(43, day);
    const RankingIndex ra(a);
    const RankingIndex rb(b);
    const RankingIndex rc(c);
    RankRequest all;
    all.pageSize = MaxPageSize;
    EXPECT_EQ(ra.Render(all), rb.Render(all));
    EXPECT_NE(ra.Render(all), rc.Render(all));
    for (std::size_t i = 0; i < a.Funds().size(); i += 97) {
        EXPECT_EQ(ra.Record(static_cast<int>(i)), rb.Record(static_cast<int>(i)));
    }
    // A weekend date ends the market on the Friday before.
    const Universe weekend(42, *ParseDay("2026-12-06"));
    EXPECT_EQ(FormatDay(weekend.LastTradingDay()), "2026-12-04");
}

} // namespace
} // namespace fundlens::demo::test
