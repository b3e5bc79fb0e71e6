#include "detail/install.h"

#include "detail/fund_detail.h"
#include "detail/rating_and_risk.h"
#include "detail/search_pick.h"
#include "shell/event_routines.h"

namespace fundlens {

void InstallDetailRoutines(EventRoutines& routines) {
    routines.cursorMoved = FundListCursorMoved;
    routines.riskGridMouseMoved = RiskGridMouseMoved;
    routines.suggestionDoubleClicked = [](int line) { ShowPickedFund(line); };
}

} // namespace fundlens
