// What a fund's answers fill in a detail column, emptied before a fund's detail is loaded.
#pragma once

#include "shell/view_state.h"

namespace fundlens {

// Empties the size, managers, rating and tenure, the six risk figures (back to the colour an
// untouched cell has) and the holdings lines, so that nothing of the fund shown before stays.
// The name and the risk rows' labels stay.
void EmptyDetailColumn(DetailColumnView& column);

} // namespace fundlens
