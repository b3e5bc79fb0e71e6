#include "shell/view_state.h"

namespace fundlens {

const FundListRow* FundListView::Row(int row) const {
    return row >= 1 && row <= static_cast<int>(rows.size())
               ? &rows[static_cast<std::size_t>(row - 1)]
               : nullptr;
}

const FundListRow* CompareRowsView::Row(int row) const {
    return row == 1 ? &pinned : row == 2 ? &mirror : nullptr;
}

} // namespace fundlens
