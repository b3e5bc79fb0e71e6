// The current fund's detail: selecting a fund in the fund list (or picking one from the search
// suggestions) shows its name, size, managers, tenure return, rating, risk figures and largest
// holdings in the left detail column.
#pragma once

#include "shell/async.h"

namespace fundlens {

// Makes the fund of the fund list's cursor row (after a search pick, SearchPickFlag set: the
// picked fund in row 1 and CurrentFundCode) the current fund and loads its detail. Everything
// it uses is read when it is called; SearchPickFlag is cleared then. The profile, manager,
// rating, risk and archive pages are requested together, the quotes after the archive. A newer
// selection supersedes the load: nothing of this fund is written after it.
Loader LoadFundDetail();

// True while a fund's detail is still loading.
bool DetailLoadRunning();

// Event handler: the fund list's cursor moved.
void FundListCursorMoved(int row, int column);

} // namespace fundlens
