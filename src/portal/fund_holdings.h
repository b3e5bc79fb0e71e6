// The fund's largest stock holdings: the archive page that lists them each quarter, the live
// quotes of those stocks, and the rows of the holdings grid made from both.
#pragma once

#include "portal/rgb.h"
#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens {

// "/FundArchivesDatas.aspx?type=jjcc&code=<code>&topline=10&year=&month=&rt=…" on the F10 host
// (the "rt" value is the portal's fixed text).
Text ArchiveUrl(const Text& code);

// The live quotes of the stocks in `stockIds` (the archive's hidden list, passed on as it is):
// "/api/qt/ulist.np/get?…&secids=<ids>,&_=…" on the quote host. The portal serves quotes over
// HTTPS only; the scheme is that of the configured quote host, so the profile names an https
// base for the portal while the demo portal's http base works as it is.
Text QuoteUrl(const Text& stockIds);

// One holding row of the archive's latest quarter.
struct ArchiveRow {
    Text stockCode; // "600519", "00700"
    Text stockName;
    Text weight; // share of the fund's net assets, the cell's text as cut ("9.83%"); may be empty
    std::optional<double> weightPct; // the weight as a number, when it is one
};

struct ArchiveHoldings {
    Text stockIds; // the hidden id list without its trailing comma: "1.600519,0.000858"
    std::vector<ArchiveRow> rows; // the latest quarter's table, in page order
    Text reportDate;              // the date the latest quarter's table is as of ("2026-09-30")
};

// Cuts an archive answer (UTF-8 as received). The page holds one table per quarter, the latest
// first; only the first table's rows are read. A row's weight is the text of the cell after its
// archive link, as it stands; a row without the archive link (Hong Kong stocks) takes its first
// right-aligned cell holding a percentage (the two quote cells before it are empty on the page:
// a browser fills them), so such a row shifts nothing.
ArchiveHoldings CutHoldings(const Text& archiveAnswer);

// One element of the quote answer's "data.diff".
struct StockQuote {
    Text code;   // "f12"
    Text name;   // "f14"
    Text change; // "f3": today's change in percent ("2.5", "-1.23", "-" for a suspended stock)
    std::optional<double> changePct; // the change as a number; none for a suspended stock
};

// Cuts a quote answer (UTF-8 as received): the JSON between the first "(" and the last ")", so
// that a parenthesis inside a stock name ("华润微(CDR)") does not end it. "data.diff" is an
// array, or an object whose members "0", "1", … are the quotes. An answer that is not JSONP,
// does not parse or has neither gives no quotes.
std::vector<StockQuote> CutQuotes(const Text& quoteAnswer);

inline constexpr int MaxHoldingRows = 10;

// One row of the holdings grid.
struct HoldingRow {
    Text number; // "1" to "10"
    Text code;
    Text name;
    Text change; // the quote's change and "%"
    Text weight; // from the archive row of the same stock; empty when there is none
    // Red for a rise, green otherwise; none for a row that was never filled.
    std::optional<Rgb> changeColor;

    friend bool operator==(const HoldingRow&, const HoldingRow&) = default;
};

// One row per quote, in the quote answer's order, at most MaxHoldingRows. Each weight comes
// from the archive row with the quote's stock code, so a stock missing from either answer
// shifts no other stock's weight.
std::vector<HoldingRow> PairHoldings(const ArchiveHoldings& archive,
                                     const std::vector<StockQuote>& quotes);

} // namespace fundlens
