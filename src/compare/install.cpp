#include "compare/install.h"

#include "chart/chart_readout.h"
#include "compare/chart_window.h"
#include "compare/compare_set.h"
#include "compare/comparison_loader.h"
#include "shell/event_routines.h"
#include "shell/program_state.h"

namespace fundlens {

void InstallCompareRoutines(EventRoutines& routines) {
    routines.addToCompareChosen = AddToCompare;
    routines.removeFromCompareChosen = RemoveFromCompare;
    routines.chartButtonClicked = OpenChartWindow;
    routines.chartWindowCreated = ChartWindowCreated;
    routines.periodButtonClicked = SelectPeriod;
    routines.panelMouseMoved = [](int x, int y) { ShowReadout(State().ChartState, x, y); };
}

} // namespace fundlens
