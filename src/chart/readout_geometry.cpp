#include "chart/readout_geometry.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

// The band around the plot where the mouse is followed.
constexpr int AreaLeft = 10;
constexpr int AreaRight = 20;
constexpr int AreaTop = 20;
constexpr int AreaBottom = 10;

// The crosshair runs to the axes' ends.
constexpr int CrosshairPastRight = 20;
constexpr int CrosshairPastTop = 30;

// A table needs this many columns (name, colour, three points) for the box to appear.
constexpr int MinReadoutColumns = 5;

// The box: 768/72 of the font size plus 30 wide (126 pixels at 9 points), em + 5 per row,
// its top 20 pixels above the plot; 10 pixels from the plot's side it keeps to, moving when
// its left edge is on the wrong side of left + 100.
constexpr double BoxWidthPerPoint = 768.0 / 72.0;
constexpr int BoxWidthExtra = 30;
constexpr int BoxRowExtra = 5;
constexpr int BoxAbovePlot = 20;
constexpr int BoxSideGap = 10;
constexpr int BoxSideLimit = 100;
constexpr int BoxFillInset = 2;

// Lines in the box: 5 pixels in, em + 3 apart; names cut to 8 bytes.
constexpr int LineInset = 5;
constexpr int LineExtra = 3;
constexpr std::size_t NameBytes = 8;

// At most `limit` leading bytes of a GBK text, never ending inside a two-byte character.
Text LeadingBytes(const Text& text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const auto lead = static_cast<unsigned char>(text[end]);
        const auto next = end + 1 < text.size() ? static_cast<unsigned char>(text[end + 1]) : 0;
        const bool pair = lead >= 0x81 && lead <= 0xFE && next >= 0x40 && next != 0x7F &&
                          next <= 0xFE; // GBK lead byte and trail byte
        const std::size_t length = pair ? 2 : 1;
        if (end + length > limit) {
            break;
        }
        end += length;
    }
    return text.substr(0, end);
}

const Text& CellOf(const ReadoutRow& row, std::size_t index) {
    static const Text empty;
    return index < row.size() ? row[index] : empty;
}

} // namespace

ReadoutRow ReadoutHeaderRow(const Text& xTitle, Rgb textColour, const std::vector<Text>& dates) {
    ReadoutRow row{dates.empty() ? Text() : xTitle, NumberToText(std::int64_t{textColour})};
    row.insert(row.end(), dates.begin(), dates.end());
    return row;
}

ReadoutRow ReadoutSeriesRow(const Text& name, Rgb penColour, const std::vector<float>& values) {
    ReadoutRow row{name, NumberToText(std::int64_t{penColour})};
    for (float v : values) {
        row.push_back(NumberToText(v + 0.0f)); // "-0" is written "0"
    }
    return row;
}

void AddReadoutRow(ReadoutTable& table, ReadoutRow row) {
    const std::size_t columns =
        std::max<std::size_t>(row.size(), static_cast<std::size_t>(ReadoutColumnCount(table)));
    table.push_back(std::move(row));
    for (ReadoutRow& r : table) {
        r.resize(columns);
    }
}

int ReadoutColumnCount(const ReadoutTable& table) {
    return table.empty() ? 0 : static_cast<int>(table.front().size());
}

bool InReadoutArea(const PlotRect& plot, int x, int y) {
    return !IsAbove(plot.left - AreaLeft, x) && !IsAbove(x, plot.right + AreaRight) &&
           !IsAbove(plot.top - AreaTop, y) && !IsAbove(y, plot.bottom + AreaBottom);
}

Crosshair CrosshairAt(const PlotRect& plot, int x, int y) {
    return Crosshair{
        {double(plot.left), double(y), double(plot.right + CrosshairPastRight), double(y)},
        {double(x), double(plot.bottom), double(x), double(plot.top - CrosshairPastTop)}};
}

int ReadoutColumn(const PlotRect& plot, int intervals, int x, int columnCount) {
    if (columnCount < MinReadoutColumns) {
        return 0;
    }
    const int width = plot.right - plot.left;
    const double column =
        width == 0 ? 1.0 : std::trunc(double(x - plot.left) / width * intervals + 1);
    return static_cast<int>(std::clamp(column, 1.0, double(columnCount - 2)));
}

int ReadoutBoxWidth(int fontPoints) {
    return static_cast<int>(fontPoints * BoxWidthPerPoint + BoxWidthExtra);
}

int ReadoutBoxHeight(int rowCount, int em) {
    return (em + BoxRowExtra) * rowCount;
}

int ReadoutBoxTop(const PlotRect& plot) {
    return plot.top - BoxAbovePlot;
}

BoxPlacement PlaceReadoutBox(const PlotRect& plot, int intervals, int column, int boxX,
                             int boxWidth) {
    const double middle = intervals / 2.0;
    const int leftSide = plot.left + BoxSideGap;
    const int rightSide = plot.right - boxWidth - BoxSideGap;
    const int limit = plot.left + BoxSideLimit;
    BoxPlacement placement{boxX, false};
    if (placement.boxX == 0) {
        placement.boxX = column < middle ? leftSide : rightSide;
    }
    if (IsAbove(middle, column) && IsAbove(limit, placement.boxX)) {
        placement = {rightSide, true};
    } else if (IsAbove(column, middle) && IsAbove(placement.boxX, limit)) {
        placement = {leftSide, true};
    }
    return placement;
}

ReadoutLine ReadoutLineOf(const ReadoutRow& row, int column, int rowIndex, int boxX, int boxTop,
                          int em) {
    const Text text = LeadingBytes(CellOf(row, 0), NameBytes) + "："_gbk +
                      CellOf(row, static_cast<std::size_t>(column) + 1);
    return ReadoutLine{
        {text, double(boxX + LineInset), double(boxTop + (em + LineExtra) * rowIndex + LineInset)},
        static_cast<Rgb>(TextToNumber(CellOf(row, 1)))};
}

ReadoutPlan PlanReadout(const PlotRect& plot, int intervals, const ReadoutTable& table,
                        int rowCount, int x, int y, int boxX, int lastColumn) {
    ReadoutPlan plan;
    plan.inside = InReadoutArea(plot, x, y);
    if (!plan.inside) {
        return plan;
    }
    plan.crosshair = CrosshairAt(plot, x, y);
    plan.lastColumn = lastColumn;
    plan.placement.boxX = boxX;
    const int column = ReadoutColumn(plot, intervals, x, ReadoutColumnCount(table));
    if (column == 0 || column == lastColumn) {
        return plan;
    }
    plan.lastColumn = column;
    if (CellOf(table.front(), 0).empty()) {
        return plan;
    }
    plan.showBox = true;
    const int width = ReadoutBoxWidth();
    const int top = ReadoutBoxTop(plot);
    const int height = ReadoutBoxHeight(rowCount);
    plan.placement = PlaceReadoutBox(plot, intervals, column, boxX, width);
    const int left = plan.placement.boxX;
    plan.outline = {left, top, left + width, top + height};
    plan.fill = {left + BoxFillInset, top + BoxFillInset, left + width - BoxFillInset,
                 top + height - BoxFillInset};
    for (int r = 0; r < rowCount; ++r) {
        static const ReadoutRow missing;
        const ReadoutRow& row =
            r < static_cast<int>(table.size()) ? table[std::size_t(r)] : missing;
        plan.lines.push_back(ReadoutLineOf(row, column, r, left, top));
    }
    return plan;
}

} // namespace fundlens
