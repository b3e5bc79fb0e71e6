#include "compare/compare_set.h"

#include "portal/figures.h"
#include "runs/runs.h"
#include "shell/main_view.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

namespace {

// The list columns whose colour goes along with the text (the list colours its figures).
constexpr int FirstColouredListColumn = 3;

// The current column's row goes to the comparison grid's first row.
void PinListRow(const FundListRow& row) {
    FundListRow& pinned = State().Views.compareRows.pinned;
    for (int column = 0; column < FundListColumns; ++column) {
        const auto c = static_cast<std::size_t>(column);
        pinned[c].text = row[c].text;
        if (column >= FirstColouredListColumn)
            pinned[c].color = row[c].color.value_or(RgbBlack);
    }
    ShowCompareRows();
}

// Size, managers, rating, tenure (its colour along) and name, in this order: each goes to the
// compare column, then leaves the current one.
void MoveLabels(DetailColumnView& current, DetailColumnView& compare) {
    const std::pair<Text DetailColumnView::*, DetailPart> labels[] = {
        {&DetailColumnView::size, DetailPart::Size},
        {&DetailColumnView::managers, DetailPart::Managers},
        {&DetailColumnView::rating, DetailPart::Rating}};
    for (const auto& [field, part] : labels) {
        compare.*field = std::exchange(current.*field, Text());
        ShowDetail(DetailSide::Compare, part);
        ShowDetail(DetailSide::Current, part);
    }
    compare.tenure = current.tenure;
    current.tenure.text.clear(); // the current label keeps its colour
    ShowDetail(DetailSide::Compare, DetailPart::Tenure);
    ShowDetail(DetailSide::Current, DetailPart::Tenure);
    compare.name = std::exchange(current.name, Text());
    ShowDetail(DetailSide::Compare, DetailPart::Name);
    ShowDetail(DetailSide::Current, DetailPart::Name);
}

// Cell by cell; the compare column colours what it takes, "--" keeping the colour it has.
void MoveRiskFigures(DetailColumnView& current, DetailColumnView& compare) {
    for (int row = 1; row <= RiskRows; ++row) {
        for (int year = 0; year < RiskYears; ++year) {
            Figure& from = current.risk[row - 1][year];
            Figure& to = compare.risk[row - 1][year];
            to.text = std::exchange(from.text, Text());
            if (const std::optional<Rgb> color = RiskFigureColor(row, to.text))
                to.color = color;
        }
    }
    ShowDetail(DetailSide::Compare, DetailPart::Risk);
    ShowDetail(DetailSide::Current, DetailPart::Risk);
}

// Every line, the change coloured by its number (a text that is no number: green).
void CopyHoldings(const DetailColumnView& current, DetailColumnView& compare) {
    for (std::size_t line = 0; line < current.holdings.size(); ++line) {
        compare.holdings[line] = current.holdings[line];
        compare.holdings[line].changeColor = SignColorOf(current.holdings[line].change);
    }
    ShowDetail(DetailSide::Compare, DetailPart::Holdings);
}

// The grid row `row` of a view when it holds a fund name; null otherwise.
template <class RowsView>
const FundListRow* NamedRow(const RowsView& rows, int row) {
    const FundListRow* shown = row >= 1 ? rows.Row(row) : nullptr;
    return shown && !(*shown)[NameColumn].text.empty() ? shown : nullptr;
}

} // namespace

void AddToCompare() {
    ViewState& views = State().Views;
    const FundListRow* row =
        NamedRow(views.fundList, MainWindow().GridNamed(FundListName).CursorRow());
    if (row == nullptr) {
        ShowMessage("请选择要加入的对象"_gbk);
        return;
    }
    EndRuns(RunEvent::FundPinned);
    PinListRow(*row);
    MoveLabels(views.current, views.compare);
    MoveRiskFigures(views.current, views.compare);
    CopyHoldings(views.current, views.compare);
    State().CompareFundCode = views.compareRows.pinned[CodeColumn].text;
    views.current.holdings.fill(HoldingRow{});
    ShowDetail(DetailSide::Current, DetailPart::Holdings);
    State().CurrentFundCode.clear();
    // The answers of the fund moved over that are still on their way follow it.
    PinLoadingDetail();
}

void RemoveFromCompare() {
    ViewState& views = State().Views;
    if (NamedRow(views.compareRows, MainWindow().GridNamed(CompareRowsName).CursorRow()) ==
        nullptr) {
        ShowMessage("请选择要删除的对象"_gbk);
        return;
    }
    EndRuns(RunEvent::PinRemoved);
    views.compareRows = {};
    ShowCompareRows();
    DetailColumnView& compare = views.compare;
    compare.size.clear();
    compare.managers.clear();
    compare.rating.clear();
    compare.tenure.text.clear();
    compare.name.clear();
    for (DetailPart part : {DetailPart::Size, DetailPart::Managers, DetailPart::Rating,
                            DetailPart::Tenure, DetailPart::Name})
        ShowDetail(DetailSide::Compare, part);
    for (auto& row : compare.risk) {
        for (Figure& figure : row)
            figure.text.clear();
    }
    ShowDetail(DetailSide::Compare, DetailPart::Risk);
    compare.holdings.fill(HoldingRow{});
    ShowDetail(DetailSide::Compare, DetailPart::Holdings);
    State().CompareFundCode.clear();
}

} // namespace fundlens
