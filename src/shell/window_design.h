// The designs of the three windows: every control's name, kind, caption, place and size, and
// the grid designs. Places are in the window's client area. The names the program's code
// addresses controls by stand here once, beside the designs that use them.
#pragma once

#include "shell/grid_widget.h"

#include <string_view>
#include <vector>

namespace fundlens {

enum class ControlKind { Label, Button, Edit, Grid, List, Picture, Panel };

struct ControlDesign {
    const char* name;    // objectName, UTF-8
    ControlKind kind;    //
    const char* caption; // caption or initial text, UTF-8
    int left, top, width, height;
};

struct WindowDesign {
    const char* title; // UTF-8
    // The window's outer place and size (its frame included, where a window manager draws one);
    // the controls' places are in its client area.
    int left, top, width, height;
    std::vector<ControlDesign> controls;
};

// Rows of the fund list as designed, the header row included.
inline constexpr int FundListRows = 20;

// Controls of the main window the program's code addresses.
inline constexpr const char* FundListName = "高级表格1";
inline constexpr const char* CompareRowsName = "高级表格2";
inline constexpr const char* FiveStarButtonName = "五星基金钮";
inline constexpr const char* SectorChooserName = "选择板块钮";
inline constexpr const char* ChartButtonName = "净值走势钮";
inline constexpr const char* SearchBoxName = "搜索框";
inline constexpr const char* SuggestionListName = "超级列表框1";
// Beside 五星基金钮, where no designed control lies: the watchlist and the comparison basket.
inline constexpr const char* WatchlistButtonName = "自选基金钮";
inline constexpr const char* BasketButtonName = "多基金对比钮";

// The controls of one detail column: the current fund's on the left, the pinned fund's on the
// right, the same roles on both sides.
struct DetailColumnNames {
    const char* name;     // label: the fund's name
    const char* size;     // label: the fund's size
    const char* managers; // label: the current managers
    const char* rating;   // label: the rating stars
    const char* tenure;   // label: the return over the managers' tenure, coloured
    const char* risk;     // grid: standard deviation and Sharpe ratio over 1, 2, 3 years
    const char* holdings; // grid: the ten largest holdings
};
inline constexpr DetailColumnNames CurrentColumnNames{"标签19", "标签11",    "标签12",   "标签13",
                                                      "标签14", "高级表格3", "高级表格5"};
inline constexpr DetailColumnNames CompareColumnNames{"标签21", "标签15",    "标签16",   "标签17",
                                                      "标签18", "高级表格4", "高级表格6"};

// Controls of the chart window the program's code addresses.
inline constexpr const char* ChartPanelName = "画板1";
inline constexpr const char* ChartTitleName = "标签2";
inline constexpr const char* CurrentImageName = "图片框1";
inline constexpr const char* CompareImageName = "图片框2";

const WindowDesign& MainWindowDesign();
const WindowDesign& SectorWindowDesign();
const WindowDesign& ChartWindowDesign();

// The design of a grid of the main window (高级表格1 .. 高级表格6) or of the basket's window.
const GridDesign& GridDesignNamed(std::string_view name);

// The suggestion list's columns: "名称" (210) and the hidden "ID" (0) holding the fund code.
struct ListColumn {
    const char* header;
    int width;
};
const std::vector<ListColumn>& SuggestionListColumns();

// The popup menus of the main window and their items: the designed one first, ours after it.
inline constexpr const char* AddMenuName = "菜单";
inline constexpr const char* AddMenuItem = "加入对比";
inline constexpr const char* AddToWatchlistItem = "加入自选";
inline constexpr const char* AddToBasketItem = "加入对比篮";
inline constexpr const char* RemoveMenuName = "菜单1";
inline constexpr const char* RemoveMenuItem = "删除对比";

// Sector buttons: column left edges and row top edges.
int SectorButtonLeft(int column); // column 1..9
int SectorButtonTop(int row);     // row 1..12
inline constexpr int SectorButtonWidth = 90;
inline constexpr int SectorButtonHeight = 40;

// The number of period buttons of the chart window (按钮1 .. 按钮7).
inline constexpr int PeriodButtonCount = 7;

} // namespace fundlens
