#include "detail/search_pick.h"

#include "detail/fund_detail.h"
#include "portal/fund_main_page.h"
#include "portal/picked_fund.h"
#include "runs/runs.h"
#include "shell/main_view.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

namespace fundlens {

namespace {

// The fund list's row the picked fund is shown in.
constexpr int PickedRow = 1;

void ShowPickedRow(const Text& name, const Text& code, const MainPageFigures& figures) {
    FundListView& list = State().Views.fundList;
    list.rowCount = FundListRows;
    list.rows = {PickedFundRow(name, code, figures)};
    ShowFundListFrame();
    ShowFundListRows(PickedRow, 1);
}

void CloseSuggestions() {
    MainWindow().EditNamed(SearchBoxName).SetContent({});
    State().Views.suggestions.clear();
    ShowSuggestionLines();
    ShowSuggestionList(false);
}

} // namespace

Loader ShowPickedFund(int line) {
    const std::vector<Suggestion>& lines = State().Views.suggestions;
    if (line < 0 || line >= static_cast<int>(lines.size()))
        return {};
    const Suggestion& picked = lines[static_cast<std::size_t>(line)];
    return OpenPickedFund(picked.code, picked.name);
}

Loader OpenPickedFund(Text code, Text name) {
    const RunToken run = StartRun(RunName::Pick, MainWindow().widget());
    Pending<MainPageFigures> pageAnswer =
        OnPool(run, [url = MainPageUrl(code)](const Cancellation& cancel) {
            return CutMainPage(WebRequest(url, &cancel));
        });
    const MainPageFigures figures = co_await pageAnswer;
    ShowPickedRow(name, code, figures);
    CloseSuggestions();
    run.Finish();
    State().CurrentFundCode = code;
    State().SearchPickFlag = 1;
    LoadFundDetail(FundSelection{code, name, PickedRow, true});
}

} // namespace fundlens
