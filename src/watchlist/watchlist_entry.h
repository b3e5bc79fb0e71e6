// A transaction as the dialog's fields give it: read as the user typed it, checked by the
// store's input checks and by the position's arithmetic against the fund's recorded history,
// before anything is stored.
#pragma once

#include "analysis/records.h"
#include "shell/watchlist_dialog.h"
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

struct EntryOutcome {
    std::optional<Transaction> transaction; // set when the entry can be recorded
    Text problem;                           // GBK: why not, naming the field
};

// The entry as a transaction of `code`: Buy and Sell dated as typed (not after `today`),
// 编辑持仓 an Adjust dated `today`. The fee may be left empty (0). Then the store's checks, and
// the history: `recorded` (the fund's transactions) with this one added must stand, so that a
// back-dated sell cannot leave a later sell selling more than is held.
EntryOutcome TransactionOfEntry(EntryKind kind, const Text& code, const TransactionEntry& entry,
                                const Text& today, const std::vector<Transaction>& recorded);

} // namespace fundlens
