#include "compare/comparison_loader.h"

#include "chart/chart_drawing.h"
#include "chart/periods.h"
#include "runs/runs.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

namespace fundlens {

namespace {

// How the comparison is drawn.
constexpr int SeriesWidth = 3;
constexpr Rgb SeriesColorA = RgbRed;
constexpr Rgb SeriesColorB = MakeRgb(192, 96, 0);
constexpr int HorizontalSubdivision = 2;
constexpr int VerticalSubdivision = 0;

Comparison FetchAndCut(const Text& url, const ComparedFunds& funds, const Cancellation& cancel) {
    WebCall call;
    call.url = url;
    call.extraHeaders = CompareRefererHeader();
    call.cancel = &cancel;
    const Text answer = Utf8ToText(WebRequest(call));
    return CutComparison(answer, funds.codeA, funds.codeB);
}

} // namespace

ChartView ComparisonChart(const Comparison& comparison, const ComparedFunds& funds) {
    ChartView chart;
    chart.horizontalSpec = comparison.horizontalSpec;
    chart.verticalSpec = comparison.verticalSpec;
    chart.horizontalSubdivision = HorizontalSubdivision;
    chart.verticalSubdivision = VerticalSubdivision;
    chart.axisTitles = "时间|涨跌（%）"_gbk;
    chart.dates = comparison.dates;
    if (!funds.codeA.empty())
        chart.series.push_back({funds.codeA, SeriesColorA, SeriesWidth, comparison.seriesA});
    if (!funds.codeB.empty())
        chart.series.push_back({funds.codeB, SeriesColorB, SeriesWidth, comparison.seriesB});
    return chart;
}

ComparedFunds FundsInComparison() {
    const ProgramState& state = State();
    return ComparedFunds{state.CurrentFundCode, state.CompareFundCode, state.CompareCodes};
}

Pending<Comparison> FetchComparison(const RunToken& run, const ComparedFunds& funds,
                                    const Text& periodKey) {
    return OnPool(run, [url = CompareUrl(funds.codes, periodKey), funds](
                           const Cancellation& cancel) { return FetchAndCut(url, funds, cancel); });
}

void ShowComparison(const RunToken& run, const Comparison& comparison, const ComparedFunds& funds) {
    if (!comparison.ok) {
        ShowMessage(ComparisonFailedMessage());
        // The box waited on our stack: the window may have closed meanwhile.
        if (run.Current()) {
            run.Finish();
        }
        return;
    }
    if (comparison.HasPoints()) {
        State().Views.chart = ComparisonChart(comparison, funds);
        DrawChart(State().ChartState, ChartWindow().PanelNamed(ChartPanelName),
                  State().Views.chart);
    }
    run.Finish();
}

Loader LoadComparison(RunToken run, Text periodKey) {
    const ComparedFunds funds = FundsInComparison();
    Pending<Comparison> answer = FetchComparison(run, funds, periodKey);
    const Comparison comparison = co_await answer;
    ShowComparison(run, comparison, funds);
}

void SelectPeriod(int button) {
    const std::optional<Period> period = PeriodOfButton(button);
    if (!period) {
        return;
    }
    auto showTitle = [title = period->title](RunEnd how) {
        if (how == RunEnd::Finished) {
            ChartWindow().LabelNamed(ChartTitleName).SetCaption(title);
        }
    };
    const RunToken run = StartRun(RunName::Comparison, ChartWindow().widget(), button, showTitle);
    LoadComparison(run, period->key);
}

} // namespace fundlens
