// Opening the store's file: made with mode 0600 on the first add, checked before anything is
// written to it, brought to the current schema, and classified when it cannot be used.
#pragma once

#include "text/text.h"

#include <sqlite3.h>
#include <string>

namespace fundlens {

// Longest wait for a second program's write transaction.
inline constexpr int BusyTimeoutMs = 5000;

enum class OpenMode {
    ExistingOnly,    // no file: an absent store, nothing made
    CreateIfMissing, // no file: the folder (0700) and the file (0600) are made
};

enum class StoreState {
    Opened,        // an existing file, ready for changes
    Created,       // a new, empty file, ready for changes
    Absent,        // no file yet (ExistingOnly): lists nothing
    ReadOnlyNewer, // written by a newer build: readable, every change refused
    Damaged,       // not a database, a damaged one, or not ours: never written
    Failed,        // cannot be opened (permissions, disk, a busy second program)
};

// The outcome of opening; `db` (when set) belongs to the caller.
struct OpenedFile {
    sqlite3* db = nullptr;
    StoreState state = StoreState::Failed;
    Text message; // GBK, naming the file; empty for Opened, Created and Absent
};

// An empty `dataDir` (no home folder found) fails: the file is never put in the working folder.
OpenedFile OpenStoreFile(const std::string& dataDir, OpenMode mode);

} // namespace fundlens
