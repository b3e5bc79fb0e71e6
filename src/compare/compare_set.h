// The compare set: the main window's compare column beside the current one. Adding moves what
// the current column shows into the compare column and pins the selected list row's fund;
// removing empties the compare column.
#pragma once

namespace fundlens {

// 菜单 "加入对比": the selected row of 高级表格1 goes to 高级表格2, the current column's labels,
// risk figures and holdings move to the compare column; CompareFundCode becomes the row's
// code, CurrentFundCode empty. Without a selected, named row: "请选择要加入的对象".
void AddToCompare();

// 菜单1 "删除对比": empties 高级表格2 and the compare column; CompareFundCode becomes empty.
// Without a selected, named row of 高级表格2: "请选择要删除的对象".
void RemoveFromCompare();

} // namespace fundlens
