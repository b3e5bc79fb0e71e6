// The event table: one slot per control event of the three windows. The subsystems fill the
// slots at start-up through their install functions; a slot nobody filled does nothing.
#pragma once

#include "shell/basket_routines.h"
#include "shell/watchlist_routines.h"
#include "text/text.h"

#include <functional>
#include <utility>

namespace fundlens {

struct EventRoutines {
    // Main window.
    std::function<void()> fiveStarClicked;                  // 五星基金钮
    std::function<void()> sectorChooserClicked;             // 选择板块钮
    std::function<void()> chartButtonClicked;               // 净值走势钮
    std::function<void(int row, int column)> headerClicked; // 高级表格1, row is 0
    std::function<void(int row, int column)> cursorMoved;   // 高级表格1, row >= 1; also Enter
    // Right button pressed over the fund list / the comparison grid, in grid coordinates (the
    // Menu key and Shift+F10: the middle of the cursor cell). The shell pops up 菜单 / 菜单1
    // there after the slot has run.
    std::function<void(int x, int y)> fundListRightPressed;
    std::function<void(int x, int y)> compareGridRightPressed;
    std::function<void()> addToCompareChosen;      // 菜单: "加入对比"
    std::function<void()> removeFromCompareChosen; // 菜单1: "删除对比"
    std::function<void()> watchlistButtonClicked;  // 自选基金钮
    std::function<void()> basketButtonClicked;     // 多基金对比钮
    std::function<void()> addToWatchlistChosen;    // 菜单: "加入自选"
    std::function<void()> addToBasketChosen;       // 菜单: "加入对比篮"
    // Mouse moved over 高级表格3 (grid 3) or 高级表格4 (grid 4).
    std::function<void(int grid, int x, int y)> riskGridMouseMoved;
    std::function<void()> searchFocused;                    // 搜索框 got focus
    std::function<void(const Text& content)> searchChanged; // 搜索框 content changed
    std::function<void(int line)> suggestionDoubleClicked;  // 超级列表框1, line from 0

    // Sector window.
    std::function<void(int button)> sectorButtonClicked; // 按钮1..按钮108
    std::function<void()> sectorWindowDestroyed;

    // Chart window.
    std::function<void()> chartWindowCreated;
    std::function<void(int button)> periodButtonClicked; // 按钮1..按钮7
    std::function<void(int x, int y)> panelMouseMoved;   // 画板1

    // The watchlist and the comparison basket.
    WatchlistRoutines watchlist;
    BasketRoutines basket;
};

// The run's one table.
EventRoutines& Routines();

// Runs a slot when it is set. The slot is copied first, so a routine may replace its own slot
// while it runs.
template <class Slot, class... Args>
void Fire(const Slot& slot, Args&&... args) {
    Slot copy = slot;
    if (copy) {
        copy(std::forward<Args>(args)...);
    }
}

} // namespace fundlens
