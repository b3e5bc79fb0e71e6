// The watchlist window's status line: the market's phase, when the figures were updated, what
// failed, and the store's trouble, as plain values.
#pragma once

#include "analysis/trading_clock.h"
#include "portal/figures.h"
#include "text/text.h"

namespace fundlens {

struct StatusFacts {
    ChinaTime now;
    int funds = 0;
    bool refreshing = false;
    Text lastRefresh; // "HH:MM:SS"; empty: no refresh has ended yet
    int staleFunds = 0;
    Text storeProblem; // GBK: the store could not be read
    bool readOnly = false;
    int refreshSeconds = 30;
};

// "交易中", "午间休市", "已收盘", "未开盘" or "休市" (GBK).
Text MarketPhaseText(const ChinaTime& now);

// The line, red when something failed.
Figure WatchlistStatus(const StatusFacts& facts);
// Its tooltip: how the figures are refreshed.
Text WatchlistStatusTip(const StatusFacts& facts);

} // namespace fundlens
