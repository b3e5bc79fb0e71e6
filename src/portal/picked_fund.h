// The one fund-list row a fund picked from the search suggestions is shown in.
#pragma once

#include "portal/figures.h"
#include "portal/fund_main_page.h"
#include "portal/rank_record.h"
#include "text/text.h"

namespace fundlens {

// The 13 cells of the row: name, code and date keep their colour; the net value and daily
// change are coloured by SignColorOf, the eight returns by PickedReturnColor.
FundListRow PickedFundRow(const Text& name, const Text& code, const MainPageFigures& figures);

} // namespace fundlens
