// The risk grids' explanation shown over them.
#pragma once

namespace fundlens {

// Event handler: the mouse moved over 高级表格3 (grid 3) or 高级表格4 (grid 4). The grid's
// tooltip explains the standard deviation and the Sharpe ratio.
void RiskGridMouseMoved(int grid, int x, int y);

} // namespace fundlens
