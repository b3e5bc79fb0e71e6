// The one fund-list row a fund picked from the search suggestions is shown in.
#pragma once

#include "portal/fund_main_page.h"
#include "portal/rank_record.h"
#include "portal/rgb.h"
#include "text/text.h"

#include <array>
#include <optional>

namespace fundlens {

// A cell's text and its text colour; no colour: the cell keeps the one it has.
struct ListCell {
    Text text;
    std::optional<Rgb> color;
};

// The 13 cells of the row: name, code and date keep their colour; the net value and daily
// change are coloured by PickedFigureColor, the eight returns by PickedReturnColor.
std::array<ListCell, FundListColumns> PickedFundRow(const Text& name, const Text& code,
                                                    const MainPageFigures& figures);

// By the number the text begins with (0 when none): red above zero, green otherwise.
Rgb PickedFigureColor(const Text& cellText);

// Blue above 50, red above zero, green otherwise (a zero is green: no grey in this row).
Rgb PickedReturnColor(const Text& cellText);

} // namespace fundlens
