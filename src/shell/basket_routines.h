// The comparison basket window's event slots (part of the event table).
#pragma once

#include "text/text.h"

#include <functional>

namespace fundlens {

struct BasketRoutines {
    std::function<void(int button)> periodClicked;     // 近1周钮 … 近3年钮: 1 … 7
    std::function<void(int x, int y)> panelMouseMoved; // 对比画板
    // 移出对比篮 (the risk table's popup item, or 移出对比篮钮): the risk table's row of the
    // fund (1 is the first fund; 0 or less: none chosen).
    std::function<void(int row)> removeChosen;
    std::function<void()> exportClicked; // 导出表格钮
    std::function<void()> windowClosed;  // the window is closing
    // Another window's "加入对比篮" (the watchlist's): the fund joins the basket, or a message
    // says why not; true when it joined.
    std::function<bool(const Text& code, const Text& name)> addFund;
};

} // namespace fundlens
