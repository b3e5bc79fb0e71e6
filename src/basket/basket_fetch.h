// The basket's requests and their cuts, blocking (on worker threads only): one period's curves
// of every fund from one compare request, and a fund's latest top ten from its archive page.
// The window's loaders run them on the I/O pool, the headless export on its own threads. No Qt.
#pragma once

#include "analysis/holdings.h"
#include "portal/comparison.h"
#include "web/cancellation.h"

#include <optional>
#include <vector>

namespace fundlens {

// The codes as the compare endpoint takes them: joined by ",".
Text JoinedCodes(const std::vector<Text>& codes);

// The curves of `codes` (in that order) for the period `periodKey`.
FundCurves FetchBasketCurves(const std::vector<Text>& codes, const Text& periodKey,
                             const Cancellation* cancel);

// The latest quarter's top ten of an archive answer; absent when the answer is no archive page
// (no report date: a failed or garbled answer, a fund the portal does not know). A fund holding
// no stocks has a top ten without stocks.
std::optional<TopHoldings> TopTenOfArchive(const Text& archiveAnswer);

// The archive page of `code`, cut.
std::optional<TopHoldings> FetchTopTen(const Text& code, const Cancellation* cancel);

} // namespace fundlens
