// The watchlist's reads and writes of its store that may wait on a second program: each opens
// the store for itself, so that it can run on a worker (the refresh) or in a headless run.
#pragma once

#include "analysis/records.h"
#include "store/watchlist_store.h"
#include "text/text.h"

#include <string>
#include <vector>

namespace fundlens {

// The recorded days read per fund: enough for the median error's days with both figures.
inline constexpr int RecordedDaysRead = 3 * 20;

// A watched fund as the store has it.
struct StoredFund {
    Text code;
    Text name; // empty until the portal gave it
    Position position;
    std::vector<EstimateRecord> records; // the latest RecordedDaysRead days, newest first
};

struct StoredWatchlist {
    bool ok = false;
    StoreState state = StoreState::Failed;
    Text message;                  // GBK, naming the file, when not ok
    std::vector<StoredFund> funds; // in the order added; none when there is no file yet
};

// Every watched fund with its position (by average cost) and its recorded days.
StoredWatchlist ReadStoredWatchlist(WatchlistStore& store);
// The same from the store in `dataDir`, opened for this read alone (no file: no funds).
StoredWatchlist ReadStoredWatchlist(const std::string& dataDir);

// One fund's position and recorded days read again after a change.
bool ReadStoredFund(WatchlistStore& store, StoredFund& fund, Text& why);

// What a refresh learnt: the days to record, and names for funds the store has none for.
struct RefreshRecords {
    std::vector<EstimateRecord> days;
    std::vector<WatchedFund> names;
    bool Empty() const { return days.empty() && names.empty(); }
};

// Writes them to the store in `dataDir`: the days in one transaction, then each name. Ok with
// nothing to write or no file.
StoreResult WriteRefreshRecords(const std::string& dataDir, const RefreshRecords& records);

} // namespace fundlens
