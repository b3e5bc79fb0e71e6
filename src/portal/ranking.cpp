#include "portal/ranking.h"

#include "portal/profile.h"
#include "web/web_request.h"

#include <array>

namespace fundlens {

namespace {

constexpr const char* FiveStarTail = "&pn=20&zf=diy&sh=list&rnd=0.01942454964583651";
constexpr const char* SectorTail = "&pn=20&zf=diy&sh=list&rnd=0.6496325281618789";

// Sort keys of the return columns 4 to 12.
constexpr std::array<const char*, 9> SortKeys{"r", "z", "1y", "3y", "6y", "jn", "1n", "2n", "3n"};
constexpr int FirstSortColumn = 4;

} // namespace

Text RankingUrl(const Text& query) {
    return PortalUrl(PortalHost::Fund, "/data/FundGuideapi.aspx?" + query);
}

RankPage FetchRankPage(const Text& url, const Cancellation* cancel) {
    constexpr int Attempts = 2;
    for (int attempt = 0; attempt < Attempts && !(cancel && cancel->Cancelled()); ++attempt) {
        WebCall call;
        call.url = url;
        call.cancel = cancel;
        const Text answer = WebRequest(call);
        RankPage page = CutRankPage(answer);
        if (page.readable && IsSuccessStatus(call.status))
            return page;
    }
    return RankPage{};
}

Text FiveStarProbeQuery() {
    return Text("dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1") + FiveStarTail;
}

Text FiveStarPageQuery(const Text& sortKey, const Text& sortOrder, int page) {
    const bool sorted = !sortKey.empty() && !sortOrder.empty();
    return "dt=4&sd=&ed=&rt=sz,5&sc=" + (sorted ? sortKey : Text("jn")) +
           "&st=" + (sorted ? sortOrder : Text("desc")) + "&pi=" + NumberToText(page) +
           FiveStarTail;
}

Text SectorPageQuery(int sectorCode, const Text& sortKey, const Text& sortOrder, int page) {
    return "dt=4&sd=&ed=&tp=BK0" + NumberToText(sectorCode) + "&sc=" + sortKey +
           "&st=" + sortOrder + "&pi=" + NumberToText(page) + SectorTail;
}

Text SortKeyOfColumn(int column) {
    const int index = column - FirstSortColumn;
    if (index < 0 || index >= static_cast<int>(SortKeys.size()))
        return {};
    return SortKeys[index];
}

} // namespace fundlens
