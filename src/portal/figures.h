// Figures as the program shows them: a text and its colour. The colour rules are written once
// here: the cuts colour what they cut, and the compare set colours what it moves, with these
// functions. Colours are decided on the number the shown text begins with (0 when it has none),
// with the program's tolerance (IsZero, IsAbove).
#pragma once

#include "portal/rgb.h"
#include "text/text.h"

#include <optional>

namespace fundlens {

// A figure as shown: its text and its text colour; no colour: the colour an untouched cell or
// label has (or, where a rule says so, the one it has already).
struct Figure {
    Text text;
    std::optional<Rgb> color;

    friend bool operator==(const Figure&, const Figure&) = default;
};

// The number a figure stands for, when it is one: "12.34%", "-0.35", " 9.83 %", "<b>1.2</b>"
// read as numbers; "--", "-", "---", an empty or any other text as none.
std::optional<double> FigureNumber(const Text& figure);

// A number as figures are written: `decimals` decimals, halves away from zero, never "-0.00",
// whatever the locale's decimal point; "--" for a value that is not finite.
Text FixedText(double value, int decimals);

// Returns above this are blue in the fund list and in a picked fund's row.
inline constexpr double HighReturnPercent = 50;

// Red above zero, green at or below it.
Rgb SignColor(double value);
Rgb SignColorOf(const Text& figure);

// A return cell of the fund list ("12.34%", "-"): grey at zero, blue above 50, red above zero,
// green below.
Rgb ReturnCellColor(const Text& cellText);

// A return of a picked fund's row: blue above 50, red above zero, green otherwise (a zero is
// green: that row has no grey).
Rgb PickedReturnColor(const Text& cellText);

// Rows of the risk statistics grids.
inline constexpr int DeviationRow = 1; // 标准差, "12.34%"
inline constexpr int SharpeRow = 2;    // 夏普比率, "0.85"

// A risk figure: the deviation is read before its first "%" (a text without one reads as 0),
// the Sharpe ratio whole; red above zero, green otherwise. "--" has no colour: the cell keeps
// the colour it has.
std::optional<Rgb> RiskFigureColor(int row, const Text& text);

// A figure kept from a refresh that failed: the same text in grey, so that it never passes for
// a fresh one.
Figure Greyed(const Figure& figure);

// The tenure return: red when the return cell's class names "red", green otherwise.
Rgb TenureColor(const Text& returnCell);

} // namespace fundlens
