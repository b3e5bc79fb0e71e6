// The watchlist's event routines: opening the window, adding a fund from the fund list, the
// transactions of the popup menu, removing a fund, opening one in the main window, and the
// window's timer.
#pragma once

#include "text/text.h"

namespace fundlens {

// 自选基金钮: the window opened (or raised) and, when it opens, refreshed whole.
void OpenWatchlist();

// 菜单 "加入自选": the fund list's fund the menu acts on (FundListMenuRow) added, then shown in
// the window.
void AddListFundToWatchlist();

// 自选菜单.
void BuyChosen(const Text& code);
void SellChosen(const Text& code);
void EditPositionChosen(const Text& code);
void RemoveChosen(const Text& code);
// 自选菜单's 加入对比篮: the watched fund into the comparison basket, with the basket's refusals.
void AddWatchedFundToBasket(const Text& code);

// A fund's row double-clicked: opened in the main window as a search pick.
void OpenWatchedFund(const Text& code);

// 刷新钮.
void RefreshClicked();
// The window's timer and its showing again: the quotes refreshed while the session is open
// (the whole on a new trading day), unless a refresh is running.
void RefreshTimerTicked();
void WatchlistClosed();

} // namespace fundlens
