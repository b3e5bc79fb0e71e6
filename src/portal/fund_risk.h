// The fund's risk statistics page: standard deviation and Sharpe ratio over one, two and
// three years, and the explanation the risk grids show as their tooltip.
#pragma once

#include "portal/rgb.h"
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// "tsdata_<code>.html " on the F10 host (the portal's trailing blank, as on the profile page).
Text RiskPageUrl(const Text& code);

// One figure of the risk grid.
struct RiskCell {
    int row = 0;    // 1 standard deviation, 2 Sharpe ratio
    int column = 0; // 1..3: one, two, three years
    Text text;      // as the page shows it ("15.20%", "-0.35", "--")
    // Red above zero, green otherwise; none for "--" (the cell keeps its colour).
    std::optional<Rgb> color;
};

// The figures of a risk page (GBK) in page order, at most six: row 1 columns 1..3, then row 2.
// A page without the risk table gives none; figures beyond the sixth are ignored.
std::vector<RiskCell> CutRisk(const Text& page);

// The risk grids' tooltip (GBK, CR LF line breaks, the last line indented).
const Text& RiskTooltipText();

} // namespace fundlens
