#include "detail/fund_detail.h"

#include "detail/detail_column.h"
#include "detail/detail_load.h"
#include "detail/rating_and_risk.h"
#include "detail/top_holdings.h"
#include "portal/fund_profile.h"
#include "shell/main_view.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

namespace fundlens {

namespace {

// LoadFundDetail itself, LoadRatingAndRisk and LoadTopHoldings.
constexpr int LoadersPerSelection = 3;

// While a fund is pinned, the comparison grid's second row shows the current fund's list row,
// the colours of its figures included.
void MirrorListRow(int row) {
    CompareRowsView& compare = State().Views.compareRows;
    if (compare.pinned[CodeColumn].text.empty())
        return;
    const FundListRow* listed = State().Views.fundList.Row(row);
    const FundListRow empty{};
    const FundListRow& source = listed ? *listed : empty;
    for (int column = 0; column < FundListColumns; ++column) {
        const Figure& cell = source[static_cast<std::size_t>(column)];
        Figure& mirrored = compare.mirror[static_cast<std::size_t>(column)];
        mirrored.text = cell.text;
        if (column >= FirstPercentColumn)
            mirrored.color = cell.color.value_or(RgbBlack);
    }
    ShowCompareRows();
}

void ShowManagers(const DetailLoad& load, const ManagerInfo& info) {
    DetailColumnView& column = load.Column();
    column.managers = info.managers;
    column.tenure = {info.tenure, info.tenureColor};
    ShowDetail(load.Side(), DetailPart::Managers);
    ShowDetail(load.Side(), DetailPart::Tenure);
}

} // namespace

FundSelection SelectionAtRow(int row) {
    FundSelection fund;
    fund.row = row;
    if (const FundListRow* listed = State().Views.fundList.Row(row)) {
        fund.code = (*listed)[CodeColumn].text;
        fund.name = (*listed)[NameColumn].text;
    }
    return fund;
}

Loader LoadFundDetail(FundSelection fund) {
    ProgramState& state = State();
    if (!fund.picked)
        state.CurrentFundCode = fund.code;
    state.SearchPickFlag = 0;
    DetailColumnView& current = state.Views.current;
    current.name = fund.name;
    ShowDetail(DetailSide::Current, DetailPart::Name);
    if (fund.code.empty()) {
        EndRuns(RunEvent::NoFundSelected);
        co_return;
    }
    MirrorListRow(fund.row);
    EmptyDetailColumn(current);
    ShowDetailColumn(DetailSide::Current);
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
    load->Column().size = size;
    ShowDetail(load->Side(), DetailPart::Size);
    const ManagerInfo managers = co_await managerAnswer;
    ShowManagers(*load, managers);
    load->LoaderDone();
}

bool DetailLoadRunning() {
    return IsRunning(RunName::DetailLoad) || IsRunning(RunName::CompareColumnLoad);
}

void FundListCursorMoved(int row, int) {
    LoadFundDetail(SelectionAtRow(row));
}

} // namespace fundlens
