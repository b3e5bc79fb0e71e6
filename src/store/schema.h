// The store's schema and its migrations. The version a file has is its `user_version`; each
// migration takes a file from the version before it to its own, and a file is brought to the
// newest version in one transaction when it opens.
#pragma once

#include <span>
#include <sqlite3.h>

namespace fundlens {

// One step of the schema: the SQL that turns a file of version toVersion - 1 into toVersion.
struct Migration {
    int toVersion;
    const char* sql;
};

// Every step this build knows, the first making the schema of an empty file.
std::span<const Migration> Migrations();

// The version this build writes: the last step's.
int CurrentSchemaVersion();

enum class MigrationOutcome {
    UpToDate, // the file was at the newest version already
    Migrated, // steps ran (fromVersion 0: the schema was made now)
    Newer,    // the file's version is above the last step's: nothing was changed
    Foreign,  // version 0 but tables present: some other program's database, left alone
    Failed,   // a step or the transaction failed: nothing was changed (code says why)
};

struct MigrationResult {
    MigrationOutcome outcome = MigrationOutcome::Failed;
    int fromVersion = 0;
    int code = SQLITE_OK;
};

// Brings the file to the last version of `steps` (consecutive versions from 1) inside one
// BEGIN IMMEDIATE transaction, the version read inside it so a second program opening the same
// new file at once runs no step twice.
MigrationResult MigrateSchema(sqlite3* db, std::span<const Migration> steps = Migrations());

} // namespace fundlens
