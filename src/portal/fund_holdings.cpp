#include "portal/fund_holdings.h"

#include "portal/figures.h"
#include "portal/profile.h"
#include "text/json_document.h"
#include "text/regex_matcher.h"

namespace fundlens {

namespace {

constexpr const char* ArchiveRt = "0.12776095035691926";
constexpr const char* QuoteCallback = "jQuery18306105309008007134_1628074711632";
constexpr const char* QuoteTimestamp = "1628074711810";
constexpr const char* QuoteToken = "5d0c3b8e1f2a4c6d9e7b0a1c2d3e4f56";

// Cells 2 and 3 of a holding row name the stock.
constexpr int CodeCell = 2;
constexpr int NameCell = 3;

const Text& ArchiveLinkEnd() {
    static const Text marker = "档案</a></td><td class='tor'>"_gbk;
    return marker;
}

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

// The cell after the archive link, as it stands; without the link, the first right-aligned cell
// that holds a percentage.
Text RowWeight(const Text& row) {
    if (FindText(row, ArchiveLinkEnd()) != Text::npos)
        return TextBetween(row, ArchiveLinkEnd(), "</td><td class='tor'>");
    RegexMatcher weight;
    if (!weight.Create("<td class='tor'>(-?[0-9]+(?:\\.[0-9]+)?%)</td>", row))
        return Text();
    return weight.SubMatchText(1, 1);
}

// "截止至：<font class='px12'>2026-09-30</font></label>": the date of the latest table.
Text ReportDate(const Text& page) {
    return StripTags(TextBetween(page, "截止至："_gbk, "</label>"));
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
    holdings.reportDate = ReportDate(page);
    RegexMatcher rows;
    if (!rows.Create("<tr>.*?</tr>", TextBetween(page, "<table", "</table>")))
        return holdings;
    for (int i = 1; i <= rows.MatchCount(); ++i) {
        const Text row = rows.MatchText(i);
        const std::vector<Text> cells = RowCells(row);
        if (static_cast<int>(cells.size()) < CodeCell)
            continue; // the header row
        const Text code = StripTags(cells[CodeCell - 1]);
        if (code.empty())
            continue;
        ArchiveRow held;
        held.stockCode = code;
        if (static_cast<int>(cells.size()) >= NameCell)
            held.stockName = StripTags(cells[NameCell - 1]);
        held.weight = RowWeight(row);
        held.weightPct = FigureNumber(held.weight);
        holdings.rows.push_back(std::move(held));
    }
    return holdings;
}

std::vector<StockQuote> CutQuotes(const Text& quoteAnswer) {
    const Text answer = Utf8ToText(quoteAnswer);
    const std::size_t open = answer.find('(');
    const std::size_t close = answer.rfind(')');
    std::vector<StockQuote> quotes;
    JsonDocument document;
    if (open == Text::npos || close == Text::npos || close < open ||
        !document.Parse(answer.substr(open + 1, close - open - 1)))
        return quotes;
    for (const JsonDocument& element : document.IndexedElements("data.diff")) {
        StockQuote quote{element.GetText("f12"), element.GetText("f14"), element.GetText("f3"),
                         std::nullopt};
        quote.changePct = FigureNumber(quote.change);
        quotes.push_back(std::move(quote));
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
        row.changeColor = SignColorOf(quote.change);
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
