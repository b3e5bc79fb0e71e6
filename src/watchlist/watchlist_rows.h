// The watchlist's rows from what is known of each fund: the position, its recorded days, the
// main page, the holdings and the stocks' changes, and the clock. Pure functions: the window's
// refresh and the headless export make their rows here, the same way.
#pragma once

#include "analysis/holdings.h"
#include "analysis/holdings_estimate.h"
#include "analysis/records.h"
#include "analysis/trading_clock.h"
#include "analysis/valuation.h"
#include "portal/fund_main_page.h"
#include "shell/watchlist_view.h"

#include <chrono>
#include <optional>
#include <vector>

namespace fundlens {

// What is known of one watched fund when its row is made.
struct FundSnapshot {
    Text code;
    Text name; // the store's; the main page's when the store has none
    Position position;
    std::vector<EstimateRecord> records; // the fund's recorded days, any order
    std::optional<MainPageFigures> page; // absent: never received
    std::optional<TopHoldings> holdings; // absent: never received
    std::vector<StockChange> changes;    // the latest changes of its stocks
    bool quotesReceived = false;         // changes have come for its stocks
    Text quoteTime;                      // when they came, "HH:MM:SS"
    // The latest refresh asked for these and they failed: what is shown is older.
    bool pageStale = false, holdingsStale = false, quotesStale = false;
    Text updated;             // when every answer of the fund last came, "HH:MM:SS"; empty: never
    bool unknownFund = false; // the portal has no such fund

    bool Stale() const { return pageStale || holdingsStale || quotesStale; }
};

// The numbers behind a row.
struct RowFigures {
    FundPhase phase = FundPhase::Confirmed;
    HoldingsEstimate estimate;          // from the holdings and the changes now
    std::optional<double> shownPct;     // the estimate the row shows
    std::optional<double> shownCovered; // the weight it covers
    // Confirmed: the last estimate recorded before the close of the NAV's day, when there is one.
    std::optional<EstimateRecord> recordedDay;
    std::optional<double> errorPct;       // |recorded estimate - confirmed change|
    std::optional<double> medianErrorPct; // over the recorded days (analysis/estimate_error.h)
    PositionFigures value;
};

// The phase, the estimate shown and the position valued:
//   Estimate, Closing   the estimate from the holdings; the position at the estimated NAV
//                       (previous NAV x (1 + estimate)), at the last NAV without an estimate
//   Confirmed           the NAV and change of the main page; the estimate shown is the one
//                       recorded for the NAV's day (with its error), else the holdings' now
RowFigures FiguresOf(const FundSnapshot& fund, const ChinaTime& now);

// The fund's row: its texts, the program's colours (greyed when stale) and tooltips.
WatchlistRow RowOf(const FundSnapshot& fund, const RowFigures& figures);

// The 合计 row over the funds' values; greyed when any of them is stale.
WatchlistRow TotalsRow(const std::vector<PositionFigures>& values, bool stale);

// The records the fund's refresh makes: during the session (phase Estimate) the estimate of
// today, from quotes that came in this refresh; and the confirmed change of the NAV's day
// once the page shows it, when that day's estimate was recorded and its confirmed change is
// not yet (or differently).
std::vector<EstimateRecord> RecordsToMake(const FundSnapshot& fund, const RowFigures& figures,
                                          const ChinaTime& now);

// Every fund's row and the totals; the status line is left to the caller.
WatchlistView ViewOf(const std::vector<FundSnapshot>& funds, const ChinaTime& now);

// "HH:MM:SS" of China time: the seconds from the wall clock when it is the program's clock,
// ":00" when the clock is fixed at another minute.
Text ClockText(const ChinaTime& now, std::chrono::system_clock::time_point wall);
Text ClockTextNow();

// A percentage as the rows write it ("1.23%", FixedText's decimals), "--" for an absent figure.
Text PercentText(std::optional<double> percent);

} // namespace fundlens
