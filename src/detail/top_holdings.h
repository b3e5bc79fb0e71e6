// The fund's largest stock holdings with today's price changes.
#pragma once

#include "detail/detail_load.h"

namespace fundlens {

// Fetches the archive's latest holdings, then the live quotes of their stocks, and shows one
// row per quote in the load's holdings grid, each weight paired by stock code.
Loader LoadTopHoldings(DetailLoadPtr load);

} // namespace fundlens
