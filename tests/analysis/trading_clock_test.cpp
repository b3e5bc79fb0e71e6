#include "analysis/dates.h"
#include "analysis/trading_clock.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

// 2024-03-15 is a Friday, 2024-03-16 a Saturday, 2024-03-18 a Monday.
TEST(TradingClock, SessionAndPhaseAtTheBoundaries) {
    const char* yesterday = "2024-03-14";
    const struct {
        const char* now;
        const char* navDate;
        bool open;
        FundPhase phase;
    } cases[] = {
        {"2024-03-15 09:29", yesterday, false, FundPhase::Confirmed},
        {"2024-03-15 09:30", yesterday, true, FundPhase::Estimate},
        {"2024-03-15 11:29", yesterday, true, FundPhase::Estimate},
        {"2024-03-15 11:30", yesterday, false, FundPhase::Estimate}, // lunch break
        {"2024-03-15 12:59", yesterday, false, FundPhase::Estimate},
        {"2024-03-15 13:00", yesterday, true, FundPhase::Estimate},
        {"2024-03-15 14:59", yesterday, true, FundPhase::Estimate},
        {"2024-03-15 15:00", yesterday, false, FundPhase::Closing},
        {"2024-03-15 23:59", yesterday, false, FundPhase::Closing},
        {"2024-03-15 00:00", yesterday, false, FundPhase::Confirmed},
        // The day's NAV is out: confirmed, session or not.
        {"2024-03-15 14:00", "2024-03-15", true, FundPhase::Confirmed},
        {"2024-03-15 20:00", "2024-03-15", false, FundPhase::Confirmed},
        {"2024-03-15 20:00", "2024/03/15", false, FundPhase::Confirmed},
        // A page ahead of the clock is as good as today's.
        {"2024-03-15 10:00", "2024-03-18", true, FundPhase::Confirmed},
        {"2024-03-15 10:00", "", true, FundPhase::Estimate},
        {"2024-03-16 10:00", "2024-03-15", false, FundPhase::Confirmed}, // Saturday
        {"2024-03-17 16:00", "2024-03-15", false, FundPhase::Confirmed}, // Sunday
        {"2024-03-18 09:30", "2024-03-15", true, FundPhase::Estimate},   // Monday
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.now) + " NAV of " + c.navDate);
        const std::optional<ChinaTime> now = ReadChinaTime(c.now);
        ASSERT_TRUE(now);
        EXPECT_EQ(IsSessionOpen(*now), c.open);
        EXPECT_EQ(PhaseOf(*now, c.navDate), c.phase);
    }
}

TEST(ChinaTimeOf, IsEightHoursAheadOfUtc) {
    using namespace std::chrono;
    const struct {
        const char* name;
        system_clock::time_point utc;
        const char* china; // "YYYY-MM-DD HH:MM"
    } cases[] = {
        {"the epoch", system_clock::time_point{}, "1970-01-01 08:00"},
        {"the day turns at 16:00 UTC", system_clock::time_point{hours(16)}, "1970-01-02 00:00"},
        {"seconds are dropped", system_clock::time_point{hours(1) + seconds(59)},
         "1970-01-01 09:00"},
        {"before the epoch", system_clock::time_point{-seconds(1)}, "1970-01-01 07:59"},
        {"long before", system_clock::time_point{-hours(9)}, "1969-12-31 23:00"},
        {"a trading morning", sys_days{2024y / 3 / 15} + hours(1) + minutes(30),
         "2024-03-15 09:30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ChinaTime t = ChinaTimeOf(c.utc);
        const std::optional<ChinaTime> expected = ReadChinaTime(c.china);
        ASSERT_TRUE(expected);
        EXPECT_EQ(t.day, expected->day);
        EXPECT_EQ(t.minute, expected->minute);
    }
}

TEST(ReadChinaTime, ReadsTheFixedClockAndNothingMalformed) {
    const std::optional<ChinaTime> t = ReadChinaTime("2024-03-15 14:59");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->day, *ReadDay("2024-03-15"));
    EXPECT_EQ(t->minute, 14 * 60 + 59);
    for (const char* bad : {"2024-03-15 24:00", "2024-03-15 12:60", "2024-03-15 9:30",
                            "2024-03-15T09:30", "2024-02-30 10:00", "2024-03-15", "",
                            "2024-03-15 09:30:00", "2024-03-15  09:30", "2024-03-15 0a:30"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ReadChinaTime(bad));
    }
}

TEST(TradingClock, CaptionsAndTradeDate) {
    EXPECT_EQ(PhaseCaption(FundPhase::Estimate), "估算"_gbk);
    EXPECT_EQ(PhaseCaption(FundPhase::Closing), "估算(收盘)"_gbk);
    EXPECT_EQ(PhaseCaption(FundPhase::Confirmed), "已确认"_gbk);
    EXPECT_EQ(TradeDateOf(*ReadChinaTime("2024/03/15 10:00")), "2024-03-15");
}

} // namespace
} // namespace fundlens
