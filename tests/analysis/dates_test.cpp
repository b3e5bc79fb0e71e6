#include "analysis/dates.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(ReadDay, ReadsBothShapesAndRejectsEveryOther) {
    const struct {
        const char* name;
        const char* text;
        std::optional<int> day;
    } cases[] = {
        {"epoch", "1970-01-01", 0},
        {"slashes", "1970/01/02", 1},
        {"before the epoch", "1969-12-31", -1},
        {"leap day of a leap year", "2024-02-29", 19782},
        {"leap day of a century divisible by 400", "2000-02-29", 11016},
        {"no leap day in 2023", "2023-02-29", std::nullopt},
        {"no leap day in 1900", "1900-02-29", std::nullopt},
        {"february 30", "2024-02-30", std::nullopt},
        {"april 31", "2024-04-31", std::nullopt},
        {"month 13", "2024-13-01", std::nullopt},
        {"month 0", "2024-00-10", std::nullopt},
        {"day 0", "2024-01-00", std::nullopt},
        {"mixed separators", "2024-01/05", std::nullopt},
        {"other separator", "2024.01.05", std::nullopt},
        {"not zero-padded", "2024-1-5", std::nullopt},
        {"time after it", "2024-01-05 10:00", std::nullopt},
        {"letters", "2024-0a-05", std::nullopt},
        {"sign inside", "2024-+1-05", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadDay(c.text), c.day);
    }
}

TEST(DaysBetween, CountsCalendarDaysAcrossLeapYears) {
    // 2020 is a leap year: 366 + 365 + 365 + 365.
    EXPECT_EQ(DaysBetween("2020-01-01", "2024/01/01"), 1461);
    EXPECT_EQ(DaysBetween("2024-03-01", "2024-02-28"), -2);
    EXPECT_EQ(DaysBetween("2024-03-01", "2024-03-01"), 0);
    EXPECT_EQ(DaysBetween("2024-03-01", "2024-03-32"), std::nullopt);
    EXPECT_EQ(DaysBetween("", "2024-03-01"), std::nullopt);
}

TEST(DayText, WritesTheDateADayNumberReadsFrom) {
    for (const char* date : {"1970-01-01", "1969-12-31", "2000-02-29", "2024-12-31"}) {
        const std::optional<int> day = ReadDay(date);
        ASSERT_TRUE(day) << date;
        EXPECT_EQ(DayText(*day), date);
    }
}

TEST(WeekdayOf, NamesTheDayOfTheWeek) {
    const struct {
        const char* date;
        Weekday weekday;
    } cases[] = {
        {"1970-01-01", Weekday::Thursday}, {"1969-12-28", Weekday::Sunday},
        {"2024-03-15", Weekday::Friday},   {"2024-03-16", Weekday::Saturday},
        {"2024-03-17", Weekday::Sunday},   {"2024-03-18", Weekday::Monday},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(WeekdayOf(*ReadDay(c.date)), c.weekday);
    }
    EXPECT_TRUE(IsWeekend(*ReadDay("2024-03-16")));
    EXPECT_FALSE(IsWeekend(*ReadDay("2024-03-15")));
}

} // namespace
} // namespace fundlens
