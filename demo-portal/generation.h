// Pieces shared by the generators of the market (universe.cpp, stock_generation.cpp,
// fund_generation.cpp, sector_generation.cpp, session_generation.cpp).
#pragma once

#include "demo-portal/universe.h"
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
    DayMoveStream, // the clock's days after the histories
    SessionPathStream,
    FundDayStream,
    EquityShareStream,
};

inline constexpr int TradingDaysPerYear = 250;
inline constexpr double HongKongMarketBeta = 0.5; // of the mainland market's move

// The largest change in percent a stock's price may make in a day.
inline double PriceLimit(const Stock& s) {
    if (s.InHongKong()) {
        return 60.0;
    }
    const bool wideLimit =
        s.code.starts_with("688") || s.code.starts_with("689") || s.code.starts_with("300");
    return wideLimit ? 20.0 : 10.0;
}

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
