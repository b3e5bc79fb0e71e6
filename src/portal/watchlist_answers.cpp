#include "portal/watchlist_answers.h"

#include "text/json_document.h"
#include "web/web_request.h"

#include <algorithm>
#include <set>

namespace fundlens {

namespace {

// The archive endpoint answers a script assigning its table's HTML.
constexpr const char* ArchiveScriptStart = "var apidata=";
constexpr const char* ArchiveContent = "content:";
// The status of a page the portal does not have.
constexpr const char* NotFoundStatus = "404";

// The JSON inside a JSONP answer: from the first "(" to the last ")".
bool ParseJsonp(const Text& answer, JsonDocument& document) {
    const std::size_t open = answer.find('(');
    const std::size_t close = answer.rfind(')');
    return open != Text::npos && close != Text::npos && close > open &&
           document.Parse(answer.substr(open + 1, close - open - 1));
}

} // namespace

MainPageAnswer CutMainPageAnswer(const Text& page) {
    MainPageAnswer answer;
    answer.figures = CutMainPage(page);
    answer.name = CutMainPageName(page);
    // The net-value block was there (a fund without a NAV yet shows "--" in it).
    answer.readable = !answer.figures.date.empty() || !answer.figures.netValue.empty();
    return answer;
}

ArchiveAnswer CutArchiveAnswer(const Text& answer) {
    ArchiveAnswer archive;
    const std::size_t script = FindText(answer, ArchiveScriptStart);
    archive.readable =
        script != Text::npos && FindText(answer, ArchiveContent, script) != Text::npos;
    if (archive.readable)
        archive.holdings = CutHoldings(answer);
    return archive;
}

QuoteAnswer CutQuoteAnswer(const Text& answer) {
    QuoteAnswer quotes;
    JsonDocument document;
    if (!ParseJsonp(Utf8ToText(answer), document))
        return quotes;
    // "data" is an object for a list of ids (null only for a list naming none, never asked).
    quotes.readable = document.TypeOf("data") == JsonDocument::Object;
    if (quotes.readable)
        quotes.quotes = CutQuotes(answer);
    return quotes;
}

std::vector<Text> StockIdsOf(const Text& stockIds) {
    std::vector<Text> ids;
    for (const std::string& id : SplitText(stockIds, ",")) {
        Text trimmed = TrimBlanks(id, " \t\r\n");
        if (!trimmed.empty())
            ids.push_back(std::move(trimmed));
    }
    return ids;
}

std::vector<Text> QuoteBatches(const std::vector<Text>& stockIdLists, std::size_t perBatch) {
    perBatch = std::max<std::size_t>(perBatch, 1);
    std::set<Text> seen;
    std::vector<Text> batches;
    std::size_t inBatch = 0;
    for (const Text& list : stockIdLists) {
        for (const Text& id : StockIdsOf(list)) {
            if (!seen.insert(id).second)
                continue;
            if (batches.empty() || inBatch == perBatch) {
                batches.emplace_back();
                inBatch = 0;
            }
            if (inBatch > 0)
                batches.back() += ',';
            batches.back() += id;
            ++inBatch;
        }
    }
    return batches;
}

MainPageAnswer FetchMainPage(const Text& code, const Cancellation* cancel) {
    WebCall call;
    call.url = MainPageUrl(code);
    call.cancel = cancel;
    MainPageAnswer answer = CutMainPageAnswer(WebRequest(call));
    answer.unknownFund = !answer.readable && call.status.starts_with(NotFoundStatus);
    return answer;
}

ArchiveAnswer FetchArchive(const Text& code, const Cancellation* cancel) {
    return CutArchiveAnswer(WebRequest(ArchiveUrl(code), cancel));
}

QuoteAnswer FetchQuotes(const Text& batch, const Cancellation* cancel) {
    return CutQuoteAnswer(WebRequest(QuoteUrl(batch), cancel));
}

} // namespace fundlens
