// The program's windows: the main window, the sector and chart windows, the watchlist and the
// comparison basket: creating, opening and finding them.
#pragma once

#include "shell/controls.h"

#include <functional>

namespace fundlens {

class MainForm;

enum class WindowId { Main, Sector, Chart, Watchlist, Basket };
inline constexpr int WindowCount = 5;

// The window's name in the control dump ("main", "sector", "chart", "watchlist", "basket").
const char* WindowKey(WindowId id);

// Creates the main window with every designed control (not shown yet). The run has one.
MainForm* CreateMainWindow();
// Shows the main window created before.
void ShowMainWindow();
// Closes the other windows and destroys every window (end of a run or a test).
void DestroyWindows();

// The windows; an adapter of no window when it is not open.
Window MainWindow();
Window SectorWindow();
Window ChartWindow();
Window WatchlistWindow();
Window BasketWindow();
Window WindowOf(WindowId id);

// Creates the sector window and shows it without blocking the main window. It is destroyed
// when it closes (its being-destroyed event runs then). An open one is raised instead; once
// the main window has closed, none opens.
Window OpenSectorWindow();

// Opens the window `id` (the watchlist or the basket) without blocking the main window: made by
// `make` when it is not open (and shown at its designed place), raised when it is. It closes
// with the main window and is destroyed when it closes. Once the main window has closed, none
// opens.
Window OpenModelessWindow(WindowId id, const std::function<QWidget*()>& make);

// Creates the chart window as a modal dialog of the main window, shows it, runs its created
// event, and returns once it has been closed; it is destroyed then. Does nothing without a
// main window, after the main window has closed, or while a chart window is open.
void OpenChartWindowModal();

} // namespace fundlens
