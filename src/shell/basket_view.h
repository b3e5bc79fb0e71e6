// The comparison basket as values: its funds, the period chosen, the curves and the holdings as
// they came from the portal, and the three tables as figures. It lives in the view state for the
// whole run (the window's closing keeps it); nothing of it is stored on disk.
#pragma once

#include "analysis/holdings.h"
#include "portal/figures.h"
#include "text/text.h"

#include <array>
#include <map>
#include <vector>

namespace fundlens {

inline constexpr int MaxBasketFunds = 8;

// The period the basket shows until another is chosen: 近1年, the chart window's 按钮5.
inline constexpr int DefaultBasketPeriodButton = 5;

// The curves' colours, one per slot: the first two are the chart window's.
inline constexpr std::array<Rgb, MaxBasketFunds> BasketSeriesColors{
    MakeRgb(255, 0, 0),   MakeRgb(192, 96, 0),  MakeRgb(0, 0, 255),   MakeRgb(0, 150, 0),
    MakeRgb(150, 0, 190), MakeRgb(0, 150, 160), MakeRgb(120, 120, 0), MakeRgb(255, 60, 170),
};

struct BasketFund {
    Text code;
    Text name;         // empty when the program knew none
    int colorSlot = 0; // its curve's colour (0 … MaxBasketFunds - 1), kept while it is in
};

// Where a fund's answer stands: asked for and not yet in, failed, or in.
enum class Fetched { Pending, Failed, Loaded };

struct BasketCurve {
    Fetched state = Fetched::Pending;
    std::vector<double> values; // cumulative return in percent at each of the curves' dates
};

// One period's curves, all from one answer: they share its dates.
struct BasketCurves {
    int periodButton = 0; // the period they are of (0: none fetched yet)
    std::vector<Text> dates;
    Text horizontalSpec; // N + "|label||label|…"
    std::map<Text, BasketCurve> byCode;
};

struct BasketHoldings {
    Fetched state = Fetched::Pending;
    TopHoldings top; // the latest quarter's top ten, when loaded
};

// A table as shown: row 0 the header, every row as wide as the header; a tooltip per cell
// (empty: none).
struct FigureTable {
    std::vector<std::vector<Figure>> cells;
    std::vector<std::vector<Text>> tips;

    int Rows() const { return static_cast<int>(cells.size()); }
    // The cell at (row, column); null outside the table.
    const Figure* Cell(int row, int column) const;
    Text Tip(int row, int column) const;
};

struct BasketView {
    std::vector<BasketFund> funds; // in the order they were added
    int periodButton = DefaultBasketPeriodButton;
    BasketCurves curves;
    std::map<Text, BasketHoldings> holdings; // by fund code
    FigureTable risk, correlation, overlap;
    Text title; // above the chart: the title of the period whose load ended last

    // The fund with `code`, or null.
    const BasketFund* Find(const Text& code) const;
    // The funds' codes, in the basket's order.
    std::vector<Text> Codes() const;
};

} // namespace fundlens
