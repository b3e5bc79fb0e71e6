// The designs of the three windows: every control's name, kind, caption, place and size, and
// the grid designs. Places are in the window's client area.
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
    // The designed size is the window's outer size; the program uses it as the client size,
    // so every control keeps its designed place inside the window whatever the frame.
    int left, top, width, height;
    std::vector<ControlDesign> controls;
};

const WindowDesign& MainWindowDesign();
const WindowDesign& SectorWindowDesign();
const WindowDesign& ChartWindowDesign();

// The design of a grid of the main window (高级表格1 .. 高级表格6).
const GridDesign& GridDesignNamed(std::string_view name);

// The suggestion list's columns: "名称" (210) and the hidden "ID" (0) holding the fund code.
struct ListColumn {
    const char* header;
    int width;
};
const std::vector<ListColumn>& SuggestionListColumns();

// The popup menus of the main window and their single items.
inline constexpr const char* AddMenuName = "菜单";
inline constexpr const char* AddMenuItem = "加入对比";
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
