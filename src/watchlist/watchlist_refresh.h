// The watchlist's refresh: the store's funds, each fund's main page and archive, and the
// quotes of every watched fund's stocks in as few requests as the quote endpoint takes; then
// the rows, and the day's records. A newer refresh supersedes an older one.
#pragma once

#include "shell/async.h"

namespace fundlens {

enum class RefreshKind {
    // The window opened, 刷新 pressed, a new trading day: the store read again, and every
    // fund's main page and archive asked for again.
    Full,
    // The timer in the session: the quotes, and the pages of a fund never asked for yet (one
    // just added).
    Quotes,
};

Loader RefreshWatchlist(RefreshKind kind);

// The rows and the status line made again from what is known, stored in the view state and
// drawn.
void ShowWatchlistNow();

// Whether a refresh is running.
bool WatchlistRefreshRunning();

} // namespace fundlens
