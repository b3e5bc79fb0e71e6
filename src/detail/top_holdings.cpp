#include "detail/top_holdings.h"

#include "portal/fund_holdings.h"
#include "shell/main_view.h"
#include "web/web_request.h"

#include <vector>

namespace fundlens {

namespace {

// The rows over the column's holdings lines, from the first; the lines after them stay.
void ShowHoldings(const DetailLoad& load, const std::vector<HoldingRow>& rows) {
    auto& lines = load.Column().holdings;
    for (std::size_t i = 0; i < rows.size() && i < lines.size(); ++i)
        lines[i] = rows[i];
    ShowDetail(load.Side(), DetailPart::Holdings);
}

} // namespace

Loader LoadTopHoldings(DetailLoadPtr load) {
    Pending<ArchiveHoldings> archiveAnswer =
        OnPool(load->run, [url = ArchiveUrl(load->code)](const Cancellation& cancel) {
            return CutHoldings(WebRequest(url, &cancel));
        });
    const ArchiveHoldings archive = co_await archiveAnswer;
    // The quotes are asked for the archive's stock list (an empty list when it has none).
    Pending<std::vector<StockQuote>> quoteAnswer =
        OnPool(load->run, [url = QuoteUrl(archive.stockIds)](const Cancellation& cancel) {
            return CutQuotes(WebRequest(url, &cancel));
        });
    const std::vector<StockQuote> quotes = co_await quoteAnswer;
    ShowHoldings(*load, PairHoldings(archive, quotes));
    load->LoaderDone();
}

} // namespace fundlens
