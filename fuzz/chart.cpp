// The chart arithmetic over a comparison cut: both axes laid out from the cut's descriptions,
// the curves' points, and the mouse read-out swept across the plot and the band around it.
#include "chart/readout_geometry.h"
#include "fuzz/fuzz_input.h"
#include "portal/comparison.h"

namespace fundlens {
namespace {

// The chart window's draw panel, minor lines per interval, and the mouse's steps.
constexpr int PanelWidth = 632;
constexpr int PanelHeight = 328;
constexpr int Subdivision = 2;
constexpr int MouseStep = 7;
constexpr int MouseBeyond = 30;

void Draw(const Comparison& cut) {
    if (!cut.HasPoints())
        return;
    const PlotRect plot = PlotRectangle(PanelWidth, PanelHeight);
    const HorizontalLayout horizontal = LayoutHorizontalAxis(plot, cut.horizontalSpec, Subdivision);
    const VerticalLayout vertical = LayoutVerticalAxis(plot, cut.verticalSpec, Subdivision);
    ReadoutTable table;
    AddReadoutRow(table, ReadoutHeaderRow("日期"_gbk, ChartLabelGrey, cut.dates));
    for (const std::vector<float>* series : {&cut.seriesA, &cut.seriesB}) {
        if (series->empty())
            continue;
        SeriesPoints(plot, horizontal.intervals, vertical.ymin, vertical.ymax, *series);
        AddReadoutRow(table, ReadoutSeriesRow("基金"_gbk, RgbRed, *series));
    }
    const int rowCount = static_cast<int>(table.size());
    const int y = (plot.top + plot.bottom) / 2;
    int boxX = 0;
    int lastColumn = 0;
    for (int x = plot.left - MouseBeyond; x <= plot.right + MouseBeyond; x += MouseStep) {
        const ReadoutPlan plan =
            PlanReadout(plot, horizontal.intervals, table, rowCount, x, y, boxX, lastColumn);
        boxX = plan.placement.boxX;
        lastColumn = plan.lastColumn;
    }
}

} // namespace
} // namespace fundlens

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text answer = fuzz::Answer(data, size);
    for (const Text& text : {answer, Utf8ToText(answer)}) {
        Draw(CutComparison(text, "005669", "005939"));
        Draw(CutComparison(text, "005669", ""));
    }
    return 0;
}
