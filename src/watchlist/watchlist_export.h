// The watchlist without a window: every watched fund's answers fetched at once on threads of
// its own, the rows made as the window makes them, and written as CSV.
#pragma once

#include "shell/watchlist_view.h"
#include "watchlist/watchlist_funds.h"

#include <string>
#include <vector>

namespace fundlens {

struct FetchedWatchlist {
    bool ok = false;
    Text failure; // GBK: which answer failed, when not ok
};

// Fetches every fund's main page and archive, at most `atOnce` at a time, then the quotes of
// all their stocks in batches, and settles them into `funds` at `time` ("HH:MM:SS"). Not ok
// when any answer failed: a partial list would pass for a whole one.
FetchedWatchlist FetchWatchlist(std::vector<FundState>& funds, const Text& time, int atOnce = 8);

// The rows as CSV: a UTF-8 byte-order mark, the window's column headers, one line per fund
// and the totals line, the texts as the window shows them.
std::string WatchlistCsv(const WatchlistView& view);

} // namespace fundlens
