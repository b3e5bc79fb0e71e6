// What the windows show, as plain values: the figures of each part of a window with their
// colours, no widget inside. Loaders store what they cut here and call the part's show function
// (main_view.h), which draws it; the compare set, the mirror row, copying and the features that
// read a fund's figures read them here, never back from a control.
#pragma once

#include "portal/figures.h"
#include "portal/fund_holdings.h"
#include "portal/rank_record.h"
#include "portal/search.h"
#include "shell/basket_view.h"
#include "shell/watchlist_view.h"
#include "shell/window_design.h"

#include <array>
#include <vector>

namespace fundlens {

// The fund list 高级表格1: its row count (the header row included) and the rows shown from row
// 1 on; the rows after them are empty.
struct FundListView {
    int rowCount = FundListRows;
    std::vector<FundListRow> rows;

    // The row shown at grid row `row` (1 is the first), or null when that row is empty.
    const FundListRow* Row(int row) const;
};

// The fund's code and name in a list row.
inline constexpr int NameColumn = 0;
inline constexpr int CodeColumn = 1;

// The comparison grid 高级表格2: row 1 holds the pinned fund's list row, row 2 mirrors the
// current fund's while a fund is pinned. Empty texts show nothing.
struct CompareRowsView {
    FundListRow pinned;
    FundListRow mirror;

    // The row shown at grid row `row` (1 or 2), or null.
    const FundListRow* Row(int row) const;
};

// Rows and columns of the risk figures (row 0 and column 0 of the grid hold the headings).
inline constexpr int RiskRows = 2;
inline constexpr int RiskYears = 3;
using RiskTable = std::array<std::array<Figure, RiskYears>, RiskRows>;

// One detail column: a fund's name, size, managers, rating, tenure return, risk figures and
// largest holdings (lines never filled are empty).
struct DetailColumnView {
    Text name, size, managers, rating;
    Figure tenure;
    std::array<Text, RiskRows> riskLabels; // "标准差", "夏普比率", written at start-up
    RiskTable risk;                        // risk[row - 1][year - 1]
    std::array<HoldingRow, MaxHoldingRows> holdings;
};

enum class DetailSide { Current, Compare };

// One series of a drawn chart.
struct ChartSeriesView {
    Text name;
    Rgb color = 0;
    int width = 1;
    std::vector<float> values;
};

// A chart as drawn: its axis descriptions, the dates of its points and its series.
struct ChartView {
    Text horizontalSpec, verticalSpec, axisTitles;
    int horizontalSubdivision = 0, verticalSubdivision = 0;
    std::vector<Text> dates;
    std::vector<ChartSeriesView> series;
};

struct ViewState {
    FundListView fundList;
    CompareRowsView compareRows;
    DetailColumnView current;
    DetailColumnView compare;
    std::vector<Suggestion> suggestions; // 超级列表框1, one line each
    ChartView chart;                     // the chart window's comparison, as last drawn
    BasketView basket;                   // the comparison basket, for the whole run
    WatchlistView watchlist;             // the watchlist window's rows and status

    DetailColumnView& Column(DetailSide side) {
        return side == DetailSide::Compare ? compare : current;
    }
};

} // namespace fundlens
