// The fund lists' event routines.
#pragma once

namespace fundlens {

struct EventRoutines;

// Fills the slots of the list buttons, the sector window, the fund list's header and the
// search box.
void InstallListRoutines(EventRoutines& routines);

} // namespace fundlens
