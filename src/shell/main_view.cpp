#include "shell/main_view.h"

#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

namespace {

constexpr int HoldingColumns = 5;
constexpr int ChangeColumn = 3;

ViewState& Views() {
    return State().Views;
}

const DetailColumnNames& NamesOf(DetailSide side) {
    return side == DetailSide::Compare ? CompareColumnNames : CurrentColumnNames;
}

void ShowRow(Grid& grid, int row, const FundListRow& cells) {
    for (int column = 0; column < FundListColumns; ++column) {
        const Figure& cell = cells[static_cast<std::size_t>(column)];
        grid.SetCellText(row, column, cell.text);
        if (cell.color)
            grid.SetCellColor(row, column, *cell.color);
    }
}

bool IsEmpty(const FundListRow& row) {
    for (const Figure& cell : row) {
        if (!cell.text.empty() || cell.color)
            return false;
    }
    return true;
}

// A holding line's cells, column 0 first.
std::array<const Text*, HoldingColumns> HoldingTexts(const HoldingRow& line) {
    return {&line.number, &line.code, &line.name, &line.change, &line.weight};
}

void ShowRisk(DetailSide side) {
    const DetailColumnView& column = Views().Column(side);
    Grid grid = MainWindow().GridNamed(NamesOf(side).risk);
    for (int row = 1; row <= RiskRows; ++row) {
        if (!column.riskLabels[row - 1].empty())
            grid.SetCellText(row, 0, column.riskLabels[row - 1]);
        for (int year = 1; year <= RiskYears; ++year) {
            const Figure& figure = column.risk[row - 1][year - 1];
            grid.SetCellText(row, year, figure.text);
            grid.SetCellColor(row, year, figure.color.value_or(RgbBlack));
        }
    }
}

void ShowHoldings(DetailSide side) {
    Grid grid = MainWindow().GridNamed(NamesOf(side).holdings);
    grid.Reset();
    int row = 1;
    for (const HoldingRow& line : Views().Column(side).holdings) {
        int column = 0;
        for (const Text* text : HoldingTexts(line)) {
            if (!text->empty())
                grid.SetCellText(row, column, *text);
            ++column;
        }
        if (line.changeColor)
            grid.SetCellColor(row, ChangeColumn, *line.changeColor);
        ++row;
    }
}

Text HeaderText(std::string_view gridName, int column) {
    const GridDesign& design = GridDesignNamed(gridName);
    if (column < 0 || column >= static_cast<int>(design.columns.size()))
        return {};
    return Utf8ToText(design.columns[static_cast<std::size_t>(column)].header);
}

Text RowText(const FundListRow* row, int column) {
    if (row == nullptr || column < 0 || column >= FundListColumns)
        return {};
    return (*row)[static_cast<std::size_t>(column)].text;
}

Text DetailCellText(DetailSide side, bool risk, int row, int column) {
    const DetailColumnView& view = Views().Column(side);
    if (risk) {
        if (row < 1 || row > RiskRows || column < 0 || column > RiskYears)
            return {};
        return column == 0 ? view.riskLabels[row - 1] : view.risk[row - 1][column - 1].text;
    }
    if (row < 1 || row > MaxHoldingRows || column < 0 || column >= HoldingColumns)
        return {};
    return *HoldingTexts(view.holdings[static_cast<std::size_t>(row - 1)])[column];
}

} // namespace

void ShowFundListFrame() {
    Grid grid = MainWindow().GridNamed(FundListName);
    grid.Clear();
    grid.SetRowCount(Views().fundList.rowCount);
}

void ShowFundListRowCount() {
    MainWindow().GridNamed(FundListName).SetRowCount(Views().fundList.rowCount);
}

void ShowFundListRows(int firstRow, int count) {
    Grid grid = MainWindow().GridNamed(FundListName);
    const FundListView& list = Views().fundList;
    for (int row = firstRow; row < firstRow + count; ++row) {
        if (const FundListRow* cells = list.Row(row))
            ShowRow(grid, row, *cells);
    }
}

const FundListRow* FundListMenuRow() {
    const Grid list = MainWindow().GridNamed(FundListName);
    for (const int row : {list.CursorRow(), list.MenuRow()}) {
        const FundListRow* fund = Views().fundList.Row(row);
        if (fund != nullptr && !(*fund)[CodeColumn].text.empty())
            return fund;
    }
    return nullptr;
}

void ShowCompareRows() {
    Grid grid = MainWindow().GridNamed(CompareRowsName);
    grid.Reset();
    const CompareRowsView& rows = Views().compareRows;
    for (int row : {1, 2}) {
        if (!IsEmpty(*rows.Row(row)))
            ShowRow(grid, row, *rows.Row(row));
    }
}

void ShowDetail(DetailSide side, DetailPart part) {
    const DetailColumnView& column = Views().Column(side);
    const DetailColumnNames& names = NamesOf(side);
    const Window main = MainWindow();
    switch (part) {
    case DetailPart::Name:
        main.LabelNamed(names.name).SetCaption(column.name);
        break;
    case DetailPart::Size:
        main.LabelNamed(names.size).SetCaption(column.size);
        break;
    case DetailPart::Managers:
        main.LabelNamed(names.managers).SetCaption(column.managers);
        break;
    case DetailPart::Rating:
        main.LabelNamed(names.rating).SetCaption(column.rating);
        break;
    case DetailPart::Tenure: {
        Label tenure = main.LabelNamed(names.tenure);
        tenure.SetTextColor(column.tenure.color.value_or(RgbBlack)); // the colour first
        tenure.SetCaption(column.tenure.text);
        break;
    }
    case DetailPart::Risk:
        ShowRisk(side);
        break;
    case DetailPart::Holdings:
        ShowHoldings(side);
        break;
    }
}

void ShowDetailColumn(DetailSide side) {
    for (DetailPart part :
         {DetailPart::Size, DetailPart::Managers, DetailPart::Rating, DetailPart::Tenure,
          DetailPart::Name, DetailPart::Risk, DetailPart::Holdings})
        ShowDetail(side, part);
}

void ShowSuggestionLines() {
    ListView list = MainWindow().ListNamed(SuggestionListName);
    list.Clear();
    for (const Suggestion& suggestion : Views().suggestions)
        list.AddItem({suggestion.name, suggestion.code});
}

void ShowSuggestionList(bool visible) {
    ListView list = MainWindow().ListNamed(SuggestionListName);
    if (visible)
        list.SetHeight(SuggestionListHeight(static_cast<int>(Views().suggestions.size())));
    list.SetVisible(visible);
}

Text ShownCellText(std::string_view gridName, int row, int column) {
    if (row == 0)
        return HeaderText(gridName, column);
    if (gridName == FundListName)
        return RowText(Views().fundList.Row(row), column);
    if (gridName == CompareRowsName)
        return RowText(Views().compareRows.Row(row), column);
    for (DetailSide side : {DetailSide::Current, DetailSide::Compare}) {
        if (gridName == NamesOf(side).risk)
            return DetailCellText(side, true, row, column);
        if (gridName == NamesOf(side).holdings)
            return DetailCellText(side, false, row, column);
    }
    return {};
}

} // namespace fundlens
