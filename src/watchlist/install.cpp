#include "watchlist/install.h"

#include "shell/event_routines.h"
#include "watchlist/watchlist_actions.h"
#include "watchlist/watchlist_state.h"

namespace fundlens {

void InstallWatchlistRoutines(EventRoutines& routines) {
    ResetWatchlist();
    routines.watchlistButtonClicked = OpenWatchlist;
    routines.addToWatchlistChosen = AddListFundToWatchlist;
    WatchlistRoutines& watchlist = routines.watchlist;
    watchlist.refreshClicked = RefreshClicked;
    watchlist.rowDoubleClicked = OpenWatchedFund;
    watchlist.buyChosen = BuyChosen;
    watchlist.sellChosen = SellChosen;
    watchlist.editChosen = EditPositionChosen;
    watchlist.removeChosen = RemoveChosen;
    watchlist.addToBasketChosen = AddWatchedFundToBasket;
    watchlist.timerTicked = RefreshTimerTicked;
    watchlist.windowResumed = RefreshTimerTicked;
    watchlist.windowClosed = WatchlistClosed;
}

} // namespace fundlens
