#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "lists/sector_table.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

namespace {

const char* const Rnd = "&pn=20&zf=diy&sh=list&rnd=0.6496325281618789";

Text SectorQuery(int sectorCode, const Text& sortKey, const Text& sortOrder, const Text& page) {
    return "dt=4&sd=&ed=&tp=BK0" + NumberToText(sectorCode) + "&sc=" + sortKey +
           "&st=" + sortOrder + "&pi=" + page + Rnd;
}

} // namespace

void LoadSectorList(int sectorCode, const Text& sortKey, const Text& sortOrder) {
    RankListSource source;
    source.probeUrl = RankingUrl(SectorQuery(sectorCode, "3y", "desc", "1"));
    source.pageUrl = [&](int page) {
        const bool first = State().FirstSectorLoad == 1;
        return RankingUrl(SectorQuery(sectorCode, first ? Text("3y") : sortKey,
                                      first ? Text("desc") : sortOrder, NumberToText(page)));
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
