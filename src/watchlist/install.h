// The watchlist's event routines.
#pragma once

namespace fundlens {

struct EventRoutines;

// Fills the slots of 自选基金钮, the fund list's "加入自选" and the watchlist window; the
// watchlist starts with nothing known (its store opens when it is first needed).
void InstallWatchlistRoutines(EventRoutines& routines);

} // namespace fundlens
