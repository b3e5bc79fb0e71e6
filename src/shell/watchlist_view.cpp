#include "shell/watchlist_view.h"

namespace fundlens {

const WatchlistRow* WatchlistView::FundAt(int row) const {
    return row >= 1 && row <= static_cast<int>(funds.size())
               ? &funds[static_cast<std::size_t>(row - 1)]
               : nullptr;
}

const WatchlistRow* WatchlistView::RowAt(int row) const {
    if (row == static_cast<int>(funds.size()) + 1)
        return &totals;
    return FundAt(row);
}

} // namespace fundlens
