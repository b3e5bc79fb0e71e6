// The comparison chart's mouse read-out: a crosshair that follows the mouse over the plot and a
// box listing the date and every series' value at the point under it.
#pragma once

namespace fundlens {

struct ChartState;

// Called on every mouse move over the chart's panel with the mouse position. Does nothing
// before a series has been drawn; outside the plot and its band the chart is shown as drawn.
void ShowReadout(ChartState& chart, int x, int y);

// Shows the chart as drawn (no crosshair, no box) and forgets the read-out's state.
void ResetReadout(ChartState& chart);

} // namespace fundlens
