#include "compare/comparison_loader.h"

#include "compare/chart_drawing.h"
#include "compare/periods.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

namespace fundlens {

namespace {

constexpr const char* PanelName = "画板1";
constexpr const char* TitleLabelName = "标签2";

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

void DrawComparison(const Comparison& comparison, const ComparedFunds& funds) {
    ChartFrame frame;
    frame.horizontalSpec = comparison.horizontalSpec;
    frame.verticalSpec = comparison.verticalSpec;
    frame.horizontalSubdivision = HorizontalSubdivision;
    frame.verticalSubdivision = VerticalSubdivision;
    frame.axisTitles = "时间|涨跌（%）"_gbk;
    frame.dates = comparison.dates;
    DrawChartFrame(ChartWindow().PanelNamed(PanelName), frame);
    if (!funds.codeA.empty()) {
        DrawSeries(comparison.seriesA, SeriesWidth, SeriesColorA, funds.codeA);
    }
    if (!funds.codeB.empty()) {
        DrawSeries(comparison.seriesB, SeriesWidth, SeriesColorB, funds.codeB);
    }
}

} // namespace

RunKind& ComparisonRuns() {
    static RunKind kind;
    return kind;
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
        DrawComparison(comparison, funds);
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
            ChartWindow().LabelNamed(TitleLabelName).SetCaption(title);
        }
    };
    const RunToken run = ComparisonRuns().Start(ChartWindow().widget(), button, showTitle);
    LoadComparison(run, period->key);
}

} // namespace fundlens
