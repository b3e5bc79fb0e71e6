// The comparison chart's arithmetic: where the frame, the grid, the labels, the curves, the
// legend go on the draw panel (the mouse read-out: readout_geometry.h). Plain values, no drawing:
// the chart routines iterate over what these functions return and draw it.
//
// Positions are panel pixels, x to the right and y downwards, exact as computed; the drawing
// truncates them toward zero. A text's position is its top-left corner.
#pragma once

#include "portal/rgb.h"
#include "text/text.h"

#include <functional>
#include <optional>
#include <vector>

namespace fundlens {

// The chart's font: its size in points and its em in pixels (96 dots per inch).
inline constexpr int ChartFontPoints = 9;
inline constexpr int ChartEm = 12;

// Colours of the labels and the grid.
inline constexpr Rgb ChartLabelGrey = MakeRgb(128, 128, 128);
inline constexpr Rgb ChartMinorGrid = MakeRgb(224, 224, 224);
inline constexpr Rgb ChartMajorGrid = MakeRgb(192, 192, 192);

struct ChartLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct ChartPoint {
    double x = 0, y = 0;
};

struct ChartText {
    Text text;
    double x = 0, y = 0;
};

// A rectangle from (x1, y1) to (x2, y2).
struct ChartBox {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The plot rectangle: the curves run from left to right and from bottom up to top.
struct PlotRect {
    int left = 0, right = 0, bottom = 0, top = 0;
};

// Room the caller adds around the standard margins.
struct ChartMargins {
    int left = 0, bottom = 0, right = 0, top = 0;
};

PlotRect PlotRectangle(int panelWidth, int panelHeight, const ChartMargins& extra = {});

// The two axes: the horizontal one runs 20 pixels past the plot, the vertical one 10 above it.
ChartLine HorizontalAxis(const PlotRect& plot);
ChartLine VerticalAxis(const PlotRect& plot);

// The entries of an axis description, split at "|"; a "|" at the very end opens no entry
// ("4|01||02|" gives "4", "01", "", "02").
std::vector<Text> SplitChartSpec(const Text& description);

// Width of a text in pixels. The estimate is em/2 per byte; a real measurement may replace it.
using TextWidth = std::function<double(const Text&)>;
double EstimateTextWidth(const Text& text);

// The horizontal description "N|label||label|…" laid out: the dates fall on every
// `subdivision`-th minor line, the empty entries between them get a major line and no label.
struct HorizontalLayout {
    int intervals = 0;  // N: intervals between points
    int entryCount = 0; // X: entries of the description
    int minorCount = 0; // K: minor lines
    double step = 0;    // pixels between minor lines; 0 when there are none
    std::vector<ChartLine> minorLines;
    std::vector<ChartLine> majorLines;
    std::vector<ChartText> labels; // the non-empty labels, left to right
};
HorizontalLayout LayoutHorizontalAxis(const PlotRect& plot, const Text& description,
                                      int subdivision, const TextWidth& width = EstimateTextWidth);

// The vertical description laid out: "D|min|max" (D divisions from min to max) or a list of
// the values to label. With an empty range (min = max) there is no scale: no label, no
// horizontal line and no curve.
struct VerticalLayout {
    int divisions = 0; // D
    float ymin = 0, ymax = 0;
    double yscale = 0; // pixels per unit; 0 without a scale
    std::vector<ChartLine> minorLines;
    std::vector<ChartLine> majorLines; // one per label but the lowest
    std::vector<ChartText> labels;     // right-aligned left of the axis, centred on their line
    std::optional<ChartLine> zeroLine; // when the range runs from below zero to above it
    ChartText zeroLabel;

    bool Scaled() const { return yscale != 0; }
};
VerticalLayout LayoutVerticalAxis(const PlotRect& plot, const Text& description, int subdivision,
                                  const TextWidth& width = EstimateTextWidth);

// A vertical label: rounded half away from zero to 2 decimals or to whole numbers, then up to
// 13 significant digits without trailing zeros ("-0" is written "0").
Text AxisValueText(double value, bool twoDecimals);

// The axis titles "x-title|y-title" ("｜" counts as "|"): the x-title right of the horizontal
// axis' end, the y-title above the vertical axis. Empty texts are not written.
struct AxisTitles {
    ChartText x, y;
};
AxisTitles PlaceAxisTitles(const PlotRect& plot, const Text& titles);

// The points of a series with `intervals` intervals over the range ymin … ymax; empty when
// there is nothing to draw (fewer than one interval, or an empty range).
std::vector<ChartPoint> SeriesPoints(const PlotRect& plot, int intervals, float ymin, float ymax,
                                     const std::vector<float>& values);

// A series' legend entry, the `rowCount`-th series drawn being on row rowCount - 1 (counting
// the axis row as the first): a short bar of the series' pen and its name beside it.
struct Legend {
    ChartBox bar;
    ChartText name;
};
Legend PlaceLegend(const PlotRect& plot, int rowCount, int penWidth, const Text& name,
                   int fontPoints = ChartFontPoints, int em = ChartEm);

} // namespace fundlens
