#include "watchlist/watchlist_storage.h"

#include "analysis/positions.h"

namespace fundlens {

bool ReadStoredFund(WatchlistStore& store, StoredFund& fund, Text& why) {
    StoreRows<Transaction> transactions = store.Transactions(fund.code);
    if (!transactions.ok) {
        why = transactions.message;
        return false;
    }
    StoreRows<EstimateRecord> records = store.Estimates(fund.code, RecordedDaysRead);
    if (!records.ok) {
        why = records.message;
        return false;
    }
    fund.position = PositionOf(std::move(transactions.rows));
    fund.records = std::move(records.rows);
    return true;
}

StoredWatchlist ReadStoredWatchlist(WatchlistStore& store) {
    StoredWatchlist read;
    read.state = store.State();
    StoreRows<WatchedFund> funds = store.Funds();
    if (!funds.ok) {
        read.message = funds.message;
        return read;
    }
    for (WatchedFund& watched : funds.rows) {
        StoredFund fund{std::move(watched.code), std::move(watched.name), {}, {}};
        if (!ReadStoredFund(store, fund, read.message))
            return read;
        read.funds.push_back(std::move(fund));
    }
    read.ok = true;
    return read;
}

StoredWatchlist ReadStoredWatchlist(const std::string& dataDir) {
    WatchlistStore store = WatchlistStore::Open(dataDir, OpenMode::ExistingOnly);
    if (store.State() == StoreState::Damaged || store.State() == StoreState::Failed) {
        StoredWatchlist failed;
        failed.state = store.State();
        failed.message = store.Message();
        return failed;
    }
    return ReadStoredWatchlist(store);
}

StoreResult WriteRefreshRecords(const std::string& dataDir, const RefreshRecords& records) {
    if (records.Empty())
        return {};
    WatchlistStore store = WatchlistStore::Open(dataDir, OpenMode::ExistingOnly);
    if (store.State() == StoreState::Absent)
        return {};
    if (StoreResult written = store.RecordDays(records.days); !written)
        return written;
    // Only a name the store still lacks, and never for a fund removed meanwhile.
    const StoreRows<WatchedFund> watched = store.Funds();
    for (const WatchedFund& fund : watched.rows) {
        if (!fund.name.empty())
            continue;
        for (const WatchedFund& named : records.names) {
            if (named.code != fund.code || named.name.empty())
                continue;
            if (StoreResult renamed = store.RenameFund(named.code, named.name); !renamed)
                return renamed;
        }
    }
    return watched.ok ? StoreResult{} : StoreResult{false, watched.message, 0};
}

} // namespace fundlens
