#include "lists/rank_list.h"

#include "portal/rank_record.h"
#include "portal/ranking.h"
#include "shell/controls.h"
#include "shell/windows.h"
#include "web/web_request.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

constexpr int PageSize = 20;
// A portal that announces more pages than this is not believed beyond it: the grid's rows and
// the number of requests stay bounded.
constexpr double MaxPages = 500;

int g_loadDepth = 0;

// Marks a list load as running; 五星基金钮 stays disabled until the outermost load ends, so
// two list loads never interleave.
class LoadScope {
public:
    LoadScope() {
        if (g_loadDepth++ == 0)
            MainWindow().ButtonNamed("五星基金钮").SetEnabled(false);
    }
    ~LoadScope() {
        if (--g_loadDepth == 0)
            MainWindow().ButtonNamed("五星基金钮").SetEnabled(true);
    }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;
};

// The designed row count a list of `allPages` pages asks for, header row included.
int RowsForPages(double allPages) {
    return static_cast<int>(std::trunc(std::min(allPages, MaxPages) * PageSize));
}

RankPage FetchRankPage(const Text& url) {
    return CutRankPage(WebRequest(url));
}

// Writes the records from row `firstRow` on, then colours their return columns by the cell
// texts as shown.
void ShowRecords(Grid& grid, int firstRow, const std::vector<Text>& records) {
    for (std::size_t j = 0; j < records.size(); ++j) {
        const auto cells = FundRankRecord(records[j]).ListCells();
        for (int column = 0; column < FundListColumns; ++column)
            grid.SetCellText(firstRow + static_cast<int>(j), column, cells[column]);
    }
    for (std::size_t j = 0; j < records.size(); ++j) {
        const int row = firstRow + static_cast<int>(j);
        for (int column = FirstPercentColumn; column < FundListColumns; ++column)
            grid.SetCellColor(row, column, ReturnCellColor(grid.CellText(row, column)));
    }
}

} // namespace

bool ListLoadRunning() {
    return g_loadDepth > 0;
}

void LoadRankList(const RankListSource& source) {
    LoadScope scope;
    Grid grid = MainWindow().GridNamed("高级表格1");
    grid.Clear();

    RankPage previous = FetchRankPage(source.probeUrl);
    if (source.afterProbe)
        source.afterProbe();
    const double pages = std::min(std::trunc(previous.allPages), MaxPages);

    int rowsSoFar = 0;
    for (int page = 1; page <= pages && MainWindow().Exists(); ++page) {
        if (IsAbove(previous.allPages, 1))
            grid.SetRowCount(std::max(RowsForPages(previous.allPages), rowsSoFar + 1));
        RankPage current = FetchRankPage(source.pageUrl(page));
        const int count = static_cast<int>(current.records.size());
        // Every record gets a row: the title's count is the number of rows shown.
        if (grid.RowCount() < rowsSoFar + count + 1)
            grid.SetRowCount(rowsSoFar + count + 1);
        ShowRecords(grid, rowsSoFar + 1, current.records);
        rowsSoFar += count;
        MainWindow().SetTitle(source.titlePrefix + "正在加载第"_gbk + NumberToText(rowsSoFar) +
                              "条"_gbk);
        previous = std::move(current);
    }

    if (grid.CellText(1, 1).empty())
        MainWindow().SetTitle(source.titlePrefix + "加载失败，请重试"_gbk);
    else
        MainWindow().SetTitle(source.titlePrefix + "加载完毕，共"_gbk + NumberToText(rowsSoFar) +
                              "支基金"_gbk);
}

} // namespace fundlens
