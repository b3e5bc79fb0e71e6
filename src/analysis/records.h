// The watchlist's recorded facts as plain values: what the store keeps and the arithmetic of
// src/analysis works on. No Qt, no SQLite.
#pragma once

#include "text/text.h"

#include <optional>

namespace fundlens {

enum class TransactionKind {
    Buy,    // shares bought at a NAV: by the amount paid (fee included) or by the shares
    Sell,   // shares sold at a NAV
    Adjust, // the position set directly: shares and cost as given
};

// One recorded transaction of a watched fund. Money in yuan, NAVs in yuan per share.
struct Transaction {
    long long id = 0; // the store's row id; orders the transactions of one date
    Text code;        // six digits
    TransactionKind kind = TransactionKind::Buy;
    Text date; // "YYYY-MM-DD"
    // Buy: exactly one of amount (paid, fee included) and shares. Sell: shares. Adjust: shares.
    std::optional<double> amount;
    std::optional<double> shares;
    double nav = 0;  // Buy and Sell: the NAV the transaction was made at
    double fee = 0;  // Buy and Sell
    double cost = 0; // Adjust: the position's cost from now on
};

// A position by the average-cost method.
struct Position {
    double shares = 0;
    double cost = 0; // yuan paid for the shares held, fees included
};

// One fund's estimate of one trading day and, once the day's NAV is out, its confirmed change.
struct EstimateRecord {
    Text code;
    Text tradeDate;                     // "YYYY-MM-DD", China time
    std::optional<double> estimatePct;  // the last estimate before 15:00
    std::optional<double> coveredPct;   // the weight that estimate covered
    std::optional<double> confirmedPct; // the day's change as the fund's NAV gives it
};

} // namespace fundlens
