// The current fund's detail: selecting a fund in the fund list (or picking one from the search
// suggestions) shows its name, size, managers, tenure return, rating, risk figures and largest
// holdings in the left detail column.
#pragma once

#include "shell/async.h"
#include "text/text.h"

namespace fundlens {

// The fund to show, as the fund list showed it when the event came.
struct FundSelection {
    Text code;
    Text name;
    int row = -1;        // its row in the fund list
    bool picked = false; // picked from the suggestions: CurrentFundCode is set already
};

// The fund in row `row` of the fund list.
FundSelection SelectionAtRow(int row);

// Makes `fund` the current fund (CurrentFundCode, unless picked) and loads its detail;
// SearchPickFlag is cleared. The profile, manager, rating, risk and archive pages are requested
// together, the quotes after the archive. A newer selection supersedes the load: nothing of
// this fund is written after it.
Loader LoadFundDetail(FundSelection fund);

// True while a fund's detail is still loading.
bool DetailLoadRunning();

// Event handler: the fund list's cursor moved to `row`.
void FundListCursorMoved(int row, int column);

} // namespace fundlens
