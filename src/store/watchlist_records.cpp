// The watchlist store's records of a fund: transactions, estimate records and the import.
#include "store/input_checks.h"
#include "store/sqlite_helpers.h"
#include "store/store_messages.h"
#include "store/watchlist_store.h"

namespace fundlens {

namespace {

using sqlite::Statement;

constexpr const char* InsertTransactionSql =
    "INSERT INTO transactions (code, kind, date, amount, shares, nav, fee, cost) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";

constexpr const char* UpsertEstimateSql =
    "INSERT INTO estimates (code, trade_date, estimate_pct, covered_pct) "
    "VALUES (?1, ?2, ?3, ?4) ON CONFLICT (code, trade_date) DO UPDATE SET "
    "estimate_pct = excluded.estimate_pct, covered_pct = excluded.covered_pct";
constexpr const char* UpsertConfirmedSql =
    "INSERT INTO estimates (code, trade_date, confirmed_pct) VALUES (?1, ?2, ?3) "
    "ON CONFLICT (code, trade_date) DO UPDATE SET confirmed_pct = excluded.confirmed_pct";

// What is wrong with a day's record: its code, date and the figures it sets.
Text DayProblem(const EstimateRecord& day) {
    Text why = CheckFundCode(day.code);
    why = why.empty() ? CheckDate(day.tradeDate) : why;
    if (why.empty() && day.estimatePct.has_value() != day.coveredPct.has_value())
        why = "估算记录须同时有估算值和覆盖权重"_gbk;
    if (why.empty() && day.estimatePct)
        why = CheckEstimate(*day.estimatePct, *day.coveredPct);
    if (why.empty() && day.confirmedPct)
        why = CheckConfirmed(*day.confirmedPct);
    return why;
}

const char* KindName(TransactionKind kind) {
    switch (kind) {
    case TransactionKind::Buy:
        return "buy";
    case TransactionKind::Sell:
        return "sell";
    case TransactionKind::Adjust:
        return "adjust";
    }
    return "";
}

std::optional<TransactionKind> KindFromName(const std::string& name) {
    for (TransactionKind kind :
         {TransactionKind::Buy, TransactionKind::Sell, TransactionKind::Adjust}) {
        if (name == KindName(kind))
            return kind;
    }
    return std::nullopt;
}

void BindTransaction(Statement& insert, const Transaction& t) {
    insert.Bind(1, t.code);
    insert.Bind(2, std::string_view(KindName(t.kind)));
    insert.Bind(3, t.date);
    insert.Bind(4, t.amount);
    insert.Bind(5, t.shares);
    insert.Bind(6, t.nav);
    insert.Bind(7, t.fee);
    insert.Bind(8, t.cost);
}

Transaction AdjustOf(const Text& code, const Text& date, double shares, double cost) {
    Transaction adjust;
    adjust.code = code;
    adjust.kind = TransactionKind::Adjust;
    adjust.date = date;
    adjust.shares = shares;
    adjust.cost = cost;
    return adjust;
}

} // namespace

StoreResult WatchlistStore::InsertTransaction(const Transaction& transaction) {
    Statement insert(m_db, InsertTransactionSql);
    BindTransaction(insert, transaction);
    if (const int step = insert.Step(); step != SQLITE_DONE)
        return Failure(step);
    return {true, {}, sqlite3_last_insert_rowid(m_db)};
}

// Transactions.

StoreResult WatchlistStore::AddTransaction(const Transaction& transaction) {
    if (Text why = CheckTransaction(transaction); !why.empty())
        return Refused(why);
    if (StoreResult refused = Refusal(); !refused)
        return refused;
    if (m_state == StoreState::Absent)
        return Refused(FundNotWatchedMessage(transaction.code));
    return InTransaction([&] {
        if (StoreResult watched = RequireFund(transaction.code); !watched)
            return watched;
        return InsertTransaction(transaction);
    });
}

StoreResult WatchlistStore::SetPosition(const Text& code, const Text& date, double shares,
                                        double cost) {
    return AddTransaction(AdjustOf(code, date, shares, cost));
}

StoreResult WatchlistStore::DeleteTransaction(long long id) {
    if (StoreResult refused = Refusal(); !refused)
        return refused;
    if (m_state == StoreState::Absent)
        return Refused(TransactionMissingMessage(id));
    return InTransaction([&] {
        Statement remove(m_db, "DELETE FROM transactions WHERE id = ?1");
        remove.Bind(1, id);
        if (const int step = remove.Step(); step != SQLITE_DONE)
            return Failure(step);
        return sqlite3_changes(m_db) > 0 ? StoreResult{} : Refused(TransactionMissingMessage(id));
    });
}

StoreRows<Transaction> WatchlistStore::Transactions(const Text& code) const {
    if (m_state == StoreState::Absent)
        return {};
    if (!m_db)
        return {false, ReadRefusal(), {}};
    StoreRows<Transaction> list;
    Statement select(m_db, "SELECT id, code, kind, date, amount, shares, nav, fee, cost "
                           "FROM transactions WHERE code = ?1 ORDER BY date, id");
    select.Bind(1, code);
    int step = SQLITE_ROW;
    while ((step = select.Step()) == SQLITE_ROW) {
        const std::optional<TransactionKind> kind = KindFromName(select.TextAt(2));
        if (!kind) // a newer build's kind: the position cannot be worked out from the rest
            return {false, UnknownKindMessage(m_path), {}};
        list.rows.push_back({select.IntAt(0), select.TextAt(1), *kind, select.TextAt(3),
                             select.OptionalDoubleAt(4), select.OptionalDoubleAt(5),
                             select.DoubleAt(6), select.DoubleAt(7), select.DoubleAt(8)});
    }
    if (step != SQLITE_DONE)
        return {false, ReadFailure(step), {}};
    return list;
}

// Estimate records.

StoreResult WatchlistStore::RecordEstimate(const Text& code, const Text& tradeDate,
                                           double estimatePct, double coveredPct) {
    Text why = CheckFundCode(code);
    why = why.empty() ? CheckDate(tradeDate) : why;
    why = why.empty() ? CheckEstimate(estimatePct, coveredPct) : why;
    if (!why.empty())
        return Refused(why);
    return UpsertDay(code, tradeDate, UpsertEstimateSql, estimatePct, coveredPct);
}

StoreResult WatchlistStore::RecordConfirmed(const Text& code, const Text& tradeDate,
                                            double confirmedPct) {
    Text why = CheckFundCode(code);
    why = why.empty() ? CheckDate(tradeDate) : why;
    why = why.empty() ? CheckConfirmed(confirmedPct) : why;
    if (!why.empty())
        return Refused(why);
    return UpsertDay(code, tradeDate, UpsertConfirmedSql, confirmedPct, std::nullopt);
}

StoreResult WatchlistStore::UpsertDay(const Text& code, const Text& tradeDate, const char* sql,
                                      double first, std::optional<double> second) {
    if (StoreResult refused = Refusal(); !refused)
        return refused;
    if (m_state == StoreState::Absent)
        return Refused(FundNotWatchedMessage(code));
    return InTransaction([&] {
        if (StoreResult watched = RequireFund(code); !watched)
            return watched;
        Statement upsert(m_db, sql);
        upsert.Bind(1, code);
        upsert.Bind(2, tradeDate);
        upsert.Bind(3, first);
        if (second)
            upsert.Bind(4, *second);
        const int step = upsert.Step();
        return step == SQLITE_DONE ? StoreResult{} : Failure(step);
    });
}

StoreResult WatchlistStore::RecordDays(const std::vector<EstimateRecord>& days) {
    for (const EstimateRecord& day : days) {
        if (Text why = DayProblem(day); !why.empty())
            return Refused(why);
    }
    if (StoreResult refused = Refusal(); !refused)
        return refused;
    if (days.empty() || m_state == StoreState::Absent)
        return {};
    return InTransaction([&] {
        for (const EstimateRecord& day : days) {
            Statement watched(m_db, "SELECT 1 FROM funds WHERE code = ?1");
            watched.Bind(1, day.code);
            if (const int step = watched.Step(); step != SQLITE_ROW) {
                if (step == SQLITE_DONE)
                    continue; // removed meanwhile: nothing to record for it
                return Failure(step);
            }
            if (StoreResult written = UpsertRecord(day); !written)
                return written;
        }
        return StoreResult{};
    });
}

StoreResult WatchlistStore::UpsertRecord(const EstimateRecord& day) {
    if (day.estimatePct) {
        Statement estimate(m_db, UpsertEstimateSql);
        estimate.Bind(1, day.code);
        estimate.Bind(2, day.tradeDate);
        estimate.Bind(3, *day.estimatePct);
        estimate.Bind(4, *day.coveredPct);
        if (const int step = estimate.Step(); step != SQLITE_DONE)
            return Failure(step);
    }
    if (day.confirmedPct) {
        Statement confirmed(m_db, UpsertConfirmedSql);
        confirmed.Bind(1, day.code);
        confirmed.Bind(2, day.tradeDate);
        confirmed.Bind(3, *day.confirmedPct);
        if (const int step = confirmed.Step(); step != SQLITE_DONE)
            return Failure(step);
    }
    return {};
}

StoreRows<EstimateRecord> WatchlistStore::Estimates(const Text& code, int days) const {
    if (m_state == StoreState::Absent || days <= 0)
        return {};
    if (!m_db)
        return {false, ReadRefusal(), {}};
    StoreRows<EstimateRecord> list;
    Statement select(m_db, "SELECT code, trade_date, estimate_pct, covered_pct, confirmed_pct "
                           "FROM estimates WHERE code = ?1 ORDER BY trade_date DESC LIMIT ?2");
    select.Bind(1, code);
    select.Bind(2, static_cast<long long>(days));
    int step = SQLITE_ROW;
    while ((step = select.Step()) == SQLITE_ROW)
        list.rows.push_back({select.TextAt(0), select.TextAt(1), select.OptionalDoubleAt(2),
                             select.OptionalDoubleAt(3), select.OptionalDoubleAt(4)});
    if (step != SQLITE_DONE)
        return {false, ReadFailure(step), {}};
    return list;
}

// Import.

StoreResult WatchlistStore::ImportPositions(const std::vector<ImportRow>& rows, const Text& date,
                                            const ImportProgress& progress) {
    if (Text why = CheckDate(date); !why.empty())
        return Refused(why);
    for (const ImportRow& row : rows) {
        Text why = CheckFundCode(row.code);
        why = why.empty() ? CheckPosition(row.shares, row.cost) : why;
        if (!why.empty())
            return Refused(LineMessage(row.line, why));
    }
    if (rows.empty())
        return {};
    if (StoreResult refused = MakeFileIfAbsent(); !refused)
        return refused;
    return InTransaction([&] {
        Statement addFund(m_db,
                          "INSERT INTO funds (code) VALUES (?1) ON CONFLICT (code) DO NOTHING");
        Statement addAdjust(m_db, InsertTransactionSql);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            addFund.Bind(1, rows[i].code);
            BindTransaction(addAdjust, AdjustOf(rows[i].code, date, rows[i].shares, rows[i].cost));
            for (Statement* statement : {&addFund, &addAdjust}) {
                if (const int step = statement->Step(); step != SQLITE_DONE)
                    return Failure(step);
                statement->Reset();
            }
            if (progress)
                progress(i + 1, rows.size());
        }
        return StoreResult{};
    });
}

} // namespace fundlens
