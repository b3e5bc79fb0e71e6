// The comparison chart's loads: one period's cumulative returns of the funds in the comparison,
// fetched from the compare endpoint, cut and drawn on the chart window's panel.
//
// The chart window's opening load and its period buttons are runs of one kind: the latest one
// wins. An overtaken run writes neither chart nor title and tells nothing; the chart and the
// title 标签2 always belong to the last button pressed.
#pragma once

#include "portal/comparison.h"
#include "shell/async.h"
#include "shell/view_state.h"
#include "text/text.h"

namespace fundlens {

// The funds a comparison is drawn for: fund A (the current fund), fund B (the compare fund)
// and the codes sent to the endpoint (CompareCodes).
struct ComparedFunds {
    Text codeA, codeB, codes;
};
ComparedFunds FundsInComparison();

// The chart of a cut answer: fund A in red, fund B in orange, each named by its code.
ChartView ComparisonChart(const Comparison& comparison, const ComparedFunds& funds);

// Starts the request for `periodKey` on the pool; the answer comes back cut.
Pending<Comparison> FetchComparison(const RunToken& run, const ComparedFunds& funds,
                                    const Text& periodKey);

// Draws the cut answer, or says "坐标数据获取失败" and leaves the panel as it was; then the
// run ends (its end action runs when it is still current).
void ShowComparison(const RunToken& run, const Comparison& comparison, const ComparedFunds& funds);

// Fetches, cuts and shows one period for `run`.
Loader LoadComparison(RunToken run, Text periodKey);

// A period button (1 … 7): loads its period; once the load has ended, the button's title goes
// into 标签2 (also when nothing could be drawn), unless a newer load has overtaken it.
void SelectPeriod(int button);

} // namespace fundlens
