#include "basket/basket_fetch.h"

#include "portal/fund_holdings.h"
#include "web/web_request.h"

namespace fundlens {

Text JoinedCodes(const std::vector<Text>& codes) {
    Text joined;
    for (const Text& code : codes)
        joined += (joined.empty() ? "" : ",") + code;
    return joined;
}

FundCurves FetchBasketCurves(const std::vector<Text>& codes, const Text& periodKey,
                             const Cancellation* cancel) {
    WebCall call;
    call.url = CompareUrl(JoinedCodes(codes), periodKey);
    call.extraHeaders = CompareRefererHeader();
    call.cancel = cancel;
    const Text answer = Utf8ToText(WebRequest(call));
    return CutFundCurves(answer, codes);
}

std::optional<TopHoldings> TopTenOfArchive(const Text& archiveAnswer) {
    const ArchiveHoldings archive = CutHoldings(archiveAnswer);
    if (archive.reportDate.empty())
        return std::nullopt;
    return TopHoldingsOf(archive, {});
}

std::optional<TopHoldings> FetchTopTen(const Text& code, const Cancellation* cancel) {
    WebCall call;
    call.url = ArchiveUrl(code);
    call.cancel = cancel;
    const Text answer = WebRequest(call);
    if (!IsSuccessStatus(call.status))
        return std::nullopt;
    return TopTenOfArchive(answer);
}

} // namespace fundlens
