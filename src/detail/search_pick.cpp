#include "detail/search_pick.h"

#include "detail/fund_detail.h"
#include "portal/fund_main_page.h"
#include "portal/picked_fund.h"
#include "shell/list_runs.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

namespace fundlens {

namespace {

// The suggestion list's columns.
constexpr int SuggestionName = 0;
constexpr int SuggestionCode = 1;
// The fund list's row the picked fund is shown in.
constexpr int PickedRow = 1;

void ShowPickedRow(const Text& name, const Text& code, const MainPageFigures& figures) {
    Grid list = MainWindow().GridNamed("高级表格1");
    list.Reset();
    const auto cells = PickedFundRow(name, code, figures);
    for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
        const ListCell& cell = cells[static_cast<std::size_t>(column)];
        list.SetCellText(PickedRow, column, cell.text);
        if (cell.color)
            list.SetCellColor(PickedRow, column, *cell.color);
    }
}

void CloseSuggestions() {
    MainWindow().EditNamed("搜索框").SetContent({});
    ListView suggestions = MainWindow().ListNamed("超级列表框1");
    suggestions.Clear();
    suggestions.SetVisible(false);
}

} // namespace

Loader ShowPickedFund() {
    const ListView suggestions = MainWindow().ListNamed("超级列表框1");
    const int line = suggestions.SelectedIndex();
    if (line < 0)
        co_return;
    const Text code = suggestions.ItemText(line, SuggestionCode);
    const Text name = suggestions.ItemText(line, SuggestionName);
    State().CurrentFundCode = code;
    const RunToken run = FundListRuns().Start(MainWindow().widget(), PickedFundRun);
    Pending<MainPageFigures> pageAnswer =
        OnPool(run, [url = MainPageUrl(code)](const Cancellation& cancel) {
            return CutMainPage(WebRequest(url, &cancel));
        });
    const MainPageFigures figures = co_await pageAnswer;
    ShowPickedRow(name, code, figures);
    CloseSuggestions();
    run.Finish();
    // A cursor move while the page loaded may have made another fund current.
    State().CurrentFundCode = code;
    State().SearchPickFlag = 1;
    LoadFundDetail();
}

} // namespace fundlens
