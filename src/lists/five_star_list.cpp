#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "shell/controls.h"
#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

namespace {

const char* const ProbeQuery =
    "dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=20&zf=diy&sh=list&rnd=0.01942454964583651";

Text PageQuery(const Text& sortKey, const Text& sortOrder, int page) {
    return "dt=4&sd=&ed=&rt=sz,5&sc=" + sortKey + "&st=" + sortOrder + "&pi=" + NumberToText(page) +
           "&pn=20&zf=diy&sh=list&rnd=0.01942454964583651";
}

} // namespace

void LoadFiveStarList(const Text& sortKey, const Text& sortOrder) {
    State().ListIsFiveStar = 1;
    const bool sorted = !sortKey.empty() && !sortOrder.empty();
    RankListSource source;
    source.probeUrl = RankingUrl(ProbeQuery);
    source.pageUrl = [&](int page) {
        return RankingUrl(sorted ? PageQuery(sortKey, sortOrder, page)
                                 : PageQuery("jn", "desc", page));
    };
    source.titlePrefix = "五星基金"_gbk;
    LoadRankList(source);
}

void FiveStarButtonClicked() {
    Button chooser = MainWindow().ButtonNamed("选择板块钮");
    Button chart = MainWindow().ButtonNamed("净值走势钮");
    chooser.SetEnabled(false);
    chart.SetEnabled(false);
    LoadFiveStarList();
    chooser.SetEnabled(true);
    chart.SetEnabled(true);
}

} // namespace fundlens
