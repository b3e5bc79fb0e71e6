#include "compare/compare_set.h"

#include "compare/compare_colors.h"
#include "portal/rank_record.h"
#include "shell/detail_runs.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"

#include <array>
#include <utility>

namespace fundlens {

namespace {

// The list columns whose colour goes along with the text (the list colours its figures).
constexpr int FirstColouredListColumn = 3;

// The risk grids' value columns and the holdings grids' rows and columns.
constexpr int FirstRiskColumn = 1;
constexpr int LastRiskColumn = 3;
constexpr int HoldingRows = 10;
constexpr int HoldingColumns = 5;
constexpr int HoldingChangeColumn = 3;

// Current label -> compare label, in the order they move. 标签14 (tenure return) carries its
// colour along.
constexpr std::array<std::pair<const char*, const char*>, 5> LabelMoves{{
    {"标签11", "标签15"},
    {"标签12", "标签16"},
    {"标签13", "标签17"},
    {"标签14", "标签18"},
    {"标签19", "标签21"},
}};
constexpr const char* ColouredLabel = "标签14";

void CopyListRow(const Grid& list, int row, Grid& compareRows) {
    for (int column = 0; column < FundListColumns; ++column) {
        compareRows.SetCellText(1, column, list.CellText(row, column));
        if (column >= FirstColouredListColumn) {
            compareRows.SetCellColor(1, column, list.CellColor(row, column));
        }
    }
}

void MoveLabels(const Window& main) {
    for (const auto& [from, to] : LabelMoves) {
        Label current = main.LabelNamed(from);
        Label compare = main.LabelNamed(to);
        compare.SetCaption(current.Caption());
        if (std::string_view(from) == ColouredLabel) {
            compare.SetTextColor(current.TextColor());
        }
        current.SetCaption({});
    }
}

void MoveRiskFigures(Grid& current, Grid& compare) {
    for (int row : {DeviationRow, SharpeRow}) {
        for (int column = FirstRiskColumn; column <= LastRiskColumn; ++column) {
            const Text text = current.CellText(row, column);
            compare.SetCellText(row, column, text);
            current.SetCellText(row, column, {});
            if (const std::optional<Rgb> color = RiskCellColor(row, text)) {
                compare.SetCellColor(row, column, *color);
            }
        }
    }
}

void CopyHoldings(const Grid& current, Grid& compare) {
    for (int row = 1; row <= HoldingRows; ++row) {
        for (int column = 0; column < HoldingColumns; ++column) {
            compare.SetCellText(row, column, current.CellText(row, column));
        }
        compare.SetCellColor(row, HoldingChangeColumn,
                             HoldingChangeColor(current.CellText(row, HoldingChangeColumn)));
    }
}

// The grid's cursor row when it holds a fund name; 0 otherwise.
int SelectedNamedRow(const Grid& grid) {
    const int row = grid.CursorRow();
    return row >= 1 && !grid.CellText(row, 0).empty() ? row : 0;
}

} // namespace

void AddToCompare() {
    const Window main = MainWindow();
    const Grid list = main.GridNamed("高级表格1");
    const int row = SelectedNamedRow(list);
    if (row == 0) {
        ShowMessage("请选择要加入的对象"_gbk);
        return;
    }
    // A fund pinned before and still loading writes nothing more into the compare column.
    CompareColumnRuns().Stop();
    Grid compareRows = main.GridNamed("高级表格2");
    CopyListRow(list, row, compareRows);
    MoveLabels(main);
    Grid risk = main.GridNamed("高级表格3");
    Grid compareRisk = main.GridNamed("高级表格4");
    MoveRiskFigures(risk, compareRisk);
    Grid holdings = main.GridNamed("高级表格5");
    Grid compareHoldings = main.GridNamed("高级表格6");
    CopyHoldings(holdings, compareHoldings);
    State().CompareFundCode = compareRows.CellText(1, 1);
    holdings.Reset();
    State().CurrentFundCode.clear();
    // The answers of the fund moved over that are still on their way follow it.
    RetargetDetailToCompareColumn();
}

void RemoveFromCompare() {
    const Window main = MainWindow();
    Grid compareRows = main.GridNamed("高级表格2");
    if (SelectedNamedRow(compareRows) == 0) {
        ShowMessage("请选择要删除的对象"_gbk);
        return;
    }
    CompareColumnRuns().Stop();
    compareRows.Reset();
    for (const auto& [from, to] : LabelMoves) {
        main.LabelNamed(to).SetCaption({});
    }
    Grid compareRisk = main.GridNamed("高级表格4");
    for (int row : {DeviationRow, SharpeRow}) {
        for (int column = FirstRiskColumn; column <= LastRiskColumn; ++column) {
            compareRisk.SetCellText(row, column, {});
        }
    }
    main.GridNamed("高级表格6").Reset();
    State().CompareFundCode.clear();
}

} // namespace fundlens
