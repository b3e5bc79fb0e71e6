// A figure's number: what the estimate, the overlap and the positions compute with.
#include "portal/figures.h"

#include <cmath>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(FigureNumber, ReadsFigureTextsAndNothingElse) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"9.83%", 9.83},
        {"9.83", 9.83},
        {"-1.23", -1.23},
        {"+2.5", 2.5},
        {" 4.1 % ", 4.1},
        {"0", 0},
        {"12", 12},
        {"<b>9.83%</b>", 9.83},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"--", std::nullopt},
        {"---", std::nullopt},
        {"%", std::nullopt},
        {"1.", std::nullopt},
        {".5", std::nullopt},
        {"1e3", std::nullopt},
        {"1,5", std::nullopt},
        {"9.83%%", std::nullopt},
        {"abc", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"+-1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FigureNumber(c.text), c.value);
    }
}

TEST(FixedText, DecimalsHalvesAwayNoNegativeZeroAndNoNonFinite) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } fixed[] = {
        {1234.5, 2, "1234.50"},
        {-0.004, 2, "0.00"},
        {-0.005, 2, "-0.01"},
        {2.0 / 3, 4, "0.6667"},
        {1e20, 2, "100000000000000000000.00"},
        {std::nan(""), 2, "--"},
        {-INFINITY, 2, "--"},
    };
    for (const auto& c : fixed)
        EXPECT_EQ(FixedText(c.value, c.decimals), c.text) << c.value;
}

} // namespace
} // namespace fundlens
