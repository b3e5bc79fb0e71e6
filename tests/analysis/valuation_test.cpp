#include "analysis/valuation.h"
#include "expect_figure.h"

#include <cmath>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

const std::optional<double> none;

TEST(EstimatedNav, PreviousNavMovedByTheEstimate) {
    const struct {
        const char* name;
        std::optional<double> previousNav, estimatePct, nav;
    } cases[] = {
        {"a rise", 1.2, 2.5, 1.23},  // 1.2 * 1.025
        {"a fall", 2.0, -1.5, 1.97}, // 2.0 * 0.985
        {"no estimate", 1.2, none, none},
        {"no previous NAV", none, 2.5, none},
        {"a previous NAV of 0", 0.0, 2.5, none},
        {"a fall of all", 1.2, -100.0, none},
        {"a NaN estimate", 1.2, NAN, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFigure(EstimatedNav(c.previousNav, c.estimatePct), c.nav, "NAV");
    }
}

TEST(ConfirmedNavToday, ThePreviousNavComesFromTheDailyChange) {
    const NavToday today = ConfirmedNavToday(1.23, 2.5);
    ExpectFigure(today.previousNav, 1.2, "1.23 / 1.025");
    ExpectFigure(ConfirmedNavToday(1.23, none).previousNav, none, "no change");
    ExpectFigure(ConfirmedNavToday(1.23, -100.0).previousNav, none, "a fall of all");
}

TEST(ValuePosition, HandWorkedRows) {
    const Position held{1000, 1100};
    const struct {
        const char* name;
        Position position;
        NavToday today;
        std::optional<double> value, todayGain, holdingGain, rate;
    } cases[] = {
        // Estimated NAV 1.23: value 1230; today 1000 * 1.2 * 2.5% = 30; gain 1230 - 1100 = 130
        // at 130 / 1100.
        {"in the session", held, EstimatedNavToday(1.2, 2.5), 1230, 30, 130, 130.0 / 1100},
        // The same day confirmed: NAV 1.23 up 2.5%, so the previous NAV was 1.2 again.
        {"confirmed", held, ConfirmedNavToday(1.23, 2.5), 1230, 30, 130, 130.0 / 1100},
        {"no estimate yet", held, EstimatedNavToday(1.2, none), none, none, none, none},
        {"a NAV without its change", held, ConfirmedNavToday(1.23, none), 1230, none, 130,
         130.0 / 1100},
        {"nothing known", held, NavToday{}, none, none, none, none},
        // A fund sold off is worth 0 whatever its page says; no cost, no rate.
        {"no shares", Position{}, NavToday{}, 0, 0, 0, none},
        {"no cost", Position{1000, 0}, ConfirmedNavToday(1.23, 2.5), 1230, 30, 1230, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PositionFigures f = ValuePosition(c.position, c.today);
        EXPECT_EQ(f.cost, c.position.cost);
        ExpectFigure(f.marketValue, c.value, "market value");
        ExpectFigure(f.todayGain, c.todayGain, "today's gain");
        ExpectFigure(f.holdingGain, c.holdingGain, "holding gain");
        ExpectFigure(f.returnRate, c.rate, "收益率");
    }
}

TEST(TotalOf, SumsTheRowsAndIsAbsentWhereARowIs) {
    const PositionFigures a{1100, 1230, 30, 130, 130.0 / 1100};
    const PositionFigures b{600, 500, -10, -100, -100.0 / 600};
    const PositionFigures unknown{400, none, none, none, none};
    const PositionFigures soldOff{0, 0, 0, 0, none};

    // 1230 + 500 = 1730 against 1100 + 600 = 1700: gain 30, rate 30 / 1700.
    const PositionTotals both = TotalOf({a, b, soldOff});
    EXPECT_DOUBLE_EQ(both.cost, 1700);
    ExpectFigure(both.marketValue, 1730, "market value");
    ExpectFigure(both.todayGain, 20, "today's gain");
    ExpectFigure(both.holdingGain, 30, "holding gain");
    ExpectFigure(both.returnRate, 30.0 / 1700, "收益率");

    const PositionTotals partial = TotalOf({a, unknown});
    EXPECT_DOUBLE_EQ(partial.cost, 1500);
    ExpectFigure(partial.marketValue, none, "market value");
    ExpectFigure(partial.todayGain, none, "today's gain");
    ExpectFigure(partial.holdingGain, none, "holding gain");
    ExpectFigure(partial.returnRate, none, "收益率");

    const PositionTotals empty = TotalOf({});
    ExpectFigure(empty.marketValue, 0, "market value");
    ExpectFigure(empty.returnRate, none, "no cost");
}

} // namespace
} // namespace fundlens
