// The funds' stock holdings: drawn from the stocks of each fund's theme, popular stocks more
// often, with the quarters before the latest one for the archive page.
#pragma once

#include "demo-portal/universe.h"

#include <vector>

namespace fundlens::demo {

class Random;

namespace generation {

class StockPicker {
public:
    StockPicker(const std::vector<Stock>& stocks, const std::vector<double>& popularity)
        : m_stocks(stocks), m_popularity(popularity) {}

    // The holdings of a fund at the report day, largest first.
    std::vector<Holding> PickHoldings(Random& rng, FundType type, const Theme& theme,
                                      double sizeYi) const;

    // The holdings of the `quarters` quarters before, newest first: the same stocks mostly,
    // weights moved a little, now and then a stock swapped.
    std::vector<std::vector<Holding>> EarlierHoldings(Random& rng, const Theme& theme,
                                                      double sizeYi,
                                                      const std::vector<Holding>& latest,
                                                      int quarters) const;

private:
    // A stock a fund of `theme` may hold, none of `held`, popular ones more often. `ofTheme`
    // keeps to the theme's industries (the first one more often) while they have stocks left.
    // -1 when nothing is left.
    int Pick(Random& rng, const Theme& theme, bool ofTheme, const std::vector<Holding>& held) const;
    Holding Sized(int stock, double weightPct, double sizeYi) const;

    const std::vector<Stock>& m_stocks;
    const std::vector<double>& m_popularity;
};

} // namespace generation
} // namespace fundlens::demo
