// Checks of what the user gives the watchlist, made before anything is stored; the windows call
// them too. Each answers with an empty text when the input is fine, else a GBK message that says
// what is wrong in words a user understands.
#pragma once

#include "analysis/records.h"
#include "text/text.h"

#include <optional>

namespace fundlens {

struct ParsedNumber {
    std::optional<double> value; // absent when the text is no number
    Text why;                    // GBK: why it is none; empty when value is set
};

// A number typed by a user (GBK text): blanks around it, an optional sign, digits with optional
// thousands separators in groups of three ("1,000.00"), an optional decimal part. Full-width
// digits, signs, comma and point count as their ASCII forms. Nothing may follow the number; no
// exponent, NaN or infinity, and a value too large for a double is refused.
ParsedNumber ParseNumber(const Text& text);

// Six ASCII digits.
Text CheckFundCode(const Text& code);

// "YYYY-MM-DD", a day that exists.
Text CheckDate(const Text& date);

// A transaction as the store takes it: code and date as above; nav, fee, amount, shares and
// cost finite and not negative; Buy and Sell at a NAV above 0; a Buy with exactly one of amount
// and shares, above 0 (an amount above the fee); a Sell with shares above 0 and no amount; an
// Adjust with shares and no amount.
Text CheckTransaction(const Transaction& transaction);

// A position set directly: shares and cost finite and not negative.
Text CheckPosition(double shares, double cost);

// A day's figures: the estimate and the confirmed change finite, the covered weight finite and
// from 0 to 100.
Text CheckEstimate(double estimatePct, double coveredPct);
Text CheckConfirmed(double confirmedPct);

} // namespace fundlens
