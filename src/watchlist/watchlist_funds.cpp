#include "watchlist/watchlist_funds.h"

#include <algorithm>

namespace fundlens {

namespace {

// "1.600519" -> "600519": the quote answer names a stock by its code alone.
Text CodeOfStockId(const Text& id) {
    const std::size_t dot = id.find('.');
    return dot == Text::npos ? id : id.substr(dot + 1);
}

Text ShownName(const FundState& fund) {
    return fund.storeName.empty() ? fund.pageName : fund.storeName;
}

std::vector<StockChange> ChangesOf(const TopHoldings& holdings, const QuoteBook& book) {
    std::vector<StockChange> changes;
    for (const HoldingWeight& stock : holdings.stocks) {
        const auto quoted = book.find(stock.stockCode);
        if (quoted != book.end())
            changes.push_back(quoted->second);
    }
    return changes;
}

// True when every stock of the list came in a batch that came whole.
bool QuotedWhole(const Text& stockIds, const std::map<Text, bool>& idOk) {
    for (const Text& id : StockIdsOf(stockIds)) {
        const auto batch = idOk.find(id);
        if (batch == idOk.end() || !batch->second)
            return false;
    }
    return true;
}

} // namespace

void UpdateStored(FundState& fund, StoredFund stored) {
    fund.storeName = std::move(stored.name);
    fund.snapshot.code = std::move(stored.code);
    fund.snapshot.name = ShownName(fund);
    fund.snapshot.position = stored.position;
    fund.snapshot.records = std::move(stored.records);
}

void MergeStored(std::vector<FundState>& funds, std::vector<StoredFund> stored) {
    std::vector<FundState> merged;
    merged.reserve(stored.size());
    for (StoredFund& fund : stored) {
        FundState* known = FindFund(funds, fund.code);
        merged.push_back(known ? std::move(*known) : FundState{});
        UpdateStored(merged.back(), std::move(fund));
    }
    funds = std::move(merged);
}

FundState* FindFund(std::vector<FundState>& funds, const Text& code) {
    for (FundState& fund : funds) {
        if (fund.snapshot.code == code)
            return &fund;
    }
    return nullptr;
}

void WantAllPages(std::vector<FundState>& funds) {
    for (FundState& fund : funds)
        fund.pagesWanted = true;
}

std::vector<Text> CodesWantingPages(const std::vector<FundState>& funds) {
    std::vector<Text> codes;
    for (const FundState& fund : funds) {
        if (fund.pagesWanted)
            codes.push_back(fund.snapshot.code);
    }
    return codes;
}

void ApplyMainPage(FundState& fund, MainPageAnswer answer) {
    fund.pagesWanted = false;
    fund.snapshot.unknownFund = answer.unknownFund;
    fund.snapshot.pageStale = !answer.readable && !answer.unknownFund;
    if (answer.unknownFund)
        fund.snapshot.page.reset();
    if (!answer.readable)
        return;
    fund.snapshot.page = std::move(answer.figures);
    if (!answer.name.empty())
        fund.pageName = std::move(answer.name);
    fund.snapshot.name = ShownName(fund);
}

void ApplyArchive(FundState& fund, const ArchiveAnswer& answer) {
    fund.pagesWanted = false;
    fund.snapshot.holdingsStale = !answer.readable;
    if (!answer.readable)
        return;
    fund.snapshot.holdings = TopHoldingsOf(answer.holdings, {});
    fund.stockIds = answer.holdings.stockIds;
}

std::vector<Text> StockIdLists(const std::vector<FundState>& funds) {
    std::vector<Text> lists;
    for (const FundState& fund : funds)
        lists.push_back(fund.stockIds);
    return lists;
}

void ApplyQuoteBatch(QuoteBook& book, const Text& batch, const QuoteAnswer& answer) {
    if (!answer.readable)
        return;
    for (const Text& id : StockIdsOf(batch))
        book.erase(CodeOfStockId(id));
    for (StockChange& change : StockChangesOf(answer.quotes))
        book[change.stockCode] = std::move(change);
}

void SettleQuotes(std::vector<FundState>& funds, const QuoteBook& book,
                  const std::vector<Text>& batches, const std::vector<bool>& batchOk,
                  const Text& time) {
    std::map<Text, bool> idOk;
    for (std::size_t i = 0; i < batches.size(); ++i) {
        for (const Text& id : StockIdsOf(batches[i]))
            idOk[id] = i < batchOk.size() && batchOk[i];
    }
    for (FundState& fund : funds) {
        FundSnapshot& snapshot = fund.snapshot;
        if (StockIdsOf(fund.stockIds).empty()) {
            snapshot.quotesStale = false; // nothing to quote
            continue;
        }
        snapshot.quotesStale = !QuotedWhole(fund.stockIds, idOk);
        if (snapshot.quotesStale || !snapshot.holdings)
            continue;
        snapshot.changes = ChangesOf(*snapshot.holdings, book);
        snapshot.quotesReceived = true;
        snapshot.quoteTime = time;
    }
}

void SettleUpdated(std::vector<FundState>& funds, const Text& time) {
    for (FundState& fund : funds) {
        if (!fund.snapshot.Stale())
            fund.snapshot.updated = time;
    }
}

std::vector<FundSnapshot> SnapshotsOf(const std::vector<FundState>& funds) {
    std::vector<FundSnapshot> snapshots;
    snapshots.reserve(funds.size());
    for (const FundState& fund : funds)
        snapshots.push_back(fund.snapshot);
    return snapshots;
}

void AddRecords(std::vector<FundState>& funds, const std::vector<EstimateRecord>& days) {
    for (const EstimateRecord& day : days) {
        FundState* fund = FindFund(funds, day.code);
        if (fund == nullptr)
            continue;
        std::vector<EstimateRecord>& records = fund->snapshot.records;
        auto known = std::find_if(records.begin(), records.end(), [&](const EstimateRecord& r) {
            return r.tradeDate == day.tradeDate;
        });
        if (known == records.end()) {
            records.insert(records.begin(), day); // newest first, as the store reads them
            continue;
        }
        if (day.estimatePct) {
            known->estimatePct = day.estimatePct;
            known->coveredPct = day.coveredPct;
        }
        if (day.confirmedPct)
            known->confirmedPct = day.confirmedPct;
    }
}

RefreshRecords RecordsOf(const std::vector<FundState>& funds, const ChinaTime& now) {
    RefreshRecords records;
    for (const FundState& fund : funds) {
        const FundSnapshot& snapshot = fund.snapshot;
        for (EstimateRecord& day : RecordsToMake(snapshot, FiguresOf(snapshot, now), now))
            records.days.push_back(std::move(day));
        if (fund.storeName.empty() && !fund.pageName.empty())
            records.names.push_back({snapshot.code, fund.pageName});
    }
    return records;
}

} // namespace fundlens
