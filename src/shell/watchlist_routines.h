// The watchlist window's event slots (part of the event table). Slots about a fund get its code,
// read from the view state when the event happened (a refresh may redraw the rows meanwhile).
#pragma once

#include "text/text.h"

#include <functional>

namespace fundlens {

struct WatchlistRoutines {
    std::function<void()> refreshClicked;                    // 刷新钮
    std::function<void(const Text& code)> rowDoubleClicked;  // 自选表格, a fund's row
    std::function<void(const Text& code)> buyChosen;         // 自选菜单: 加仓
    std::function<void(const Text& code)> sellChosen;        // 自选菜单: 减仓
    std::function<void(const Text& code)> editChosen;        // 自选菜单: 编辑持仓
    std::function<void(const Text& code)> removeChosen;      // 自选菜单: 删除
    std::function<void(const Text& code)> addToBasketChosen; // 自选菜单: 加入对比篮
    std::function<void()> timerTicked;   // the refresh timer, while the window is shown
    std::function<void()> windowResumed; // shown again after being hidden or minimised
    std::function<void()> windowClosed;

    // Opens a fund in the main window as a pick from the search suggestions does: its row as
    // row 1 of the fund list, then its detail. Filled where the subsystems are wired together.
    std::function<void(const Text& code, const Text& name)> openFundInMain;
};

} // namespace fundlens
