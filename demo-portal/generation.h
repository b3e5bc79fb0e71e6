// Pieces shared by the generators of the market (universe.cpp, stock_generation.cpp,
// fund_generation.cpp, sector_generation.cpp).
#pragma once

#include "demo-portal/vocabulary.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace fundlens::demo::generation {

// Stream keys: one random stream per purpose.
enum : std::uint64_t {
    MarketStream = 1,
    StockStream,
    ManagerStream,
    FundStream,
    CodeStream,
    RatingStream,
    SectorStream,
    IndustryStream,
};

inline constexpr int TradingDaysPerYear = 250;

inline double Round(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

inline bool HoldsStocks(FundType type) {
    return type != FundType::Bond && type != FundType::Fof;
}

inline std::string Code6(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06d", n);
    return buffer;
}

} // namespace fundlens::demo::generation
