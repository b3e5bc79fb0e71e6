// The member lists of the sector buttons: funds whose theme fits the sector first, then funds
// that hold its stocks, then funds that pick from the whole market.
#include "demo-portal/generation.h"
#include "demo-portal/random.h"
#include "demo-portal/universe.h"
#include "portal/sector_table.h"

#include <algorithm>
#include <cmath>

namespace fundlens::demo {

using namespace generation;

namespace {

constexpr int LargestSector = 150;
constexpr int OnePageSector = 20;
constexpr int SmallestSector = 3;
constexpr int HeldStocksToFit = 2; // holdings of the sector's industries that make a fund fit

bool IsConcept(const std::array<Industry, 2>& industries) {
    return industries[0] == Industry::Broad;
}

bool Fits(const Theme& theme, const std::array<Industry, 2>& industries) {
    return theme.Fits(industries[0]) || theme.Fits(industries[1]);
}

bool InvestsAtHome(const Fund& f) {
    return f.theme.listing == Listing::Mainland || f.theme.listing == Listing::Both;
}

} // namespace

// 0: the theme fits the sector; 1: holds its stocks; 2: picks from the whole market; 3: other.
int Universe::SectorTier(const Fund& f, const std::array<Industry, 2>& industries) const {
    if (!InvestsAtHome(f)) {
        return 3;
    }
    if (IsConcept(industries)) {
        return f.theme.IsBroad() ? 0 : 3;
    }
    if (Fits(f.theme, industries)) {
        return 0;
    }
    const auto held = std::count_if(f.holdings.begin(), f.holdings.end(), [&](const Holding& h) {
        const Industry i = m_stocks[static_cast<std::size_t>(h.stock)].industry;
        return i != Industry::Broad && (i == industries[0] || i == industries[1]);
    });
    if (held >= HeldStocksToFit) {
        return 1;
    }
    return f.theme.IsBroad() ? 2 : 3;
}

// Sizes skewed towards small lists, and a few fixed ones: an empty concept sector, one of
// exactly one page and a large one.
std::vector<std::pair<int, int>> Universe::SectorSizes(Random& rng) const {
    std::vector<int> order;
    for (const Sector& s : SectorTable()) {
        if (std::find(order.begin(), order.end(), s.code) == order.end()) {
            order.push_back(s.code);
        }
    }
    rng.Shuffle(order);
    const auto empty = std::find_if(order.begin(), order.end(),
                                    [](int code) { return IsConcept(SectorIndustries(code)); });
    if (empty != order.end()) {
        std::rotate(order.begin(), empty, empty + 1);
    }
    const int fixedSizes[3] = {0, OnePageSector, LargestSector};
    std::vector<std::pair<int, int>> sizes;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int size = k < 3 ? fixedSizes[k]
                               : SmallestSector + static_cast<int>(std::pow(rng.Uniform(), 1.7) *
                                                                   (LargestSector - 5));
        sizes.emplace_back(order[k], size);
    }
    return sizes;
}

void Universe::AssignSectors() {
    Random rng(StreamSeed(m_seed, {SectorStream}));
    std::vector<int> pool;
    for (std::size_t i = 0; i < m_funds.size(); ++i) {
        if (HoldsStocks(m_funds[i].type)) {
            pool.push_back(static_cast<int>(i));
        }
    }
    for (const auto& [code, size] : SectorSizes(rng)) {
        const std::array<Industry, 2> industries = SectorIndustries(code);
        // Best tier first, at random within a tier.
        std::vector<std::pair<double, int>> ranked;
        for (int i : pool) {
            const Fund& f = m_funds[static_cast<std::size_t>(i)];
            ranked.emplace_back(SectorTier(f, industries) + rng.Uniform(), i);
        }
        const auto count = std::min(static_cast<std::size_t>(size), ranked.size());
        std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(count),
                          ranked.end());
        std::vector<int> members;
        for (std::size_t k = 0; k < count; ++k) {
            members.push_back(ranked[k].second);
        }
        std::sort(members.begin(), members.end());
        m_sectors.emplace(code, std::move(members));
    }
}

} // namespace fundlens::demo
