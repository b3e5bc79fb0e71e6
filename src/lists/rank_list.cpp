#include "lists/rank_list.h"

#include "portal/rank_record.h"
#include "portal/ranking.h"
#include "shell/main_view.h"
#include "shell/program_state.h"
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

// A page as the fund list shows it: the answer's page count and its rows, made on the worker.
struct ListPage {
    double allPages = 0;
    bool readable = false;
    std::vector<FundListRow> rows;
};

// The designed row count a list of `allPages` pages asks for, header row included.
int RowsForPages(double allPages) {
    return static_cast<int>(std::trunc(std::min(allPages, MaxPages) * PageSize));
}

int PageCount(const ListPage& probe) {
    return static_cast<int>(std::min(std::trunc(probe.allPages), MaxPages));
}

std::function<ListPage(const Cancellation&)> PageJob(Text url) {
    return [url = std::move(url)](const Cancellation& cancel) {
        const RankPage page = FetchRankPage(url, &cancel);
        ListPage rows{page.allPages, page.readable, {}};
        rows.rows.reserve(page.records.size());
        for (const Text& record : page.records)
            rows.rows.push_back(ListRowOf(FundRankRecord(record)));
        return rows;
    };
}

// Adds the page's rows after the rows shown and shows them. Every record gets a row: the
// title's count is the number of rows shown.
void ShowPageRows(std::vector<FundListRow> rows) {
    FundListView& list = State().Views.fundList;
    const int firstRow = static_cast<int>(list.rows.size()) + 1;
    const int count = static_cast<int>(rows.size());
    std::move(rows.begin(), rows.end(), std::back_inserter(list.rows));
    if (list.rowCount < firstRow + count) {
        list.rowCount = firstRow + count;
        ShowFundListRowCount();
    }
    ShowFundListRows(firstRow, count);
}

void ShowListEnd(const RunToken& run, const Text& titlePrefix, int rowsShown, bool failed) {
    MainWindow().SetTitle(failed ? titlePrefix + "加载失败，请重试"_gbk
                                 : titlePrefix + "加载完毕，共"_gbk + NumberToText(rowsShown) +
                                       "支基金"_gbk);
    run.Finish();
}

bool FirstCodeEmpty(const FundListView& list) {
    const FundListRow* first = list.Row(1);
    return first == nullptr || (*first)[CodeColumn].text.empty();
}

} // namespace

Loader LoadRankList(RankListSource source) {
    // Overtaken (by a search pick), the load leaves no progress title behind.
    auto onEnd = [then = std::move(source.onEnd)](RunEnd how) {
        if (how == RunEnd::Superseded)
            MainWindow().SetTitle({});
        UpdateListButtons();
        if (then)
            then(how);
    };
    const RunToken run = StartRun(RunName::ListLoad, MainWindow().widget(), source.kind, onEnd);
    UpdateListButtons();
    FundListView& list = State().Views.fundList;
    list.rows.clear();
    ShowFundListFrame();

    Pending<ListPage> probeAnswer = OnPool(run, PageJob(source.probeUrl));
    const ListPage probe = co_await probeAnswer;
    if (source.afterProbe)
        source.afterProbe();

    std::vector<std::function<ListPage(const Cancellation&)>> jobs;
    for (int page = 1; page <= PageCount(probe); ++page)
        jobs.push_back(PageJob(source.pageUrl(page)));
    std::vector<Pending<ListPage>> answers = OnPoolInOrder(run, std::move(jobs), MaxPagesAtOnce);

    double previousAllPages = probe.allPages;
    bool failed = !probe.readable;
    for (Pending<ListPage>& answer : answers) {
        ListPage page = co_await answer;
        if (!page.readable) {
            failed = true;
            break;
        }
        if (IsAbove(previousAllPages, 1)) {
            list.rowCount =
                std::max(RowsForPages(previousAllPages), static_cast<int>(list.rows.size()) + 1);
            ShowFundListRowCount();
        }
        ShowPageRows(std::move(page.rows));
        MainWindow().SetTitle(source.titlePrefix + "正在加载第"_gbk +
                              NumberToText(static_cast<int>(list.rows.size())) + "条"_gbk);
        previousAllPages = page.allPages;
    }
    ShowListEnd(run, source.titlePrefix, static_cast<int>(list.rows.size()),
                failed || FirstCodeEmpty(list));
}

bool ListLoadRunning() {
    return IsRunning(RunName::ListLoad);
}

void UpdateListButtons() {
    const bool fiveStar = IsRunning(RunName::ListLoad, FiveStarListTag);
    const bool sector = IsRunning(RunName::ListLoad, SectorListTag);
    Window main = MainWindow();
    main.ButtonNamed(FiveStarButtonName).SetEnabled(!fiveStar && !sector);
    main.ButtonNamed(SectorChooserName).SetEnabled(!fiveStar && !sector && !g_sectorWindowOpen);
    main.ButtonNamed(ChartButtonName).SetEnabled(!fiveStar);
}

void SetSectorWindowOpen(bool open) {
    g_sectorWindowOpen = open;
    UpdateListButtons();
}

} // namespace fundlens
