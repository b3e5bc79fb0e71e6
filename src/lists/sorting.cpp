#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "portal/ranking.h"
#include "shell/messages.h"
#include "shell/program_state.h"

namespace fundlens {

void ReloadSorted(const Text& sortKey) {
    ProgramState& state = State();
    const Text order = state.SortAscendingNext == 1 ? "asc" : "desc";
    // The order flips once the reload has ended, also when it failed or was overtaken.
    auto flip = [](RunEnd) { State().SortAscendingNext = State().SortAscendingNext == 1 ? 0 : 1; };
    if (state.ListIsFiveStar == 1)
        LoadFiveStarList(sortKey, order, flip);
    else
        LoadSectorList(state.CurrentSectorCode, sortKey, order, flip);
}

void FundListHeaderClicked(int /*row*/, int column) {
    // Refused during a load, for any column.
    if (ListLoadRunning()) {
        ShowMessage("数据加载中，请稍后再试"_gbk);
        return;
    }
    const Text key = SortKeyOfColumn(column);
    if (!key.empty())
        ReloadSorted(key);
}

} // namespace fundlens
