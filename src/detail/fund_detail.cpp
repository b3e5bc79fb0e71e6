#include "detail/fund_detail.h"

#include "detail/detail_load.h"
#include "detail/rating_and_risk.h"
#include "detail/top_holdings.h"
#include "portal/fund_profile.h"
#include "portal/rank_record.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

#include <array>

namespace fundlens {

namespace {

constexpr int NameColumn = 0;
constexpr int CodeColumn = 1;
// A picked fund is the one row of the fund list.
constexpr int PickedRow = 1;
// The comparison grid: the pinned fund's row, and the row mirroring the current fund.
constexpr int PinnedRow = 1;
constexpr int MirrorRow = 2;
// LoadFundDetail itself, LoadRatingAndRisk and LoadTopHoldings.
constexpr int LoadersPerSelection = 3;

struct FundSelection {
    Text code;
    Text name;
    int row = -1; // the fund's row in the fund list
};

// The fund to show, as the list and the state say now; SearchPickFlag is consumed.
FundSelection TakeSelection() {
    ProgramState& state = State();
    const Grid list = MainWindow().GridNamed("高级表格1");
    const bool picked = state.SearchPickFlag != 0;
    state.SearchPickFlag = 0;
    const int row = picked ? PickedRow : list.CursorRow();
    if (!picked)
        state.CurrentFundCode = list.CellText(row, CodeColumn);
    return {state.CurrentFundCode, list.CellText(row, NameColumn), row};
}

// While a fund is pinned, the comparison grid's second row shows the current fund's list row,
// its colours included.
void MirrorListRow(int row) {
    const Grid list = MainWindow().GridNamed("高级表格1");
    Grid compare = MainWindow().GridNamed("高级表格2");
    if (compare.CellText(PinnedRow, CodeColumn).empty())
        return;
    for (int column = 0; column < FundListColumns; ++column)
        compare.SetCellText(MirrorRow, column, list.CellText(row, column));
    for (int column = FirstPercentColumn; column < FundListColumns; ++column)
        compare.SetCellColor(MirrorRow, column, list.CellColor(row, column));
}

void ShowManagers(const DetailColumn& column, const ManagerInfo& info) {
    column.ManagersLabel().SetCaption(info.managers);
    Label tenure = column.TenureLabel();
    tenure.SetTextColor(info.tenureColor);
    tenure.SetCaption(info.tenure);
}

} // namespace

Loader LoadFundDetail() {
    const FundSelection fund = TakeSelection();
    CurrentColumn.NameLabel().SetCaption(fund.name);
    if (fund.code.empty()) {
        CurrentColumnRuns().Stop(); // an older fund's answers write nothing under this name
        co_return;
    }
    MirrorListRow(fund.row);
    EmptyDetailColumn(CurrentColumn);
    const DetailLoadPtr load = StartDetailLoad(fund.code, LoadersPerSelection);
    Pending<Text> sizeAnswer =
        OnPool(load->run, [url = ProfilePageUrl(fund.code)](const Cancellation& cancel) {
            return CutProfile(WebRequest(url, &cancel));
        });
    Pending<ManagerInfo> managerAnswer =
        OnPool(load->run, [url = ManagerPageUrl(fund.code)](const Cancellation& cancel) {
            return CutManager(WebRequest(url, &cancel));
        });
    LoadRatingAndRisk(load);
    LoadTopHoldings(load);

    const Text size = co_await sizeAnswer;
    load->Column().SizeLabel().SetCaption(size);
    const ManagerInfo managers = co_await managerAnswer;
    ShowManagers(load->Column(), managers);
    load->LoaderDone();
}

bool DetailLoadRunning() {
    return CurrentColumnRuns().Running() || CompareColumnRuns().Running();
}

void FundListCursorMoved(int, int) {
    LoadFundDetail();
}

} // namespace fundlens
