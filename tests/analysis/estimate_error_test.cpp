#include "analysis/dates.h"
#include "analysis/estimate_error.h"
#include "expect_figure.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

// One record a day from 2024-03-01 on with the given absolute errors (estimate = confirmed +
// error, confirmed 1.0).
std::vector<EstimateRecord> Days(const std::vector<double>& errors) {
    std::vector<EstimateRecord> records;
    const int first = *ReadDay("2024-03-01");
    for (std::size_t k = 0; k < errors.size(); ++k)
        records.push_back(
            {"000001", DayText(first + static_cast<int>(k)), 1.0 + errors[k], 90.0, 1.0});
    return records;
}

TEST(MedianAbsoluteError, HandWorkedCases) {
    std::vector<double> twentyFive;
    // 25 days: the five oldest errors are 9, the latest twenty 0.1 ... 2.0.
    for (int k = 0; k < 5; ++k)
        twentyFive.push_back(9);
    for (int k = 1; k <= 20; ++k)
        twentyFive.push_back(0.1 * k);
    const struct {
        const char* name;
        std::vector<double> errors;
        std::optional<double> median;
    } cases[] = {
        {"four days are too few", {0.1, 0.2, 0.3, 0.4}, std::nullopt},
        {"five days, odd count", {0.5, 0.1, 0.3, 0.2, 0.4}, 0.3},
        // sorted 0.1 0.2 0.3 0.4 0.5 0.9: (0.3 + 0.4) / 2
        {"six days, even count", {0.9, 0.1, 0.3, 0.2, 0.4, 0.5}, 0.35},
        // 0.1 ... 2.0: the middle pair is 1.0 and 1.1
        {"only the latest twenty days", twentyFive, 1.05},
        {"no days", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFigure(MedianAbsoluteError(Days(c.errors)), c.median, "median");
    }
}

TEST(MedianAbsoluteError, CountsOnlyDaysWithBothFiguresAndTakesTheirSign) {
    std::vector<EstimateRecord> records = Days({-0.5, 0.1, -0.3, 0.2, 0.4});
    // Estimates below the confirmed change count by their distance: 0.1 0.2 0.3 0.4 0.5.
    ExpectFigure(MedianAbsoluteError(records), 0.3, "signs");
    // A day without its confirmed change and one with an unreadable date: not days of the
    // twenty, so four days remain.
    records[0].confirmedPct.reset();
    records.push_back({"000001", "2024-13-01", 5.0, 90.0, 1.0});
    ExpectFigure(MedianAbsoluteError(records), std::nullopt, "four days left");
    // Out of order in the list: the latest days by date count, not the last records.
    std::vector<EstimateRecord> shuffled =
        Days({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1,
              1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 5.0});
    std::swap(shuffled.front(), shuffled.back());
    // The oldest day (0.1) drops out: 0.2 ... 2.0 and 5.0, the middle pair 1.1 and 1.2.
    ExpectFigure(MedianAbsoluteError(shuffled), 1.15, "by date");
}

} // namespace
} // namespace fundlens
