// The watchlist's state for the run, on the GUI thread: where its store lives, the store the
// window's changes go to, the watched funds with what the portal last answered, and how the
// last refresh went.
#pragma once

#include "store/watchlist_store.h"
#include "watchlist/watchlist_funds.h"

#include <string>
#include <vector>

namespace fundlens {

struct WatchlistState {
    std::vector<FundState> funds; // in the store's order
    QuoteBook quotes;
    bool storeRead = false; // the funds have been read from the store once
    int pagesDay = -1;      // the trading day the pages were last all asked for
    int generation = 0;     // changes the window has made to the store
    bool refreshing = false;
    Text lastRefresh;     // when the last refresh ended, "HH:MM:SS"; empty: none yet
    Text storeProblem;    // GBK: why the store could not be read; empty when it could
    WatchlistStore store; // the window's changes; see OpenWindowStore
    bool storeOpen = false;
};

WatchlistState& Watchlist();

// Back to nothing known, the store closed (a new main window, a test).
void ResetWatchlist();

// The data folder the store lives in (--data-dir or the platform's). Empty: none, and every
// use of the store fails with a message saying so.
void SetWatchlistDataDir(std::string dir);
const std::string& WatchlistDataDir();

// Opens the window's store when it is not open: a file that is not there yet is made by the
// first fund added; a damaged file is reported by name, and only when the user agrees is it
// set aside and an empty store begun; a newer build's file opens read-only with a message; a
// file that cannot be opened is reported. True when the store can be read (possibly read-only).
bool OpenWindowStore();

// The funds with a stale figure.
int StaleFunds(const WatchlistState& state);

} // namespace fundlens
