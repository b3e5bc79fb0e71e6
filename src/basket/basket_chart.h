// The basket's curves on its window's panel, drawn with the chart routines into the basket's own
// chart state: every fund with a curve in its colour, named by its code in the legend and the
// read-out, the value range floor(min) … ceil(max) as the chart window's.
#pragma once

#include "shell/view_state.h"

namespace fundlens {

// Pen width of the basket's curves (thinner than the chart window's two: eight curves share
// the panel).
inline constexpr int BasketSeriesWidth = 2;

// The chart of the basket's curves; no series when there is no curve to draw.
ChartView BasketChart(const BasketView& basket);

// Draws BasketChart on the window's panel, or leaves the panel blank (and the read-out off)
// when there is nothing to draw. Does nothing while the window is closed.
void ShowBasketChart();

// A mouse move over the panel: the read-out of the basket's chart.
void BasketPanelMouseMoved(int x, int y);

} // namespace fundlens
