#include "chart/chart_readout.h"

#include "chart/chart_drawing.h"
#include "chart/readout_geometry.h"
#include "shell/program_state.h"

namespace fundlens {

namespace {

constexpr int CrosshairPenWidth = 1;
constexpr int BoxPenWidth = 1;

bool CrosshairDrawn(const ChartState& chart) {
    return IsAbove(chart.crosshairX + chart.crosshairY, 0);
}

// The crosshair inverts what it covers: drawn twice at one place, it is gone.
void InvertCrosshair(DrawPanel& panel, const Crosshair& crosshair) {
    const bool invert = panel.InvertMode();
    panel.SetPenStyle(PenStyle::Dotted);
    panel.SetPenWidth(CrosshairPenWidth);
    panel.SetInvertMode(true);
    DrawChartLine(panel, crosshair.horizontal);
    DrawChartLine(panel, crosshair.vertical);
    panel.SetInvertMode(invert);
}

// The box for the plan's column; true when it changed sides (the chart was restored first,
// taking the crosshair with it).
bool DrawReadoutBox(DrawPanel& panel, ChartState& chart, const ReadoutPlan& plan) {
    chart.boxX = plan.placement.boxX;
    panel.SetPenStyle(PenStyle::Solid);
    panel.SetPenWidth(BoxPenWidth);
    panel.SetPenColor(ReadoutBoxOutline);
    if (plan.placement.moved) {
        panel.RestoreImage(*chart.savedImage);
        panel.Rectangle(plan.outline.x1, plan.outline.y1, plan.outline.x2, plan.outline.y2);
    }
    panel.SetFontSize(ChartFontPoints);
    panel.SetBrushColor(ReadoutBoxFill);
    panel.FillRect(plan.fill.x1, plan.fill.y1, plan.fill.x2, plan.fill.y2);
    for (const ReadoutLine& line : plan.lines) {
        panel.SetTextColor(line.colour);
        DrawChartText(panel, line.text);
    }
    return plan.placement.moved;
}

} // namespace

void ResetReadout(ChartState& chart) {
    if (chart.savedImage && (CrosshairDrawn(chart) || chart.boxX != 0)) {
        chart.panel.RestoreImage(*chart.savedImage);
    }
    chart.crosshairX = chart.crosshairY = 0;
    chart.boxX = 0;
    chart.lastColumn = 0;
}

void ShowReadout(ChartState& chart, int x, int y) {
    if (!chart.savedImage) {
        return;
    }
    const PlotRect plot = ChartPlot(chart);
    const ReadoutPlan plan = PlanReadout(plot, chart.intervals, chart.ReadoutTable, chart.rowCount,
                                         x, y, chart.boxX, chart.lastColumn);
    if (!plan.inside) {
        ResetReadout(chart);
        return;
    }
    DrawPanel& panel = chart.panel;
    // The old crosshair goes before the box is drawn, the new one comes after it: the box
    // never covers a part of a crosshair that a later inversion would bring back as a streak.
    if (CrosshairDrawn(chart)) {
        InvertCrosshair(panel, CrosshairAt(plot, chart.crosshairX, chart.crosshairY));
    }
    chart.lastColumn = plan.lastColumn;
    const bool moved = plan.showBox && DrawReadoutBox(panel, chart, plan);
    if (moved) {
        chart.crosshairX = chart.crosshairY = 0; // back with the next move
        return;
    }
    InvertCrosshair(panel, plan.crosshair);
    chart.crosshairX = x;
    chart.crosshairY = y;
}

} // namespace fundlens
