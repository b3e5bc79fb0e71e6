// The controls one fund's detail is written into. The current fund fills the left column; the
// compare column holds the same roles for the pinned fund. A detail run is given its column
// when it starts, and every write goes through it.
#pragma once

#include "shell/controls.h"

namespace fundlens {

struct DetailColumn {
    const char* name;     // label: the fund's name
    const char* size;     // label: the fund's size
    const char* managers; // label: the current managers
    const char* rating;   // label: the rating stars
    const char* tenure;   // label: the return over the managers' tenure, coloured
    const char* risk;     // grid: standard deviation and Sharpe ratio over 1, 2, 3 years
    const char* holdings; // grid: the ten largest holdings

    Label NameLabel() const;
    Label SizeLabel() const;
    Label ManagersLabel() const;
    Label RatingLabel() const;
    Label TenureLabel() const;
    Grid RiskGrid() const;
    Grid HoldingsGrid() const;
};

inline constexpr DetailColumn CurrentColumn{"标签19", "标签11",    "标签12",   "标签13",
                                            "标签14", "高级表格3", "高级表格5"};
inline constexpr DetailColumn CompareColumn{"标签21", "标签15",    "标签16",   "标签17",
                                            "标签18", "高级表格4", "高级表格6"};

// Rows and columns of the risk figures in their grid (row 0 and column 0 hold the headings).
inline constexpr int RiskRows = 2;
inline constexpr int RiskYears = 3;

// Empties what a fund's answers fill, so that nothing of the fund shown before stays: size,
// managers, rating and tenure labels, the six risk figures (back to the colour an untouched
// cell has) and the holdings rows. The name and the grids' headings stay.
void EmptyDetailColumn(const DetailColumn& column);

} // namespace fundlens
