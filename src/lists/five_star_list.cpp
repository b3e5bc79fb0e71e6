#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "portal/ranking.h"
#include "shell/controls.h"
#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

void LoadFiveStarList(const Text& sortKey, const Text& sortOrder) {
    State().ListIsFiveStar = 1;
    RankListSource source;
    source.probeUrl = RankingUrl(FiveStarProbeQuery());
    source.pageUrl = [&](int page) {
        return RankingUrl(FiveStarPageQuery(sortKey, sortOrder, page));
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
