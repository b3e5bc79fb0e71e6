// The chart window: opened over the main window by 走势图, it shows both funds' net-value
// images and draws the first comparison chart (one month).
#pragma once

#include "shell/async.h"

namespace fundlens {

// 净值走势钮: opens the chart window modally over the main window and returns once it has
// closed; without a current or a compare fund says "请选择要查看的基金" instead.
void OpenChartWindow();

// The chart window's created event: the window's chart state starts afresh (and is forgotten
// when the window goes), its loads end with it, and LoadNetValueImages runs.
void ChartWindowCreated();

// Records CompareCodes, shows the net-value images (the current fund's in 图片框1 and the
// compare fund's in 图片框2; the compare fund's in 图片框1 when there is no current fund), then
// draws the one-month comparison unless a period button has overtaken it.
Loader LoadNetValueImages();

// True while the chart window's images or a comparison are loading.
bool ChartLoadsRunning();

} // namespace fundlens
