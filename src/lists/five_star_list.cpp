#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "portal/ranking.h"
#include "shell/program_state.h"

namespace fundlens {

void LoadFiveStarList(Text sortKey, Text sortOrder, std::function<void(RunEnd)> onEnd) {
    State().ListIsFiveStar = 1;
    RankListSource source;
    source.kind = FiveStarListTag;
    source.probeUrl = RankingUrl(FiveStarProbeQuery());
    source.pageUrl = [sortKey, sortOrder](int page) {
        return RankingUrl(FiveStarPageQuery(sortKey, sortOrder, page));
    };
    source.titlePrefix = "五星基金"_gbk;
    source.onEnd = std::move(onEnd);
    LoadRankList(std::move(source));
}

void FiveStarButtonClicked() {
    LoadFiveStarList();
}

} // namespace fundlens
