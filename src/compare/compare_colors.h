// The colours the compare column gives the figures it takes over from the current column.
#pragma once

#include "portal/rgb.h"
#include "text/text.h"

#include <optional>

namespace fundlens {

// Rows of the risk statistics grids.
inline constexpr int DeviationRow = 1; // 标准差, "12.34%"
inline constexpr int SharpeRow = 2;    // 夏普比率, "0.85"

// A risk cell's colour in the compare column: red when its number is above zero, green
// otherwise. The deviation is read before its first "%" (a text without one reads as 0), the
// Sharpe ratio whole. "--" is not coloured: the cell keeps the colour it has.
std::optional<Rgb> RiskCellColor(int row, const Text& text);

// A holding's price change: red above zero, green otherwise (a text that is no number too).
Rgb HoldingChangeColor(const Text& text);

} // namespace fundlens
