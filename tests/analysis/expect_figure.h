// Comparing figures that may be absent.
#pragma once

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace fundlens {

inline constexpr double FigureTolerance = 1e-9;

// Both absent, or both present, finite and within FigureTolerance.
inline void ExpectFigure(std::optional<double> actual, std::optional<double> expected,
                         const char* what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(actual.has_value(), expected.has_value());
    if (!expected)
        return;
    EXPECT_TRUE(std::isfinite(*actual));
    EXPECT_NEAR(*actual, *expected, FigureTolerance);
}

} // namespace fundlens
