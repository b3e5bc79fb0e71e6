#include "basket/basket_loads.h"

#include "basket/basket_chart.h"
#include "basket/basket_fetch.h"
#include "basket/basket_set.h"
#include "basket/basket_tables.h"
#include "chart/periods.h"
#include "portal/profile.h"
#include "runs/runs.h"
#include "shell/basket_form.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"

#include <algorithm>

namespace fundlens {

namespace {

// Every archive of a full basket at once.
constexpr int ArchivesAtOnce = MaxBasketFunds;

bool Contains(const std::vector<Text>& codes, const Text& code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

Text PeriodTitle(int button) {
    const std::optional<Period> period = PeriodOfButton(button);
    return period ? period->title : Text();
}

} // namespace

void RefreshBasketTables() {
    BasketView& basket = Basket();
    const BasketTables tables =
        ComputeBasketTables(BasketDataOf(basket), CurrentPortalProfile().riskFreePct);
    basket.risk = RiskTableOf(tables, ShownDecimals);
    basket.correlation = CorrelationTableOf(tables, ShownDecimals);
    basket.overlap = OverlapTableOf(tables, ShownDecimals);
    ShowBasketTables();
}

void RefreshOverlapTable() {
    BasketView& basket = Basket();
    // Without the curves' points; the risk-free rate plays no part in the overlap.
    const BasketTables tables = ComputeBasketTables(BasketDataOf(basket, false), 0);
    basket.overlap = OverlapTableOf(tables, ShownDecimals);
    ShowBasketTable(BasketTable::Overlap);
}

void ShowBasket() {
    ShowBasketSummary();
    ShowBasketTitle();
    ShowBasketChart();
    RefreshBasketTables();
}

void StoreBasketCurves(BasketView& basket, const std::vector<Text>& codes, int periodButton,
                       const FundCurves& curves) {
    BasketCurves stored;
    stored.periodButton = periodButton;
    if (curves.HasPoints()) {
        stored.dates = curves.dates;
        stored.horizontalSpec = curves.horizontalSpec;
    }
    for (std::size_t f = 0; f < codes.size(); ++f) {
        if (basket.Find(codes[f]) == nullptr)
            continue; // removed meanwhile
        BasketCurve& curve = stored.byCode[codes[f]];
        if (curves.HasPoints() && curves.found[f]) {
            curve.state = Fetched::Loaded;
            curve.values = curves.values[f];
        } else {
            curve.state = Fetched::Failed;
        }
    }
    basket.curves = std::move(stored);
}

void StoreBasketHoldings(BasketView& basket, const Text& code,
                         const std::optional<TopHoldings>& top) {
    if (basket.Find(code) == nullptr)
        return;
    BasketHoldings& held = basket.holdings[code];
    held.state = top ? Fetched::Loaded : Fetched::Failed;
    held.top = top.value_or(TopHoldings{});
}

Loader LoadBasketCurves(RunToken run, std::vector<Text> codes, int periodButton) {
    const std::optional<Period> period = PeriodOfButton(periodButton);
    const Text key = period ? period->key : Text();
    Pending<FundCurves> answer = OnPool(run, [codes, key](const Cancellation& cancel) {
        return FetchBasketCurves(codes, key, &cancel);
    });
    const FundCurves curves = co_await answer;
    BasketView& basket = Basket();
    StoreBasketCurves(basket, codes, periodButton, curves);
    basket.title = PeriodTitle(periodButton);
    ShowBasketTitle();
    ShowBasketChart();
    RefreshBasketTables();
    if (!curves.HasPoints()) {
        ShowMessage(ComparisonFailedMessage());
        // The box waited on our stack: the window may have closed meanwhile.
        if (!run.Current())
            co_return;
    }
    run.Finish();
}

Loader LoadBasketHoldings(RunToken run, std::vector<Text> codes) {
    std::vector<std::function<std::optional<TopHoldings>(const Cancellation&)>> jobs;
    for (const Text& code : codes) {
        jobs.push_back([code](const Cancellation& cancel) { return FetchTopTen(code, &cancel); });
    }
    std::vector<Pending<std::optional<TopHoldings>>> answers =
        OnPoolInOrder(run, std::move(jobs), ArchivesAtOnce);
    for (std::size_t f = 0; f < answers.size(); ++f) {
        const std::optional<TopHoldings> top = co_await answers[f];
        StoreBasketHoldings(Basket(), codes[f], top);
        RefreshOverlapTable();
    }
    run.Finish();
}

void StartBasketCurves() {
    QWidget* window = BasketWindow().widget();
    if (window == nullptr)
        return;
    BasketView& basket = Basket();
    if (basket.funds.empty()) {
        EndRuns(RunEvent::BasketEmptied);
        basket.curves = BasketCurves{};
        basket.title = PeriodTitle(basket.periodButton);
        ShowBasket();
        return;
    }
    const RunToken run = StartRun(RunName::BasketLoad, window);
    LoadBasketCurves(run, basket.Codes(), basket.periodButton);
}

void StartBasketHoldings(const std::vector<Text>& codes) {
    QWidget* window = BasketWindow().widget();
    if (window == nullptr)
        return;
    BasketView& basket = Basket();
    std::vector<Text> asked;
    for (const BasketFund& fund : basket.funds) {
        BasketHoldings& held = basket.holdings[fund.code];
        if (held.state != Fetched::Loaded || Contains(codes, fund.code)) {
            held = BasketHoldings{}; // pending: nothing of an earlier answer is shown
            asked.push_back(fund.code);
        }
    }
    RefreshOverlapTable();
    if (asked.empty())
        return;
    const RunToken run = StartRun(RunName::BasketHoldings, window);
    LoadBasketHoldings(run, std::move(asked));
}

bool BasketLoadsRunning() {
    return IsRunning(RunName::BasketLoad) || IsRunning(RunName::BasketHoldings);
}

} // namespace fundlens
