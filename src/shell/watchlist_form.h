// The watchlist window 自选基金: its design, its control names and the form that wires its
// controls to the event table, with the timer of its quote refreshes.
#pragma once

#include "shell/grid_widget.h"
#include "shell/window_design.h"
#include "text/text.h"

#include <QTimer>
#include <QWidget>
#include <array>

class QMenu;

namespace fundlens {

inline constexpr const char* WatchlistTitle = "自选基金";
inline constexpr const char* WatchlistGridName = "自选表格";
inline constexpr const char* WatchlistRefreshName = "刷新钮";
inline constexpr const char* WatchlistStatusName = "自选状态标签";
inline constexpr const char* WatchlistMenuName = "自选菜单";

// The popup menu's items, in order.
enum class WatchlistMenuItem { Buy, Sell, Edit, Remove, AddToBasket };
inline constexpr std::array<const char*, 5> WatchlistMenuItems{"加仓", "减仓", "编辑持仓", "删除",
                                                               "加入对比篮"};

const WindowDesign& WatchlistWindowDesign();
// 自选表格: the header, then (as designed, before any fund) the totals row alone.
const GridDesign& WatchlistGridDesign();

class WatchlistForm : public QWidget {
    Q_OBJECT
public:
    WatchlistForm();

    // The fund whose row the popup menu was opened on.
    const Text& MenuCode() const { return m_menuCode; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void WireEvents();
    void RightPressed(int x, int y);
    void MenuChosen(int item);
    void Pause();
    void Resume();

    GridWidget* m_grid = nullptr;
    QMenu* m_menu = nullptr;
    QTimer m_timer;
    Text m_menuCode;
    bool m_paused = false;
};

} // namespace fundlens
