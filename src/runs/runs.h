// The program's runs and which one ends which, written out as one table. A run is one loader's
// work for one input (a list, a fund, a period); the generic facility (shell/async.h) gives
// each kind at most one current run, and this module says which other runs a start, or an
// event of the user's, ends. Features start and end runs only through here.
#pragma once

#include "shell/async.h"

#include <array>
#include <functional>

namespace fundlens {

enum class RunName {
    ListLoad,          // the five-star or a sector list into the fund list (sort reloads too)
    Pick,              // a fund picked from the suggestions: its row in the fund list
    DetailLoad,        // the current fund's detail into the left column
    CompareColumnLoad, // a detail load whose fund was pinned while it ran: the right column
    Suggestions,       // the suggestion list for the search box's text
    NetValueImages,    // the chart window's net-value images
    Comparison,        // the chart window's comparison for one period
    WatchlistRefresh,  // the watchlist's figures
    BasketLoad,        // the comparison basket's curves (and the tables made from them)
    // The basket's top tens: a kind of their own, so that a period button, which refetches the
    // curves, does not overtake the archives still on their way.
    BasketHoldings,
};
inline constexpr int RunKinds = 10;

using RunSet = unsigned;
constexpr RunSet RunsOf(std::initializer_list<RunName> runs) {
    RunSet set = 0;
    for (RunName run : runs)
        set |= 1u << static_cast<int>(run);
    return set;
}
constexpr bool Contains(RunSet set, RunName run) {
    return (set >> static_cast<int>(run) & 1u) != 0;
}

// What starting a run ends, besides an older run of its own kind (which it always ends).
struct StartRule {
    RunName run;
    RunSet ends;
};
inline constexpr std::array<StartRule, RunKinds> StartTable{{
    // The fund list has one writer at a time: a list load and a pick overtake each other.
    {RunName::ListLoad, RunsOf({RunName::Pick})},
    {RunName::Pick, RunsOf({RunName::ListLoad})},
    // A new selection overtakes the detail still loading for the current column, not the one
    // that follows a pinned fund into the compare column.
    {RunName::DetailLoad, 0},
    {RunName::CompareColumnLoad, 0},
    {RunName::Suggestions, 0},
    // The chart window's images and its comparison load side by side; a period button pressed
    // while the opening month loads overtakes it.
    {RunName::NetValueImages, 0},
    {RunName::Comparison, 0},
    {RunName::WatchlistRefresh, 0},
    {RunName::BasketLoad, 0},
    {RunName::BasketHoldings, 0},
}};

// The user's acts that end runs without starting one.
enum class RunEvent {
    FundPinned,      // 加入对比: the compare column gets the current column's content
    PinRemoved,      // 删除对比: the compare column is emptied
    NoFundSelected,  // a row without a code became current
    SearchEmptied,   // the search box became empty
    ChartClosed,     // the chart window closed
    WatchlistClosed, // the watchlist window closed
    BasketClosed,    // the basket window closed
    BasketEmptied,   // the basket's last fund was removed: nothing is left to load for
    // A damaged watchlist file is set aside and an empty store begun: a refresh reading the old
    // file stops first, so that no connection is left on the moved file.
    WatchlistStoreReplaced,
};
struct EventRule {
    RunEvent event;
    RunSet ends;
};
inline constexpr std::array<EventRule, 9> EventTable{{
    // A fund pinned before and still loading writes nothing more; the detail loading for the
    // current column follows its fund into the compare column (PinLoadingDetail).
    {RunEvent::FundPinned, RunsOf({RunName::CompareColumnLoad})},
    {RunEvent::PinRemoved, RunsOf({RunName::CompareColumnLoad})},
    // An older fund's answers write nothing under the new row's name.
    {RunEvent::NoFundSelected, RunsOf({RunName::DetailLoad})},
    {RunEvent::SearchEmptied, RunsOf({RunName::Suggestions})},
    {RunEvent::ChartClosed, RunsOf({RunName::NetValueImages, RunName::Comparison})},
    {RunEvent::WatchlistClosed, RunsOf({RunName::WatchlistRefresh})},
    {RunEvent::BasketClosed, RunsOf({RunName::BasketLoad, RunName::BasketHoldings})},
    {RunEvent::BasketEmptied, RunsOf({RunName::BasketLoad, RunName::BasketHoldings})},
    {RunEvent::WatchlistStoreReplaced, RunsOf({RunName::WatchlistRefresh})},
}};

// Tags of the runs that carry one.
enum ListLoadTag { FiveStarListTag = 1, SectorListTag = 2 };
enum DetailColumnTag { CurrentColumnTag = 1, CompareColumnTag = 2 };

// Starts a run of `run` whose results go to `context` (a window): the runs the start table
// names end first, then the run of its own kind. `onEnd` runs once, when the new run finishes
// or is ended.
RunToken StartRun(RunName run, QObject* context, int tag = 0,
                  std::function<void(RunEnd)> onEnd = {});

// The runs the event table names for `event` end.
void EndRuns(RunEvent event);

bool IsRunning(RunName run);
bool IsRunning(RunName run, int tag);

// 加入对比 after EndRuns(RunEvent::FundPinned): the detail still loading for the current column
// becomes the compare column's load (tag CompareColumnTag); its answers follow the pinned fund.
void PinLoadingDetail();

// The kind that `run` belongs to (for the tests of this table).
RunKind& KindOf(RunName run);

} // namespace fundlens
