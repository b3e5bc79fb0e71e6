#include "portal/fund_holdings.h"

#include "portal/profile.h"
#include "text/json_document.h"
#include "text/regex_matcher.h"

namespace fundlens {

namespace {

constexpr const char* ArchiveRt = "0.12776095035691926";
constexpr const char* QuoteCallback = "jQuery18306105309008007134_1628074711632";
constexpr const char* QuoteTimestamp = "1628074711810";
constexpr const char* QuoteToken = "5d0c3b8e1f2a4c6d9e7b0a1c2d3e4f56";

// Cell 2 of a holding row names the stock.
constexpr int CodeCell = 2;

Text StripTags(const Text& html) {
    RegexMatcher tags;
    if (!tags.Create("<[^>]*>", html))
        return html;
    return TrimBlanks(tags.Replace(""), " \t\r\n");
}

// The cells' contents of one table row, in order.
std::vector<Text> RowCells(const Text& row) {
    RegexMatcher cells;
    std::vector<Text> contents;
    if (!cells.Create("<td[^>]*>(.*?)</td>", row))
        return contents;
    for (int i = 1; i <= cells.MatchCount(); ++i)
        contents.push_back(cells.SubMatchText(i, 1));
    return contents;
}

Text RowWeight(const Text& row) {
    RegexMatcher weight;
    if (!weight.Create("<td class='tor'>(-?[0-9]+(?:\\.[0-9]+)?%)</td>", row))
        return Text();
    return weight.SubMatchText(1, 1);
}

} // namespace

Text ArchiveUrl(const Text& code) {
    return PortalUrl(PortalHost::F10, "/FundArchivesDatas.aspx?type=jjcc&code=" + code +
                                          "&topline=10&year=&month=&rt=" + ArchiveRt);
}

Text QuoteUrl(const Text& stockIds) {
    return PortalUrl(
        PortalHost::Quote,
        "/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb=" + Text(QuoteCallback) +
            "&ut=" + QuoteToken + "&secids=" + stockIds + ",&_=" + QuoteTimestamp);
}

ArchiveHoldings CutHoldings(const Text& archiveAnswer) {
    const Text page = Utf8ToText(archiveAnswer);
    ArchiveHoldings holdings;
    holdings.stockIds = TextBetween(page, "<div class='hide' id='gpdmList'>", ",</div>");
    RegexMatcher rows;
    if (!rows.Create("<tr>.*?</tr>", TextBetween(page, "<table", "</table>")))
        return holdings;
    for (int i = 1; i <= rows.MatchCount(); ++i) {
        const Text row = rows.MatchText(i);
        const std::vector<Text> cells = RowCells(row);
        if (static_cast<int>(cells.size()) < CodeCell)
            continue; // the header row
        const Text code = StripTags(cells[CodeCell - 1]);
        if (!code.empty())
            holdings.rows.push_back({code, RowWeight(row)});
    }
    return holdings;
}

std::vector<StockQuote> CutQuotes(const Text& quoteAnswer) {
    const Text answer = Utf8ToText(quoteAnswer);
    const std::size_t open = answer.find('(');
    const std::size_t close = answer.rfind(')');
    std::vector<StockQuote> quotes;
    JsonDocument document;
    // Only an array holds quotes (an object's members are looked up one by one: quadratic).
    if (open == Text::npos || close == Text::npos || close < open ||
        !document.Parse(answer.substr(open + 1, close - open - 1)) ||
        document.TypeOf("data.diff") != JsonDocument::Array)
        return quotes;
    const int count = document.Count("data.diff");
    for (int j = 0; j < count; ++j) {
        const Text element = "data.diff[" + NumberToText(j) + "].";
        quotes.push_back({document.GetText(element + "f12"), document.GetText(element + "f14"),
                          document.GetText(element + "f3")});
    }
    return quotes;
}

std::vector<HoldingRow> PairHoldings(const ArchiveHoldings& archive,
                                     const std::vector<StockQuote>& quotes) {
    std::vector<HoldingRow> rows;
    for (const StockQuote& quote : quotes) {
        if (static_cast<int>(rows.size()) == MaxHoldingRows)
            break;
        HoldingRow row;
        row.number = NumberToText(static_cast<int>(rows.size()) + 1);
        row.code = quote.code;
        row.name = quote.name;
        row.change = quote.change + "%";
        row.changeColor = IsAbove(TextToNumber(quote.change), 0) ? RgbRed : RgbGreen;
        for (const ArchiveRow& held : archive.rows) {
            if (held.stockCode == quote.code) {
                row.weight = held.weight;
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace fundlens
