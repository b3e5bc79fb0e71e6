#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "portal/ranking.h"
#include "portal/sector_table.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

void LoadSectorList(int sectorCode, Text sortKey, Text sortOrder,
                    std::function<void(RunEnd)> onEnd) {
    RankListSource source;
    source.kind = SectorListTag;
    source.probeUrl =
        RankingUrl(SectorPageQuery(sectorCode, SectorDefaultSortKey, SectorDefaultSortOrder, 1));
    source.pageUrl = [sectorCode, sortKey, sortOrder](int page) {
        const bool first = State().FirstSectorLoad == 1;
        return RankingUrl(SectorPageQuery(sectorCode, first ? SectorDefaultSortKey : sortKey,
                                          first ? SectorDefaultSortOrder : sortOrder, page));
    };
    source.afterProbe = [sectorCode] { State().CurrentSectorCode = sectorCode; };
    source.titlePrefix = State().CurrentSectorName + "板块"_gbk;
    source.onEnd = std::move(onEnd);
    LoadRankList(std::move(source));
}

void SectorChooserClicked() {
    State().ListIsFiveStar = 0;
    if (OpenSectorWindow().Exists())
        SetSectorWindowOpen(true);
    State().SearchPickFlag = 0;
}

void SectorButtonClicked(int button) {
    if (button < 1 || button > SectorCount)
        return;
    // A sector chosen while another list loads would write into the same grid.
    if (ListLoadRunning()) {
        ShowMessage("数据加载中，请稍后再试"_gbk);
        return;
    }
    Window window = SectorWindow();
    const Sector& sector = SectorTable()[static_cast<std::size_t>(button - 1)];
    State().CurrentSectorName = Utf8ToText(sector.caption); // the button's caption
    window.SetVisible(false);
    // The window closes once the load has ended, however it ended.
    LoadSectorList(sector.code, {}, {}, [window](RunEnd) mutable { window.PostClose(); });
}

void SectorWindowDestroyed() {
    State().FirstSectorLoad = 0;
    SetSectorWindowOpen(false);
}

} // namespace fundlens
