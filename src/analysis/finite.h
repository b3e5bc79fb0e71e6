// The one guard every figure of this folder passes: NaN and infinity become an absent figure.
#pragma once

#include <cmath>
#include <optional>

namespace fundlens {

inline std::optional<double> Finite(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

inline std::optional<double> Finite(std::optional<double> value) {
    return value ? Finite(*value) : std::nullopt;
}

// A spread (a standard deviation of returns as fractions) at or below this is no spread: what is
// left of a constant series after rounding, never a fund's real movement.
inline constexpr double ZeroSpread = 1e-10;

} // namespace fundlens
