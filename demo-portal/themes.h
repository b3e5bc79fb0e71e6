// What the market's funds and stocks are about: industries, the fund themes with the
// industries and markets they invest in, the industry a stock name's suffix stands for, and
// the industries each sector button lists funds of.
#pragma once

#include "demo-portal/vocabulary.h"

#include <array>
#include <span>
#include <string_view>

namespace fundlens::demo {

enum class Industry {
    Broad, // no industry of its own: conglomerates, and funds that pick from the whole market
    Liquor,
    Consumer,
    Medicine,
    Chip,
    Tech,
    NewEnergy,
    Military,
    Finance,
    Materials,
    Manufacturing,
    Infrastructure,
    Agriculture,
    Media,
};
inline constexpr int IndustryCount = 14;

// Where a fund's stocks are listed.
enum class Listing { Mainland, HongKong, Both, None };

struct Theme {
    Word word;
    Listing listing = Listing::Mainland;
    Industry first = Industry::Broad; // Broad: the theme names no industry
    Industry second = Industry::Broad;

    bool IsBroad() const { return first == Industry::Broad; }
    bool Fits(Industry industry) const {
        return industry != Industry::Broad && (first == industry || second == industry);
    }
};

// Themes for one fund type.
std::span<const Theme> FundThemes(FundType type);

struct StockSuffix {
    std::string_view text; // UTF-8
    Industry industry;
};

std::span<const StockSuffix> StockSuffixes();
std::span<const StockSuffix> HongKongStockSuffixes();

// The industries a sector's list is about; both Broad for the concept sectors that no fund
// theme fits (their lists hold funds that pick from the whole market).
std::array<Industry, 2> SectorIndustries(int sectorCode);

} // namespace fundlens::demo
