// The comparison basket's three tables from its funds' curves and top tens: each curve's risk
// figures, the correlation of every pair of curves and the holdings overlap of every pair of
// funds; as figures for the window (two decimals) and as CSV for a file (four decimals). The
// window's CSV button and `fundlens --export compare:…` write the same CSV. No Qt.
#pragma once

#include "analysis/holdings_overlap.h"
#include "analysis/risk_figures.h"
#include "shell/basket_view.h"

#include <optional>
#include <string>
#include <vector>

namespace fundlens {

// Decimals of percentages and ratios in the window and in the CSV file.
inline constexpr int ShownDecimals = 2;
inline constexpr int CsvDecimals = 4;

// What the tables are made from, per fund.
struct BasketFundData {
    Text code;
    Text name;                // empty: the fund is named by its code
    std::optional<Rgb> color; // its curve's colour, for its name
    Fetched curveState = Fetched::Pending;
    std::vector<SeriesPoint> curve; // the points of the period, when loaded
    Fetched holdingsState = Fetched::Pending;
    TopHoldings holdings; // the latest top ten, when loaded
};

struct BasketTables {
    double riskFreePct = DefaultRiskFreePct;
    std::vector<BasketFundData> funds; // as given, without their curves' points
    std::vector<RiskFigures> risk;     // per fund; all absent unless its curve is loaded
    std::vector<std::vector<std::optional<double>>> correlation;
    std::vector<std::vector<std::optional<HoldingsOverlap>>> overlap;
};

// The figures of every fund, with `riskFreePct` percent a year for the ratios.
BasketTables ComputeBasketTables(std::vector<BasketFundData> funds, double riskFreePct);

// The tables as shown, row 0 the header. A fund whose answer has not come yet shows empty
// cells, one whose answer failed "--", as does any figure that cannot be formed.
//
// The risk table: 基金 (the header names the risk-free rate), 区间收益, 年化收益, 年化波动,
// 最大回撤, 回撤开始, 回撤谷底, 修复日期, 夏普比率, 索提诺比率, 卡玛比率; returns and ratios
// coloured by sign.
FigureTable RiskTableOf(const BasketTables& tables, int decimals);
// The correlation matrix: codes across and down, the funds' names as the codes' tooltips.
FigureTable CorrelationTableOf(const BasketTables& tables, int decimals);
// The overlap matrix: "23.45% (3)" (the summed smaller weights, the stocks in common); a cell's
// tooltip lists the common stocks with both weights and says when the report dates differ.
FigureTable OverlapTableOf(const BasketTables& tables, int decimals);

// The CSV file: UTF-8 with a byte-order mark, CR LF line ends, RFC 4180 quoting; the risk table
// (a 代码 column first), a blank line, the correlation matrix, a blank line, the overlap matrix.
std::string BasketCsv(const BasketTables& tables);

// The data of the basket's funds as the view holds them, in the basket's order; without the
// curves' points (their states kept) when only the overlap is wanted.
std::vector<BasketFundData> BasketDataOf(const BasketView& view, bool withCurves = true);

} // namespace fundlens
