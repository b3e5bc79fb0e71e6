// The watched funds between refreshes: what each row is made from, kept as the answers come,
// and what the next refresh has to ask for. Pure bookkeeping on values, on the GUI thread.
#pragma once

#include "portal/watchlist_answers.h"
#include "watchlist/watchlist_rows.h"
#include "watchlist/watchlist_storage.h"

#include <map>
#include <vector>

namespace fundlens {

struct FundState {
    FundSnapshot snapshot;   // the row's inputs; its name the store's, else the main page's
    Text storeName;          // as the store has it (empty: none yet)
    Text pageName;           // as the main page gives it
    Text stockIds;           // the latest archive's stock list, which the quotes are asked for
    bool pagesWanted = true; // the next refresh asks for the main page and the archive
};

// The funds in the store's order: a fund already known keeps what the portal answered, a new
// one wants its pages, one no longer stored goes.
void MergeStored(std::vector<FundState>& funds, std::vector<StoredFund> stored);
// One fund's stored facts after a change (its position, its records, its name).
void UpdateStored(FundState& fund, StoredFund stored);

FundState* FindFund(std::vector<FundState>& funds, const Text& code);

// Every fund asks for its pages again (a press of 刷新, a new trading day).
void WantAllPages(std::vector<FundState>& funds);
std::vector<Text> CodesWantingPages(const std::vector<FundState>& funds);

// An answer for a fund whose pages were asked for: kept when it came whole; otherwise what the
// fund had stays, marked stale (a fund the portal does not have is no failure: it has no page).
// Either way the pages are not asked for again until wanted.
void ApplyMainPage(FundState& fund, MainPageAnswer answer);
void ApplyArchive(FundState& fund, const ArchiveAnswer& answer);

// The latest change of every stock quoted, by stock code.
using QuoteBook = std::map<Text, StockChange>;

// The stock lists of every fund, for QuoteBatches.
std::vector<Text> StockIdLists(const std::vector<FundState>& funds);

// A batch's answer, when it came whole, replaces what the book had of the batch's stocks (a
// stock the answer leaves out is no longer quoted).
void ApplyQuoteBatch(QuoteBook& book, const Text& batch, const QuoteAnswer& answer);

// Once every batch has come: each fund's changes from the book, at `time`; a fund one of whose
// stocks was in a failed batch keeps what it had, marked stale. `batchOk[i]` tells batch i.
void SettleQuotes(std::vector<FundState>& funds, const QuoteBook& book,
                  const std::vector<Text>& batches, const std::vector<bool>& batchOk,
                  const Text& time);

// At the end of a refresh: every fund with nothing stale was updated at `time`.
void SettleUpdated(std::vector<FundState>& funds, const Text& time);

// The rows' inputs, in order.
std::vector<FundSnapshot> SnapshotsOf(const std::vector<FundState>& funds);

// Days written to the store, known to the rows without reading the store again: each replaces
// the figures its fund's record of that day had (those it sets), or is added.
void AddRecords(std::vector<FundState>& funds, const std::vector<EstimateRecord>& days);

// What the refresh records: each fund's days (RecordsToMake) and the names the store lacks.
RefreshRecords RecordsOf(const std::vector<FundState>& funds, const ChinaTime& now);

} // namespace fundlens
