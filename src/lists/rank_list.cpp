#include "lists/rank_list.h"

#include "portal/rank_record.h"
#include "portal/ranking.h"
#include "shell/controls.h"
#include "shell/windows.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

constexpr int PageSize = 20;
// A portal that announces more pages than this is not believed beyond it: the grid's rows and
// the number of requests stay bounded.
constexpr double MaxPages = 500;

bool g_sectorWindowOpen = false;

// The designed row count a list of `allPages` pages asks for, header row included.
int RowsForPages(double allPages) {
    return static_cast<int>(std::trunc(std::min(allPages, MaxPages) * PageSize));
}

int PageCount(const RankPage& probe) {
    return static_cast<int>(std::min(std::trunc(probe.allPages), MaxPages));
}

std::function<RankPage(const Cancellation&)> PageJob(Text url) {
    return
        [url = std::move(url)](const Cancellation& cancel) { return FetchRankPage(url, &cancel); };
}

// Writes the records from row `firstRow` on, then colours their return columns by the cell
// texts as shown. Every record gets a row: the title's count is the number of rows shown.
void ShowRecords(Grid& grid, int firstRow, const std::vector<Text>& records) {
    const int count = static_cast<int>(records.size());
    if (grid.RowCount() < firstRow + count)
        grid.SetRowCount(firstRow + count);
    for (int j = 0; j < count; ++j) {
        const auto cells = FundRankRecord(records[j]).ListCells();
        for (int column = 0; column < FundListColumns; ++column)
            grid.SetCellText(firstRow + j, column, cells[column]);
    }
    for (int row = firstRow; row < firstRow + count; ++row) {
        for (int column = FirstPercentColumn; column < FundListColumns; ++column)
            grid.SetCellColor(row, column, ReturnCellColor(grid.CellText(row, column)));
    }
}

void ShowListEnd(const RunToken& run, const Text& titlePrefix, int rowsShown, bool failed) {
    MainWindow().SetTitle(failed ? titlePrefix + "加载失败，请重试"_gbk
                                 : titlePrefix + "加载完毕，共"_gbk + NumberToText(rowsShown) +
                                       "支基金"_gbk);
    run.Finish();
}

} // namespace

Loader LoadRankList(RankListSource source) {
    // Overtaken (by a search pick), the load leaves no progress title behind.
    auto onEnd = [then = std::move(source.onEnd)](RunEnd how) {
        if (how == RunEnd::Superseded)
            MainWindow().SetTitle({});
        if (then)
            then(how);
    };
    const RunToken run = FundListRuns().Start(MainWindow().widget(), source.kind, onEnd);
    Grid grid = MainWindow().GridNamed("高级表格1");
    grid.Clear();

    Pending<RankPage> probeAnswer = OnPool(run, PageJob(source.probeUrl));
    const RankPage probe = co_await probeAnswer;
    if (source.afterProbe)
        source.afterProbe();

    std::vector<std::function<RankPage(const Cancellation&)>> jobs;
    for (int page = 1; page <= PageCount(probe); ++page)
        jobs.push_back(PageJob(source.pageUrl(page)));
    std::vector<Pending<RankPage>> answers = OnPoolInOrder(run, std::move(jobs), MaxPagesAtOnce);

    double previousAllPages = probe.allPages;
    int rowsSoFar = 0;
    bool failed = !probe.readable;
    for (Pending<RankPage>& answer : answers) {
        const RankPage page = co_await answer;
        if (!page.readable) {
            failed = true;
            break;
        }
        if (IsAbove(previousAllPages, 1))
            grid.SetRowCount(std::max(RowsForPages(previousAllPages), rowsSoFar + 1));
        ShowRecords(grid, rowsSoFar + 1, page.records);
        rowsSoFar += static_cast<int>(page.records.size());
        MainWindow().SetTitle(source.titlePrefix + "正在加载第"_gbk + NumberToText(rowsSoFar) +
                              "条"_gbk);
        previousAllPages = page.allPages;
    }
    ShowListEnd(run, source.titlePrefix, rowsSoFar, failed || grid.CellText(1, 1).empty());
}

bool ListLoadRunning() {
    return FundListRuns().Running(FiveStarListRun) || FundListRuns().Running(SectorListRun);
}

void UpdateListButtons() {
    const bool fiveStar = FundListRuns().Running(FiveStarListRun);
    const bool sector = FundListRuns().Running(SectorListRun);
    Window main = MainWindow();
    main.ButtonNamed("五星基金钮").SetEnabled(!fiveStar && !sector);
    main.ButtonNamed("选择板块钮").SetEnabled(!fiveStar && !sector && !g_sectorWindowOpen);
    main.ButtonNamed("净值走势钮").SetEnabled(!fiveStar);
}

void SetSectorWindowOpen(bool open) {
    g_sectorWindowOpen = open;
    UpdateListButtons();
}

} // namespace fundlens
