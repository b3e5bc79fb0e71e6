// The basket's loads: one request for every fund's curve of the chosen period, and every fund's
// archive page (its top ten) fetched together. Each answer is stored in the basket's values and
// the window's parts are drawn from them; a fund whose answer fails shows "--", never a figure
// of an earlier answer.
#pragma once

#include "portal/comparison.h"
#include "shell/async.h"
#include "shell/basket_view.h"

#include <vector>

namespace fundlens {

// The tables made anew from the basket's values (the profile's risk-free rate), then shown.
void RefreshBasketTables();
// The overlap matrix alone (an archive has come: the other tables stay as they are).
void RefreshOverlapTable();

// Everything the window shows, from the values: summary, title, chart, tables.
void ShowBasket();

// Starts the curves of every fund for the basket's period (overtaking a load still running);
// a basket without funds loads nothing and shows the period's title. Only while the window is
// open.
void StartBasketCurves();

// Starts the archives of the funds whose top ten is not in, and of `codes` in any case
// (overtaking a load still running: its funds are asked for again); the tables show them
// pending at once. Only while the window is open.
void StartBasketHoldings(const std::vector<Text>& codes);

// Stores one answer of the curves asked for `codes`: each fund still in the basket gets its
// curve, or Failed when the answer has no points or does not carry it; a fund added since
// stays pending.
void StoreBasketCurves(BasketView& basket, const std::vector<Text>& codes, int periodButton,
                       const FundCurves& curves);

// Stores one fund's archive answer when the fund is still in the basket.
void StoreBasketHoldings(BasketView& basket, const Text& code,
                         const std::optional<TopHoldings>& top);

// The loaders, each for its run (started by the Start functions above).
Loader LoadBasketCurves(RunToken run, std::vector<Text> codes, int periodButton);
Loader LoadBasketHoldings(RunToken run, std::vector<Text> codes);

// True while curves or archives are loading.
bool BasketLoadsRunning();

} // namespace fundlens
