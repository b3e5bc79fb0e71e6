// The fund detail's event routines.
#pragma once

namespace fundlens {

struct EventRoutines;

// The fund list's cursor moves, the risk grids' mouse moves and the suggestion list's
// double-click.
void InstallDetailRoutines(EventRoutines& routines);

} // namespace fundlens
