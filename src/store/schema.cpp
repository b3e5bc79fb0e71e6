#include "store/schema.h"

#include "store/sqlite_helpers.h"

#include <string>

namespace fundlens {

namespace {

// Version 1: funds in the order added, their transactions, and a row per fund and trading day of
// the last estimate before the close and the confirmed change.
constexpr const char* SchemaV1 = R"sql(
CREATE TABLE funds (
    id   INTEGER PRIMARY KEY AUTOINCREMENT,
    code TEXT NOT NULL UNIQUE CHECK (length(code) = 6 AND code NOT GLOB '*[^0-9]*'),
    name TEXT NOT NULL DEFAULT ''
);
CREATE TABLE transactions (
    id     INTEGER PRIMARY KEY AUTOINCREMENT,
    code   TEXT NOT NULL REFERENCES funds (code),
    kind   TEXT NOT NULL CHECK (kind IN ('buy', 'sell', 'adjust')),
    date   TEXT NOT NULL,
    amount REAL,
    shares REAL,
    nav    REAL NOT NULL DEFAULT 0,
    fee    REAL NOT NULL DEFAULT 0,
    cost   REAL NOT NULL DEFAULT 0
);
CREATE INDEX transactions_by_fund ON transactions (code, date, id);
CREATE TABLE estimates (
    code          TEXT NOT NULL REFERENCES funds (code),
    trade_date    TEXT NOT NULL,
    estimate_pct  REAL,
    covered_pct   REAL,
    confirmed_pct REAL,
    PRIMARY KEY (code, trade_date)
);
)sql";

constexpr Migration Steps[] = {
    {1, SchemaV1},
};

MigrationResult Outcome(MigrationOutcome outcome, int fromVersion, int code = SQLITE_OK) {
    return {outcome, fromVersion, code};
}

// Runs the steps above `from` and sets the new version; SQLITE_OK or the failing code.
int RunSteps(sqlite3* db, std::span<const Migration> steps, int from) {
    for (const Migration& step : steps) {
        if (step.toVersion <= from)
            continue;
        if (const int code = sqlite::Exec(db, step.sql); code != SQLITE_OK)
            return code;
    }
    const std::string setVersion =
        "PRAGMA user_version = " + std::to_string(steps.back().toVersion);
    return sqlite::Exec(db, setVersion.c_str());
}

} // namespace

std::span<const Migration> Migrations() {
    return Steps;
}

int CurrentSchemaVersion() {
    return Steps[std::size(Steps) - 1].toVersion;
}

MigrationResult MigrateSchema(sqlite3* db, std::span<const Migration> steps) {
    sqlite::WriteTransaction transaction(db);
    if (transaction.BeginCode() != SQLITE_OK)
        return Outcome(MigrationOutcome::Failed, 0, transaction.BeginCode());
    int code = SQLITE_OK;
    const std::optional<long long> version = sqlite::QueryInt(db, "PRAGMA user_version", code);
    if (!version)
        return Outcome(MigrationOutcome::Failed, 0, code);
    const int from = static_cast<int>(*version);
    const int target = steps.empty() ? 0 : steps.back().toVersion;
    if (from < 0)
        return Outcome(MigrationOutcome::Foreign, from); // never a version of ours
    if (from > target)
        return Outcome(MigrationOutcome::Newer, from);
    if (from == target)
        return Outcome(MigrationOutcome::UpToDate, from);
    if (from == 0) {
        const auto tables = sqlite::QueryInt(db, "SELECT count(*) FROM sqlite_schema", code);
        if (!tables)
            return Outcome(MigrationOutcome::Failed, from, code);
        if (*tables > 0)
            return Outcome(MigrationOutcome::Foreign, from);
    }
    if (code = RunSteps(db, steps, from); code != SQLITE_OK)
        return Outcome(MigrationOutcome::Failed, from, code);
    if (code = transaction.Commit(); code != SQLITE_OK)
        return Outcome(MigrationOutcome::Failed, from, code);
    return Outcome(MigrationOutcome::Migrated, from);
}

} // namespace fundlens
