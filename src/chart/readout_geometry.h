// The comparison chart's mouse read-out: the table it reads, the crosshair, the column under
// the mouse and the box with the texts of that column. Plain values, as in chart_geometry.h.
#pragma once

#include "chart/chart_geometry.h"

namespace fundlens {

inline constexpr Rgb ReadoutBoxOutline = MakeRgb(96, 96, 96);
inline constexpr Rgb ReadoutBoxFill = MakeRgb(192, 192, 192);

// One row of the read-out table: [0] name, [1] colour as a decimal integer, [k + 1] the text of
// point k (k from 1). The first row is the horizontal axis' title and the dates.
using ReadoutRow = std::vector<Text>;
using ReadoutTable = std::vector<ReadoutRow>;

// The first row: the x-title (empty when there are no dates) and the dates.
ReadoutRow ReadoutHeaderRow(const Text& xTitle, Rgb textColour, const std::vector<Text>& dates);
// A series' row: its name and its values, up to 6 significant digits without trailing zeros.
ReadoutRow ReadoutSeriesRow(const Text& name, Rgb penColour, const std::vector<float>& values);
// Appends a row; the table stays rectangular, widened to the longest row.
void AddReadoutRow(ReadoutTable& table, ReadoutRow row);
int ReadoutColumnCount(const ReadoutTable& table);

// Where the mouse is followed: the plot and a band around it.
bool InReadoutArea(const PlotRect& plot, int x, int y);

// The crosshair through (x, y).
struct Crosshair {
    ChartLine horizontal, vertical;
};
Crosshair CrosshairAt(const PlotRect& plot, int x, int y);

// The point at or left of x (1-based), clamped to the table's points; 0 when the table holds
// fewer than three points (no read-out box).
int ReadoutColumn(const PlotRect& plot, int intervals, int x, int columnCount);

int ReadoutBoxWidth(int fontPoints = ChartFontPoints);
int ReadoutBoxHeight(int rowCount, int em = ChartEm);
int ReadoutBoxTop(const PlotRect& plot);

// The box keeps to the half away from the mouse: its left edge for `column`, given the current
// one (0: not placed yet), and whether it moved (then the chart is restored and the outline
// drawn). At the exact middle column the box stays where it is.
struct BoxPlacement {
    int boxX = 0;
    bool moved = false;
};
BoxPlacement PlaceReadoutBox(const PlotRect& plot, int intervals, int column, int boxX,
                             int boxWidth);

// The line of row `rowIndex` (0-based) for `column`: the first 8 bytes of the name (never half a
// character), "：" and the point's text, in the row's colour.
struct ReadoutLine {
    ChartText text;
    Rgb colour = 0;
};
ReadoutLine ReadoutLineOf(const ReadoutRow& row, int column, int rowIndex, int boxX, int boxTop,
                          int em = ChartEm);

// Everything one mouse move changes, in the order it is drawn.
struct ReadoutPlan {
    bool inside = false; // false: restore the chart; crosshair, boxX and lastColumn back to 0
    Crosshair crosshair;
    int lastColumn = 0;   // the column to remember
    bool showBox = false; // false: only the crosshair moves
    BoxPlacement placement;
    ChartBox outline, fill;
    std::vector<ReadoutLine> lines;
};
ReadoutPlan PlanReadout(const PlotRect& plot, int intervals, const ReadoutTable& table,
                        int rowCount, int x, int y, int boxX, int lastColumn);

} // namespace fundlens
