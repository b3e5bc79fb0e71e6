#include "shell/watchlist_view.h"

#include "shell/controls.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"

namespace fundlens {

namespace {

// Figures read best right-aligned; names, codes, dates and words left.
bool IsNumberColumn(int column) {
    const auto c = static_cast<WatchlistColumn>(column);
    return column >= static_cast<int>(WatchlistColumn::Nav) && c != WatchlistColumn::EstimateStatus;
}

QTableWidgetItem* ItemAt(GridWidget& grid, int row, int column) {
    QTableWidgetItem* item = grid.item(row - 1, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignVCenter |
                               (IsNumberColumn(column) ? Qt::AlignRight : Qt::AlignLeft));
        grid.setItem(row - 1, column, item);
    }
    return item;
}

void ShowRow(GridWidget& grid, int row, const WatchlistRow& cells) {
    for (int column = 0; column < WatchlistColumnCount; ++column) {
        const Figure& figure = cells.cells[static_cast<std::size_t>(column)];
        QTableWidgetItem* item = ItemAt(grid, row, column);
        item->setText(ToQString(figure.text));
        item->setForeground(figure.color ? QBrush(ToQColor(*figure.color)) : QBrush());
        item->setToolTip(ToQString(cells.tips[static_cast<std::size_t>(column)]));
    }
}

} // namespace

const WatchlistRow* WatchlistView::FundAt(int row) const {
    return row >= 1 && row <= static_cast<int>(funds.size())
               ? &funds[static_cast<std::size_t>(row - 1)]
               : nullptr;
}

const WatchlistRow* WatchlistView::RowAt(int row) const {
    if (row == static_cast<int>(funds.size()) + 1)
        return &totals;
    return FundAt(row);
}

void ShowWatchlist() {
    const Window window = WatchlistWindow();
    auto* grid = qobject_cast<GridWidget*>(window.GridNamed(WatchlistGridName).widget());
    if (grid == nullptr)
        return;
    const WatchlistView& view = State().Views.watchlist;
    Grid(grid).SetRowCount(view.GridRows());
    for (int row = 1; row < view.GridRows(); ++row)
        ShowRow(*grid, row, *view.RowAt(row));
    Label status = window.LabelNamed(WatchlistStatusName);
    status.SetCaption(view.status.text);
    status.SetTextColor(view.status.color.value_or(RgbBlack));
    status.SetToolTip(view.statusTip);
}

} // namespace fundlens
