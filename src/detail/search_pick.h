// Opening a fund picked from the search suggestions: its summary as the one row of the fund
// list, then its detail.
#pragma once

#include "shell/async.h"
#include "text/text.h"

namespace fundlens {

// Event handler: line `line` of the suggestion list 超级列表框1 was double-clicked. The line's
// code and name are read at once. The fund's main page gives the row; the fund list is reset to
// that one row, the search box emptied, the suggestions cleared and hidden, and the detail
// loaded. The pick is a writer of the fund list: it supersedes a list load still running (and
// an older pick), and a newer writer supersedes it. CurrentFundCode becomes the picked code only
// once the pick shows the fund: a pick overtaken leaves it to the fund the panel shows.
Loader ShowPickedFund(int line);

// The same for a fund named elsewhere (the watchlist's rows): `code` and `name` as a line of
// the suggestions would give them.
Loader OpenPickedFund(Text code, Text name);

} // namespace fundlens
