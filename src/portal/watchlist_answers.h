// What the watchlist asks the portal for each watched fund, and how it tells an answer that came
// whole from a failed request: the main page (net value and name), the holdings archive and the
// live quotes, these gathered over every watched fund into as few requests as the quote endpoint
// takes. A failed request cuts to the same nothing as a fund that holds nothing; the watchlist
// must not show the one as the other.
#pragma once

#include "portal/fund_holdings.h"
#include "portal/fund_main_page.h"
#include "text/text.h"
#include "web/cancellation.h"

#include <cstddef>
#include <vector>

namespace fundlens {

// The most securities one quote request may name.
inline constexpr std::size_t MaxQuoteBatch = 50;

struct MainPageAnswer {
    bool readable = false; // the page's net-value block came (its figures may be "--")
    MainPageFigures figures;
    Text name; // GBK, from the page's title; may be empty
    // The portal has no page for the code (404): not a failure, no such fund.
    bool unknownFund = false;
};

struct ArchiveAnswer {
    bool readable = false; // the archive's script came, whatever it lists (a bond fund: nothing)
    ArchiveHoldings holdings;
};

struct QuoteAnswer {
    bool readable = false; // the quote endpoint's JSONP with its data object, whatever it lists
    std::vector<StockQuote> quotes;
};

// The cuts, each from the text the request routine gives (the main page GBK, the others UTF-8
// as received).
MainPageAnswer CutMainPageAnswer(const Text& page);
ArchiveAnswer CutArchiveAnswer(const Text& answer);
QuoteAnswer CutQuoteAnswer(const Text& answer);

// The portal ids of an archive's hidden stock list ("1.600519,0.000858"), blanks and empty
// entries dropped.
std::vector<Text> StockIdsOf(const Text& stockIds);

// The ids of every list, each once in the order first met, in batches of at most `perBatch`
// (at least 1), each batch joined with commas as QuoteUrl takes it. No ids, no batch.
std::vector<Text> QuoteBatches(const std::vector<Text>& stockIdLists,
                               std::size_t perBatch = MaxQuoteBatch);

// The requests, blocking (worker threads only).
MainPageAnswer FetchMainPage(const Text& code, const Cancellation* cancel);
ArchiveAnswer FetchArchive(const Text& code, const Cancellation* cancel);
QuoteAnswer FetchQuotes(const Text& batch, const Cancellation* cancel);

} // namespace fundlens
