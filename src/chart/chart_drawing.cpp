#include "chart/chart_drawing.h"

#include "chart/chart_readout.h"
#include "chart/readout_geometry.h"
#include "shell/program_state.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

// Far beyond any panel: a position past it is drawn there.
constexpr double PixelLimit = 1e6;

constexpr int AxisPenWidth = 1;
constexpr Rgb TitleColor = RgbBlack;
constexpr int GridPenWidth = 0; // the thinnest

void DrawChartLines(DrawPanel& panel, const std::vector<ChartLine>& lines) {
    for (const ChartLine& line : lines) {
        DrawChartLine(panel, line);
    }
}

void DrawChartTexts(DrawPanel& panel, const std::vector<ChartText>& texts) {
    for (const ChartText& text : texts) {
        DrawChartText(panel, text);
    }
}

void DrawAxes(DrawPanel& panel, const PlotRect& plot) {
    panel.SetPenWidth(AxisPenWidth);
    panel.SetPenColor(RgbBlack);
    panel.SetPenStyle(PenStyle::Solid);
    DrawChartLine(panel, HorizontalAxis(plot));
    DrawChartLine(panel, VerticalAxis(plot));
}

// Minor lines first, then the major lines with the labels, then the zero line.
void DrawGrid(DrawPanel& panel, const HorizontalLayout& h, const VerticalLayout& v) {
    panel.SetPenStyle(PenStyle::Dotted);
    panel.SetTextColor(ChartLabelGrey);
    panel.SetFontSize(ChartFontPoints);
    panel.SetPenWidth(GridPenWidth);
    panel.SetPenColor(ChartMinorGrid);
    DrawChartLines(panel, h.minorLines);
    DrawChartLines(panel, v.minorLines);
    panel.SetPenColor(ChartMajorGrid);
    DrawChartLines(panel, h.majorLines);
    DrawChartTexts(panel, h.labels);
    DrawChartLines(panel, v.majorLines);
    DrawChartTexts(panel, v.labels);
    if (v.zeroLine) {
        panel.SetPenStyle(PenStyle::Solid);
        DrawChartLine(panel, *v.zeroLine);
        DrawChartText(panel, v.zeroLabel);
    }
}

void RecordPlot(ChartState& chart, const PlotRect& plot) {
    chart.left = plot.left;
    chart.right = plot.right;
    chart.bottom = plot.bottom;
    chart.top = plot.top;
}

} // namespace

void DrawChartLine(DrawPanel& panel, const ChartLine& line) {
    panel.Line(ChartPixel(line.x1), ChartPixel(line.y1), ChartPixel(line.x2), ChartPixel(line.y2));
}

void DrawChartText(DrawPanel& panel, const ChartText& text) {
    if (!text.text.empty()) {
        panel.DrawText(ChartPixel(text.x), ChartPixel(text.y), text.text);
    }
}

PlotRect ChartPlot(const ChartState& chart) {
    return PlotRect{chart.left, chart.right, chart.bottom, chart.top};
}

int ChartPixel(double position) {
    if (!std::isfinite(position)) {
        return 0;
    }
    return static_cast<int>(std::trunc(std::clamp(position, -PixelLimit, PixelLimit)));
}

void DrawChartFrame(ChartState& chart, const DrawPanel& target, const ChartFrame& frame) {
    chart.panel = target;
    DrawPanel panel = target;
    panel.Clear();
    if (chart.savedImage) {
        chart.savedImage = panel.CopyImage(); // blank, like the panel
        ResetReadout(chart);
    }
    chart.rowCount = 0;
    const PlotRect plot = PlotRectangle(panel.Width(), panel.Height(), frame.margins);
    RecordPlot(chart, plot);
    DrawAxes(panel, plot);
    const HorizontalLayout h =
        LayoutHorizontalAxis(plot, frame.horizontalSpec, frame.horizontalSubdivision);
    const VerticalLayout v =
        LayoutVerticalAxis(plot, frame.verticalSpec, frame.verticalSubdivision);
    chart.intervals = h.intervals;
    chart.ymin = v.ymin;
    chart.ymax = v.ymax;
    DrawGrid(panel, h, v);
    panel.SetTextColor(TitleColor);
    panel.SetFontSize(ChartFontPoints);
    const AxisTitles titles = PlaceAxisTitles(plot, frame.axisTitles);
    DrawChartText(panel, titles.x);
    DrawChartText(panel, titles.y);
    chart.rowCount = 1;
    // The read-out's first line is written in the text colour the titles were.
    chart.ReadoutTable = {ReadoutHeaderRow(titles.x.text, TitleColor, frame.dates)};
    chart.horizontalSpec = frame.horizontalSpec;
    chart.verticalSpec = frame.verticalSpec;
}

void DrawSeries(ChartState& chart, const std::vector<float>& values, int width, Rgb color,
                const Text& name) {
    DrawPanel& panel = chart.panel;
    const PlotRect plot = ChartPlot(chart);
    // Solid whatever the frame left: a wide pen draws no dots.
    panel.SetPenStyle(PenStyle::Solid);
    panel.SetPenWidth(width);
    panel.SetPenColor(color);
    panel.SetTextColor(color);
    panel.SetFontSize(ChartFontPoints);
    const std::vector<ChartPoint> points =
        SeriesPoints(plot, chart.intervals, chart.ymin, chart.ymax, values);
    for (std::size_t i = 1; i < points.size(); ++i) {
        DrawChartLine(panel, {points[i - 1].x, points[i - 1].y, points[i].x, points[i].y});
    }
    if (!name.empty()) {
        const Legend legend = PlaceLegend(plot, chart.rowCount, width, name);
        panel.Rectangle(legend.bar.x1, legend.bar.y1, legend.bar.x2, legend.bar.y2);
        DrawChartText(panel, legend.name);
    }
    chart.rowCount += 1;
    AddReadoutRow(chart.ReadoutTable, ReadoutSeriesRow(name, color, values));
    chart.savedImage = panel.CopyImage();
}

void DrawChart(ChartState& chart, const DrawPanel& panel, const ChartView& view) {
    ChartFrame frame;
    frame.horizontalSpec = view.horizontalSpec;
    frame.verticalSpec = view.verticalSpec;
    frame.horizontalSubdivision = view.horizontalSubdivision;
    frame.verticalSubdivision = view.verticalSubdivision;
    frame.axisTitles = view.axisTitles;
    frame.dates = view.dates;
    DrawChartFrame(chart, panel, frame);
    for (const ChartSeriesView& series : view.series)
        DrawSeries(chart, series.values, series.width, series.color, series.name);
}

} // namespace fundlens
