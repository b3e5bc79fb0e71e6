// Keeping a store file aside: a damaged file is renamed beside itself, with its -wal and -shm
// companions, and never deleted or overwritten.
#pragma once

#include "text/text.h"

#include <ctime>
#include <string>

namespace fundlens {

struct AsideResult {
    std::string newPath; // where the file now is; empty when nothing was moved
    Text message;        // GBK, why it could not be moved; empty on success
};

// Renames `path` to `path.damaged-YYYYMMDD-HHMMSS` (local time of `now`), or with -2, -3, ...
// when that name or its -wal/-shm is taken, and its -wal and -shm (when present) to the new
// name with the same endings. No existing file is ever replaced. Every store open on the file
// must be gone first: a connection left open would go on using the moved files.
AsideResult SetAside(const std::string& path, std::time_t now = std::time(nullptr));

// The same for the -wal and -shm that a deleted store file left behind, while `path` itself is
// absent (SQLite would delete them when a new file of that name is set up):
// `path.orphaned-...-wal` and `-shm`. Succeeds with an empty new path when there are none.
AsideResult SetAsideLeftovers(const std::string& path, std::time_t now = std::time(nullptr));

} // namespace fundlens
