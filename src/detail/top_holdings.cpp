#include "detail/top_holdings.h"

#include "portal/fund_holdings.h"
#include "shell/controls.h"
#include "web/web_request.h"

#include <vector>

namespace fundlens {

namespace {

constexpr int ChangeColumn = 3;

void ShowHoldings(const DetailColumn& column, const std::vector<HoldingRow>& rows) {
    Grid grid = column.HoldingsGrid();
    int row = 1;
    for (const HoldingRow& holding : rows) {
        int cell = 0;
        for (const Text* text :
             {&holding.number, &holding.code, &holding.name, &holding.change, &holding.weight})
            grid.SetCellText(row, cell++, *text);
        grid.SetCellColor(row, ChangeColumn, holding.changeColor);
        ++row;
    }
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
    ShowHoldings(load->Column(), PairHoldings(archive, quotes));
    load->LoaderDone();
}

} // namespace fundlens
