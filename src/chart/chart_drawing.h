// The comparison chart on a draw panel: DrawChartFrame clears the panel and draws axes, grid,
// labels and axis titles from the two axis descriptions; DrawSeries draws one series with its
// legend entry. Both record what the mouse read-out needs in ChartState.
#pragma once

#include "chart/chart_geometry.h"
#include "shell/controls.h"
#include "shell/view_state.h"

#include <vector>

namespace fundlens {

struct ChartState;

// What a frame is drawn from.
struct ChartFrame {
    Text horizontalSpec; // "N|label||label|…"
    Text verticalSpec;   // "D|min|max", or the values to mark
    ChartMargins margins;
    int horizontalSubdivision = 0;
    int verticalSubdivision = 0;
    Text axisTitles;         // "x-title|y-title"
    std::vector<Text> dates; // one per point, for the read-out
};

// Each routine draws into the chart `chart` records (the chart window's is State().ChartState).

// Clears `panel` and draws the frame; the chart is drawn on this panel from now on, and the
// read-out starts afresh.
void DrawChartFrame(ChartState& chart, const DrawPanel& panel, const ChartFrame& frame);

// Draws a series on the chart's panel with a pen of `width` and `color`, and its legend entry
// when `name` is not empty; the read-out gets the series' row and the finished chart is saved.
void DrawSeries(ChartState& chart, const std::vector<float>& values, int width, Rgb color,
                const Text& name);

// A whole chart from its values: the frame, then each series in order.
void DrawChart(ChartState& chart, const DrawPanel& panel, const ChartView& view);

// The plot rectangle the chart was drawn in.
PlotRect ChartPlot(const ChartState& chart);

// A computed position as a pixel: truncated toward zero (kept inside the int range).
int ChartPixel(double position);

// A line of the chart with the panel's current pen; a text in its current colour and font
// (an empty text draws nothing).
void DrawChartLine(DrawPanel& panel, const ChartLine& line);
void DrawChartText(DrawPanel& panel, const ChartText& text);

} // namespace fundlens
