// The fund's rating and risk figures, and the risk grids' explanation shown over them.
#pragma once

#include "detail/detail_load.h"

namespace fundlens {

// Fetches the rating and the risk page together; shows the stars in the load's rating label
// (a rating that names no star count leaves it as it is), then the figures in its risk grid
// ("--" keeps the cell's colour; figures beyond the sixth are ignored).
Loader LoadRatingAndRisk(DetailLoadPtr load);

// Event handler: the mouse moved over 高级表格3 (grid 3) or 高级表格4 (grid 4). The grid's
// tooltip explains the standard deviation and the Sharpe ratio.
void RiskGridMouseMoved(int grid, int x, int y);

} // namespace fundlens
