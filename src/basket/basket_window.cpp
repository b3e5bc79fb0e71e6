#include "basket/basket_window.h"

#include "basket/basket_chart.h"
#include "basket/basket_loads.h"
#include "basket/basket_set.h"
#include "basket/basket_tables.h"
#include "chart/periods.h"
#include "portal/profile.h"
#include "runs/runs.h"
#include "shell/basket_form.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "store/whole_file.h"

namespace fundlens {

void OpenBasketWindow() {
    const bool opening = !BasketWindow().Exists();
    const Window window = OpenModelessWindow(WindowId::Basket, [] { return new BasketForm; });
    if (!opening || !window.Exists())
        return;
    BasketView& basket = Basket();
    if (basket.funds.empty())
        basket.funds = StartingFunds();
    State().BasketChartState = ChartState{};
    State().BasketChartState.panel = window.PanelNamed(BasketPanelName);
    ShowBasketButton();
    ShowBasket(); // what is held, while it is fetched afresh
    StartBasketHoldings(basket.Codes());
    StartBasketCurves();
}

void SelectBasketPeriod(int button) {
    if (!PeriodOfButton(button))
        return;
    Basket().periodButton = button;
    StartBasketCurves();
}

void BasketWindowClosed() {
    EndRuns(RunEvent::BasketClosed);
    State().BasketChartState = ChartState{};
}

void ExportBasketTables() {
    const BasketView& basket = Basket();
    if (basket.funds.empty()) {
        ShowMessage("对比篮中没有基金"_gbk);
        return;
    }
    const std::string path = AskSaveFile(BasketCsvName);
    if (path.empty())
        return;
    const BasketTables tables =
        ComputeBasketTables(BasketDataOf(Basket()), CurrentPortalProfile().riskFreePct);
    std::string error;
    if (!WriteWholeFile(path, BasketCsv(tables), error))
        ShowMessage("表格导出失败："_gbk + Utf8ToText(error));
}

} // namespace fundlens
