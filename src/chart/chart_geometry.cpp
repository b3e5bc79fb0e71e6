#include "chart/chart_geometry.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace fundlens {

namespace {

// Margins of the plot rectangle inside the panel.
constexpr int MarginLeft = 40;
constexpr int MarginRight = 100;
constexpr int MarginBottom = 30;
constexpr int MarginTop = 60;

// The axes run past the plot: the horizontal one to the right, the vertical one upwards.
constexpr int AxisPastRight = 20;
constexpr int AxisPastTop = 10;

// Labels: below the horizontal axis, left of the vertical one.
constexpr int BelowAxis = 3;
constexpr int LeftOfAxis = 2;

// Titles: the x-title right of the horizontal axis' end, the y-title above the vertical axis.
constexpr int XTitleRight = 25;
constexpr int XTitleUp = 8;
constexpr int YTitleLeft = 10;
constexpr int YTitleUp = 30;

// Legend: a bar from 10 to 20 pixels right of the plot, the name at 25; one row per series of
// 144/72 of the font size (18 pixels at 9 points).
constexpr int LegendBarFrom = 10;
constexpr int LegendBarTo = 20;
constexpr int LegendNameAt = 25;
constexpr double LegendRowPerPoint = 144.0 / 72.0;

// More divisions than this could not be told apart on any panel; a vertical description asking
// for more is read as asking for this many.
constexpr int MaxDivisions = 1000;

// A description's number truncated toward zero, kept within a sane int range.
int TruncatedNumber(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<int>(std::clamp(std::trunc(value), -1e9, 1e9));
}

// Entry `index` (1-based) as a number; 0 when there is no such entry.
double EntryNumber(const std::vector<Text>& entries, int index) {
    return index >= 1 && index <= static_cast<int>(entries.size())
               ? TextToNumber(entries[static_cast<std::size_t>(index - 1)])
               : 0.0;
}

// The range's pixels per unit; 0 when the range is empty.
double ScaleOf(const PlotRect& plot, float ymin, float ymax) {
    const double range = static_cast<double>(ymax) - ymin;
    return IsZero(range) || !std::isfinite(range) ? 0.0 : (plot.bottom - plot.top) / range;
}

// The value of vertical label i (1-based); nothing when the label is skipped.
std::optional<double> VerticalLabelValue(const std::vector<Text>& entries, int divisions,
                                         float ymin, float ymax, int i) {
    if (entries.size() == 3) {
        const double each = divisions > 0 ? (static_cast<double>(ymax) - ymin) / divisions : 0.0;
        return ymin + each * (i - 1);
    }
    if (i > divisions) {
        return std::nullopt;
    }
    return EntryNumber(entries, i);
}

// Whole numbers label the lines unless both ends of the range are fractional, or unless
// rounding would give two lines the same label (a short range over many lines), which would
// misstate where the lines lie: then two decimals.
bool LabelsNeedDecimals(const std::vector<double>& values, float ymin, float ymax) {
    if (IsAbove(ymin, std::floor(ymin)) && IsAbove(ymax, std::floor(ymax)))
        return true;
    std::set<Text> seen;
    for (const double v : values) {
        if (!seen.insert(AxisValueText(v, false)).second)
            return true;
    }
    return false;
}

void AddVerticalLabels(const PlotRect& plot, const std::vector<Text>& entries,
                       const TextWidth& width, VerticalLayout& layout) {
    std::vector<std::pair<int, double>> values; // line number, value
    for (int i = 1; i <= layout.divisions + 1; ++i) {
        if (const std::optional<double> v =
                VerticalLabelValue(entries, layout.divisions, layout.ymin, layout.ymax, i))
            values.emplace_back(i, *v);
    }
    std::vector<double> plain;
    for (const auto& value : values)
        plain.push_back(value.second);
    const bool twoDecimals = LabelsNeedDecimals(plain, layout.ymin, layout.ymax);
    for (const auto& [i, v] : values) {
        const double y = plot.bottom - layout.yscale * (v - layout.ymin);
        if (i > 1) {
            layout.majorLines.push_back({plot.left + 1.0, y, double(plot.right), y});
        }
        const Text text = AxisValueText(v, twoDecimals);
        layout.labels.push_back(
            {text, plot.left - width(text) - LeftOfAxis, y - ChartEm / 2.0 - 1});
    }
}

} // namespace

PlotRect PlotRectangle(int panelWidth, int panelHeight, const ChartMargins& extra) {
    return PlotRect{extra.left + MarginLeft, panelWidth - MarginRight - extra.right,
                    panelHeight - MarginBottom - extra.bottom, extra.top + MarginTop};
}

ChartLine HorizontalAxis(const PlotRect& plot) {
    return {double(plot.left), double(plot.bottom), double(plot.right + AxisPastRight),
            double(plot.bottom)};
}

ChartLine VerticalAxis(const PlotRect& plot) {
    return {double(plot.left), double(plot.bottom), double(plot.left),
            double(plot.top - AxisPastTop)};
}

std::vector<Text> SplitChartSpec(const Text& description) {
    // A full-width "｜" separates entries as "|" does.
    std::vector<Text> entries = SplitText(ReplaceAll(description, "｜"_gbk, "|"), "|");
    if (entries.back().empty()) {
        entries.pop_back(); // a "|" at the very end, or an empty description, opens no entry
    }
    return entries;
}

double EstimateTextWidth(const Text& text) {
    return ChartEm / 2.0 * static_cast<double>(text.size());
}

HorizontalLayout LayoutHorizontalAxis(const PlotRect& plot, const Text& description,
                                      int subdivision, const TextWidth& width) {
    HorizontalLayout layout;
    const std::vector<Text> entries = SplitChartSpec(description);
    layout.entryCount = static_cast<int>(entries.size());
    layout.intervals = TruncatedNumber(EntryNumber(entries, 1));
    layout.minorCount = std::max(0, (layout.entryCount - 2) * subdivision);
    if (layout.minorCount > 0) {
        layout.step = double(plot.right - plot.left) / layout.minorCount;
    }
    for (int i = 1; i <= layout.minorCount; ++i) {
        const double x = plot.left + layout.step * i;
        layout.minorLines.push_back({x, plot.bottom - 1.0, x, double(plot.top)});
    }
    // Without a step every entry would fall on the first one: only the first is placed.
    const int last = layout.minorCount > 0 ? layout.entryCount : std::min(layout.entryCount, 2);
    for (int i = 2; i <= last; ++i) {
        const double x = plot.left + layout.step * subdivision * (i - 2);
        if (i > 2) {
            layout.majorLines.push_back({x, plot.bottom - 1.0, x, double(plot.top)});
        }
        const Text& label = entries[static_cast<std::size_t>(i - 1)];
        if (!label.empty()) {
            const double left = i == 2 ? x - 1 : x - width(label) / 2;
            layout.labels.push_back({label, left, double(plot.bottom + BelowAxis)});
        }
    }
    return layout;
}

VerticalLayout LayoutVerticalAxis(const PlotRect& plot, const Text& description, int subdivision,
                                  const TextWidth& width) {
    VerticalLayout layout;
    const std::vector<Text> entries = SplitChartSpec(description);
    const int count = static_cast<int>(entries.size());
    const bool range = count == 3;
    layout.divisions =
        std::min(range ? TruncatedNumber(EntryNumber(entries, 1)) : count, MaxDivisions);
    layout.ymin = static_cast<float>(EntryNumber(entries, range ? 2 : 1));
    layout.ymax = static_cast<float>(EntryNumber(entries, range ? 3 : count));
    layout.yscale = ScaleOf(plot, layout.ymin, layout.ymax);
    if (!layout.Scaled()) {
        return layout;
    }
    const int minor = layout.divisions * std::max(0, subdivision);
    for (int i = 1; i <= minor; ++i) {
        const double y = plot.bottom - double(plot.bottom - plot.top) / minor * i;
        layout.minorLines.push_back({plot.left + 1.0, y, double(plot.right), y});
    }
    AddVerticalLabels(plot, entries, width, layout);
    if (layout.ymin < -Tolerance && layout.ymax > Tolerance) {
        const double y0 = plot.bottom - layout.yscale * (0 - layout.ymin);
        layout.zeroLine = ChartLine{plot.left + 1.0, y0, double(plot.right), y0};
        layout.zeroLabel = {"0", double(plot.left - ChartEm), y0 - ChartEm / 2.0};
    }
    return layout;
}

Text AxisValueText(double value, bool twoDecimals) {
    return NumberToText(RoundHalfAway(value, twoDecimals ? 2 : 0) + 0.0);
}

AxisTitles PlaceAxisTitles(const PlotRect& plot, const Text& titles) {
    const Text all = ReplaceAll(titles, "｜"_gbk, "|");
    const Text x = TextBeforeFirst(all, "|");
    AxisTitles placed;
    placed.x = {x, double(plot.right + XTitleRight), double(plot.bottom - XTitleUp)};
    placed.y = {ReplaceAll(all, x + "|", ""), double(plot.left - YTitleLeft),
                double(plot.top - YTitleUp)};
    return placed;
}

std::vector<ChartPoint> SeriesPoints(const PlotRect& plot, int intervals, float ymin, float ymax,
                                     const std::vector<float>& values) {
    std::vector<ChartPoint> points;
    const double yscale = ScaleOf(plot, ymin, ymax);
    if (intervals < 1 || yscale == 0) {
        return points;
    }
    const double xstep = double(plot.right - plot.left) / intervals;
    for (std::size_t i = 0; i < values.size(); ++i) {
        points.push_back({plot.left + xstep * static_cast<double>(i),
                          plot.bottom - yscale * (static_cast<double>(values[i]) - ymin)});
    }
    return points;
}

Legend PlaceLegend(const PlotRect& plot, int rowCount, int penWidth, const Text& name,
                   int fontPoints, int em) {
    const int ly =
        plot.top + static_cast<int>(std::lround(fontPoints * LegendRowPerPoint * (rowCount - 1)));
    return Legend{{plot.right + LegendBarFrom, ly, plot.right + LegendBarTo, ly + penWidth},
                  {name, double(plot.right + LegendNameAt), ly - em / 2.0}};
}

} // namespace fundlens
