#include "basket/basket_chart.h"

#include "chart/chart_drawing.h"
#include "chart/chart_readout.h"
#include "portal/comparison.h"
#include "shell/basket_form.h"
#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

namespace {

// As the chart window's comparison.
constexpr int HorizontalSubdivision = 2;
constexpr int VerticalSubdivision = 0;
constexpr const char* AxisTitleText = "时间|涨跌（%）";

} // namespace

ChartView BasketChart(const BasketView& basket) {
    ChartView chart;
    const BasketCurves& curves = basket.curves;
    if (curves.dates.empty())
        return chart;
    std::vector<std::vector<float>> values;
    for (const BasketFund& fund : basket.funds) {
        const auto curve = curves.byCode.find(fund.code);
        if (curve == curves.byCode.end() || curve->second.state != Fetched::Loaded)
            continue;
        const Rgb color =
            BasketSeriesColors[static_cast<std::size_t>(fund.colorSlot) % MaxBasketFunds];
        chart.series.push_back(
            {fund.code, color, BasketSeriesWidth, ChartValues(curve->second.values)});
        values.push_back(chart.series.back().values);
    }
    if (chart.series.empty())
        return chart;
    chart.horizontalSpec = curves.horizontalSpec;
    chart.verticalSpec = ValueRangeSpec(values);
    chart.horizontalSubdivision = HorizontalSubdivision;
    chart.verticalSubdivision = VerticalSubdivision;
    chart.axisTitles = Utf8ToText(AxisTitleText);
    chart.dates = curves.dates;
    return chart;
}

void ShowBasketChart() {
    DrawPanel panel = BasketWindow().PanelNamed(BasketPanelName);
    if (!panel.Exists())
        return;
    const ChartView chart = BasketChart(State().Views.basket);
    ChartState& state = State().BasketChartState;
    if (chart.series.empty()) {
        panel.Clear();
        state = ChartState{};
        state.panel = panel;
        return;
    }
    DrawChart(state, panel, chart);
}

void BasketPanelMouseMoved(int x, int y) {
    ShowReadout(State().BasketChartState, x, y);
}

} // namespace fundlens
