// A watched fund's position from its recorded transactions, by the average-cost method, and the
// arithmetic checks a new or changed transaction must pass before the store records it.
#pragma once

#include "analysis/records.h"
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// The position after one transaction:
//   buy by amount  shares += (amount - fee) / nav, cost += amount (the amount includes the fee)
//   buy by shares  shares += shares, cost += shares x nav + fee
//   sell           cost x= (1 - sold / held), shares -= sold; the fee lowers the proceeds only.
//                  A sell beyond the shares held sells what is held.
//   adjust         shares and cost as given
// A transaction that fails TransactionProblem for any other reason changes nothing, so shares
// and cost never go negative. With no shares left the cost is 0.
Position ApplyTransaction(Position position, const Transaction& transaction);

// The position after the transactions of one fund, applied in date order, ties by id (the
// order they were recorded in). Transactions with an unreadable date come last.
Position PositionOf(std::vector<Transaction> transactions);

// The transactions in the order PositionOf applies them.
void SortTransactions(std::vector<Transaction>& transactions);

// What is wrong with the transaction's figures given the position before it, as a message for
// the user (GBK); empty when it can be recorded. "卖出份额超过持有份额" for a sell of more
// than is held. The store checks the formats (code, date); this checks the arithmetic.
Text TransactionProblem(const Position& before, const Transaction& transaction);

struct HistoryProblem {
    long long id = 0; // the transaction that cannot stand
    Text message;     // as TransactionProblem gives it
};

// The first transaction of the history, in PositionOf's order, that cannot stand after the
// transactions before it; nothing when all can. Pass the recorded transactions with a new one
// added (its id above the recorded ones', as the store will give it), one changed or one
// removed: a back-dated sell can leave a later sell selling more than is held.
std::optional<HistoryProblem> CheckHistory(std::vector<Transaction> transactions);

} // namespace fundlens
