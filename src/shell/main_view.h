// The main window's parts drawn from their values (State().Views): a loader or the compare set
// stores what it has in the view state, then calls the show function of the part it changed.
// Nothing here decides a figure or its colour; it draws what the values say.
#pragma once

#include "shell/view_state.h"

#include <string_view>

namespace fundlens {

// The fund list emptied (its header restored, every cell and colour gone) with the view's row
// count; then rows can be shown.
void ShowFundListFrame();
// The fund list's row count as the view gives it.
void ShowFundListRowCount();
// Grid rows firstRow … firstRow + count - 1 of the fund list (1 is the first row) from the
// view's rows; the grid has room for them (ShowFundListRowCount).
void ShowFundListRows(int firstRow, int count);

// The fund row the fund list's own menu items (加入自选, 加入对比篮) act on: the cursor row when
// it holds a fund, else the row the menu was opened on (a search pick leaves no cursor on the
// fund it shows); null when neither holds one.
const FundListRow* FundListMenuRow();

// The comparison grid 高级表格2 as the view gives it.
void ShowCompareRows();

// A part of a detail column.
enum class DetailPart { Name, Size, Managers, Rating, Tenure, Risk, Holdings };
void ShowDetail(DetailSide side, DetailPart part);
// Every part of the column, in the column's order.
void ShowDetailColumn(DetailSide side);

// The suggestion list's lines as the view gives them.
void ShowSuggestionLines();
// Shows the suggestion list, one line taller than its lines, or hides it.
void ShowSuggestionList(bool visible);

// The text a grid of the main window shows at (row, column), read from the view (row 0 is the
// header): what Ctrl+C copies. Empty outside the grid.
Text ShownCellText(std::string_view gridName, int row, int column);

} // namespace fundlens
