// The watchlist's store: the watched funds in the order added, their transactions, and per fund
// and trading day the last estimate before the close and the confirmed change. One SQLite file
// (see store_file.h); every change is one transaction, checked before it is written, and comes
// back as a value with a GBK message when it fails. Use one object from one thread at a time;
// two objects (or two programs) on one file wait for each other up to the busy timeout.
#pragma once

#include "analysis/records.h"
#include "store/store_file.h"
#include "text/text.h"

#include <functional>
#include <string>
#include <vector>

namespace fundlens {

struct WatchedFund {
    Text code;
    Text name; // GBK; empty until the portal gave it
};

// The outcome of a change.
struct StoreResult {
    bool ok = true;
    Text message;     // GBK, fit for a message box; empty when ok
    long long id = 0; // AddTransaction, SetPosition: the new transaction's id
    explicit operator bool() const { return ok; }
};

// What a list read gives; `ok` false (with a message) when the file could not be read, never an
// empty list passed off as the truth.
template <class Row>
struct StoreRows {
    bool ok = true;
    Text message;
    std::vector<Row> rows;
};

// One position to import: set shares and cost (line: where it came from, for messages).
struct ImportRow {
    int line = 0;
    Text code;
    double shares = 0;
    double cost = 0;
};

// Called inside the import's transaction after each row is written.
using ImportProgress = std::function<void(std::size_t done, std::size_t total)>;

class WatchlistStore {
public:
    // Opens `dataDir`/watchlist.db. ExistingOnly gives an Absent store when there is no file;
    // the first AddFund or ImportPositions then makes it. State and Message say how it went.
    static WatchlistStore Open(const std::string& dataDir, OpenMode mode);

    WatchlistStore() = default; // no file: Failed, every call refused
    ~WatchlistStore();
    WatchlistStore(WatchlistStore&& other) noexcept;
    WatchlistStore& operator=(WatchlistStore&& other) noexcept;
    WatchlistStore(const WatchlistStore&) = delete;
    WatchlistStore& operator=(const WatchlistStore&) = delete;

    StoreState State() const { return m_state; }
    // GBK, naming the file: why it is read-only, damaged or failed; empty otherwise.
    const Text& Message() const { return m_message; }
    const std::string& FilePath() const { return m_path; }
    // Changes can be made (Opened, Created, or Absent: the first add makes the file).
    bool Writable() const;

    // Funds. Adding a watched code keeps it, and sets its name when that was empty. Removing
    // takes its transactions and estimate records with it; removing an unwatched code is a no-op.
    StoreResult AddFund(const Text& code, const Text& name);
    StoreResult RenameFund(const Text& code, const Text& name);
    StoreResult RemoveFund(const Text& code);
    StoreRows<WatchedFund> Funds() const;

    // Transactions of a watched fund. SetPosition records an Adjust.
    StoreResult AddTransaction(const Transaction& transaction);
    StoreResult SetPosition(const Text& code, const Text& date, double shares, double cost);
    StoreResult DeleteTransaction(long long id);
    // By date, one date's in the order recorded.
    StoreRows<Transaction> Transactions(const Text& code) const;

    // A trading day's estimate and, later, its confirmed change; each replaces what that day
    // had of the same kind and keeps the other.
    StoreResult RecordEstimate(const Text& code, const Text& tradeDate, double estimatePct,
                               double coveredPct);
    StoreResult RecordConfirmed(const Text& code, const Text& tradeDate, double confirmedPct);
    // Many funds' days at once, in one transaction (a refresh's records): each record's
    // estimate with its covered weight and its confirmed change, where set, as the two above
    // record them. A record of a fund not (or no longer) watched is passed over; a bad record
    // refuses them all before anything is written.
    StoreResult RecordDays(const std::vector<EstimateRecord>& days);
    // The fund's last `days` trading days, newest first.
    StoreRows<EstimateRecord> Estimates(const Text& code, int days) const;

    // Sets each row's position (an Adjust dated `date`), adding unwatched funds with an empty
    // name: all rows in one transaction, or none when a row is bad or a write fails.
    StoreResult ImportPositions(const std::vector<ImportRow>& rows, const Text& date,
                                const ImportProgress& progress = {});

private:
    WatchlistStore(std::string dataDir, OpenedFile opened);
    void Adopt(OpenedFile opened);
    void Close();
    static StoreResult Refused(Text message);
    StoreResult Refusal() const;
    StoreResult MakeFileIfAbsent();
    StoreResult Failure(int code);
    StoreResult InTransaction(const std::function<StoreResult()>& body);
    StoreResult RequireFund(const Text& code);
    StoreResult InsertTransaction(const Transaction& transaction);
    StoreResult UpsertRecord(const EstimateRecord& day);
    StoreResult UpsertDay(const Text& code, const Text& tradeDate, const char* sql, double first,
                          std::optional<double> second);
    Text ReadRefusal() const;
    Text ReadFailure(int code) const;

    sqlite3* m_db = nullptr;
    std::string m_dataDir;
    std::string m_path;
    StoreState m_state = StoreState::Failed;
    Text m_message;
};

} // namespace fundlens
