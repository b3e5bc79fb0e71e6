// What the watchlist window shows, as plain values: one row of figures per watched fund, the
// totals row and the status line, each figure with its colour and its tooltip. The refresh and
// the window's routines make these values (src/watchlist); ShowWatchlist draws them; the export
// writes the same rows as CSV.
#pragma once

#include "portal/figures.h"
#include "text/text.h"

#include <array>
#include <vector>

namespace fundlens {

// The grid's columns, in order.
enum class WatchlistColumn {
    Name,
    Code,
    NavDate,
    Nav,
    DayChange, // the confirmed change of the NAV shown
    Estimate,  // the holdings estimate
    EstimateStatus,
    Covered, // the weight the estimate covers
    Shares,
    Cost,
    MarketValue,
    TodayGain,
    HoldingGain,
    ReturnRate,
};
inline constexpr int WatchlistColumnCount = 14;

// The column headers (UTF-8), column 0 first.
inline constexpr std::array<const char*, WatchlistColumnCount> WatchlistCaptions{
    "基金名称", "基金代码", "净值日期", "单位净值", "日涨幅",   "估算涨幅", "估算状态",
    "覆盖",     "持有份额", "持仓成本", "市值",     "今日收益", "持有收益", "收益率"};

struct WatchlistRow {
    Text code; // the fund; empty for the totals row
    std::array<Figure, WatchlistColumnCount> cells;
    std::array<Text, WatchlistColumnCount> tips; // tooltips (GBK); empty: none
    bool stale = false; // figures of a refresh that failed, kept and greyed

    const Figure& Cell(WatchlistColumn column) const {
        return cells[static_cast<std::size_t>(column)];
    }
    const Text& Tip(WatchlistColumn column) const { return tips[static_cast<std::size_t>(column)]; }
};

struct WatchlistView {
    std::vector<WatchlistRow> funds; // in the order the funds were added
    WatchlistRow totals;             // 合计
    Figure status;                   // the status line: phase, update time, what failed
    Text statusTip;

    // Grid rows: the header, one per fund, the totals.
    int GridRows() const { return static_cast<int>(funds.size()) + 2; }
    // The fund at grid row `row` (1 is the first), or null (the header, the totals, beyond).
    const WatchlistRow* FundAt(int row) const;
    // Any row shown at grid row `row`, the totals included, or null.
    const WatchlistRow* RowAt(int row) const;
};

// Draws State().Views.watchlist into the watchlist window, when it is open: a grid row per
// fund, then the totals, each cell's text, colour and tooltip; the status line.
void ShowWatchlist();

} // namespace fundlens
