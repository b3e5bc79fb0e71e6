#include "compare/install.h"

#include "compare/chart_readout.h"
#include "compare/chart_window.h"
#include "compare/compare_set.h"
#include "compare/comparison_loader.h"
#include "shell/event_routines.h"

namespace fundlens {

void InstallCompareRoutines(EventRoutines& routines) {
    routines.addToCompareChosen = AddToCompare;
    routines.removeFromCompareChosen = RemoveFromCompare;
    routines.chartButtonClicked = OpenChartWindow;
    routines.chartWindowCreated = ChartWindowCreated;
    routines.periodButtonClicked = SelectPeriod;
    routines.panelMouseMoved = ShowReadout;
}

} // namespace fundlens
