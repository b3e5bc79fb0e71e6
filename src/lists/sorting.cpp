#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "portal/ranking.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"

#include <array>

namespace fundlens {

void ReloadSorted(const Text& sortKey) {
    ProgramState& state = State();
    const Text order = state.SortAscendingNext == 1 ? "asc" : "desc";
    if (state.ListIsFiveStar == 1)
        LoadFiveStarList(sortKey, order);
    else
        LoadSectorList(state.CurrentSectorCode, sortKey, order);
    state.SortAscendingNext = state.SortAscendingNext == 1 ? 0 : 1;
}

void FundListHeaderClicked(int /*row*/, int column) {
    // The title says "正在加载" from the first page on; the probe comes before it.
    if (FindText(MainWindow().Title(), "正在加载"_gbk) != Text::npos || ListLoadRunning()) {
        ShowMessage("数据加载中，请稍后再试"_gbk);
        return;
    }
    const Text key = SortKeyOfColumn(column);
    if (!key.empty())
        ReloadSorted(key);
}

} // namespace fundlens
