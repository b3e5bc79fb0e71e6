#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "portal/ranking.h"
#include "portal/sector_table.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

void LoadSectorList(int sectorCode, const Text& sortKey, const Text& sortOrder) {
    RankListSource source;
    source.probeUrl =
        RankingUrl(SectorPageQuery(sectorCode, SectorDefaultSortKey, SectorDefaultSortOrder, 1));
    source.pageUrl = [&](int page) {
        const bool first = State().FirstSectorLoad == 1;
        return RankingUrl(SectorPageQuery(sectorCode, first ? Text(SectorDefaultSortKey) : sortKey,
                                          first ? Text(SectorDefaultSortOrder) : sortOrder, page));
    };
    source.afterProbe = [sectorCode] { State().CurrentSectorCode = sectorCode; };
    source.titlePrefix = State().CurrentSectorName + "板块"_gbk;
    LoadRankList(source);
    MainWindow().ButtonNamed("选择板块钮").SetEnabled(true);
}

void SectorChooserClicked() {
    State().ListIsFiveStar = 0;
    OpenSectorWindow();
    MainWindow().ButtonNamed("选择板块钮").SetEnabled(false);
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
    State().CurrentSectorName = window.ButtonNamed("按钮" + NumberToText(button)).Caption();
    window.SetVisible(false);
    LoadSectorList(SectorTable()[button - 1].code);
    window.PostClose();
}

void SectorWindowDestroyed() {
    State().FirstSectorLoad = 0;
    // Closed with its close box: the chooser is usable again (a running load enables it when
    // it ends).
    if (!ListLoadRunning())
        MainWindow().ButtonNamed("选择板块钮").SetEnabled(true);
}

} // namespace fundlens
