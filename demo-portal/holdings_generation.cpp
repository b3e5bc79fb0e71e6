#include "demo-portal/holdings_generation.h"

#include "demo-portal/generation.h"
#include "demo-portal/random.h"

#include <algorithm>

namespace fundlens::demo::generation {

namespace {

constexpr double OwnThemeShare = 0.85;      // holdings of a themed active fund within its theme
constexpr double FirstIndustryShare = 0.6;  // of those, in the theme's first industry
constexpr double HongKongShareOfBoth = 0.6; // Hong Kong holdings of a fund that buys both
constexpr double SwapChance = 0.5;          // a quarter that replaced one holding

int HoldingCount(Random& rng, FundType type, const Theme& theme) {
    if (theme.listing == Listing::None) {
        return 0;
    }
    if (HoldsStocks(type)) {
        if (type == FundType::Mixed && rng.Chance(0.05)) {
            return rng.Between(6, 9);
        }
        if (type == FundType::Qdii) {
            return rng.Chance(0.3) ? 0 : rng.Between(3, 10);
        }
        return 10;
    }
    return type == FundType::Bond && rng.Chance(0.4) ? rng.Between(1, 5) : 0;
}

bool Listed(const Stock& s, Listing listing, bool wantHongKong) {
    switch (listing) {
    case Listing::Mainland:
        return !s.InHongKong();
    case Listing::HongKong:
        return s.InHongKong();
    case Listing::Both:
        return s.InHongKong() == wantHongKong;
    case Listing::None:
        break;
    }
    return false;
}

void SortLargestFirst(std::vector<Holding>& holdings) {
    std::stable_sort(holdings.begin(), holdings.end(),
                     [](const Holding& a, const Holding& b) { return a.weightPct > b.weightPct; });
}

} // namespace

int StockPicker::Pick(Random& rng, const Theme& theme, bool ofTheme,
                      const std::vector<Holding>& held) const {
    const bool wantHongKong = rng.Chance(HongKongShareOfBoth);
    const bool firstOnly = theme.second == Industry::Broad || rng.Chance(FirstIndustryShare);
    std::vector<char> taken(m_stocks.size(), 0);
    for (const Holding& h : held) {
        taken[static_cast<std::size_t>(h.stock)] = 1;
    }
    // Narrowest first: the theme's first industry, both of its industries, any industry.
    const int widest = ofTheme && !theme.IsBroad() ? 0 : 2;
    for (int width = firstOnly ? widest : std::max(widest, 1); width <= 2; ++width) {
        std::vector<int> candidates;
        double total = 0.0;
        for (std::size_t i = 0; i < m_stocks.size(); ++i) {
            const Stock& s = m_stocks[i];
            const bool fits =
                width == 2 || (width == 1 ? theme.Fits(s.industry) : s.industry == theme.first);
            if (taken[i] || !fits || !Listed(s, theme.listing, wantHongKong)) {
                continue;
            }
            candidates.push_back(static_cast<int>(i));
            total += m_popularity[i];
        }
        double u = rng.Uniform() * total;
        for (int c : candidates) {
            u -= m_popularity[static_cast<std::size_t>(c)];
            if (u < 0.0) {
                return c;
            }
        }
        if (!candidates.empty()) {
            return candidates.back();
        }
    }
    return -1;
}

Holding StockPicker::Sized(int stock, double weightPct, double sizeYi) const {
    Holding h;
    h.stock = stock;
    h.weightPct = Round(weightPct, 2);
    h.valueWan = Round(h.weightPct / 100.0 * sizeYi * 10000.0, 2);
    h.sharesWan = Round(h.valueWan / m_stocks[static_cast<std::size_t>(stock)].price, 2);
    return h;
}

std::vector<Holding> StockPicker::PickHoldings(Random& rng, FundType type, const Theme& theme,
                                               double sizeYi) const {
    const int count = HoldingCount(rng, type, theme);
    double weight = HoldsStocks(type) ? rng.Uniform(6.5, 10.0) : rng.Uniform(0.8, 3.0);
    std::vector<Holding> holdings;
    while (static_cast<int>(holdings.size()) < count) {
        const bool ofTheme = type == FundType::Index || rng.Chance(OwnThemeShare);
        const int s = Pick(rng, theme, ofTheme, holdings);
        if (s < 0) {
            break;
        }
        holdings.push_back(Sized(s, weight, sizeYi));
        weight = std::max(weight * rng.Uniform(0.78, 0.96), 0.3);
    }
    return holdings;
}

std::vector<std::vector<Holding>> StockPicker::EarlierHoldings(Random& rng, const Theme& theme,
                                                               double sizeYi,
                                                               const std::vector<Holding>& latest,
                                                               int quarters) const {
    std::vector<std::vector<Holding>> earlier;
    std::vector<Holding> newer = latest;
    for (int q = 0; q < quarters; ++q) {
        std::vector<Holding> holdings;
        for (const Holding& h : newer) {
            holdings.push_back(Sized(h.stock, h.weightPct * rng.Uniform(0.8, 1.2), sizeYi));
        }
        if (!holdings.empty() && rng.Chance(SwapChance)) {
            const int s = Pick(rng, theme, rng.Chance(OwnThemeShare), newer);
            if (s >= 0) {
                holdings.back() = Sized(s, holdings.back().weightPct, sizeYi);
            }
        }
        SortLargestFirst(holdings);
        earlier.push_back(holdings);
        newer = std::move(holdings);
    }
    return earlier;
}

} // namespace fundlens::demo::generation
