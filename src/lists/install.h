// The fund lists' event routines.
#pragma once

namespace fundlens {

struct EventRoutines;

// Fills the slots of the list buttons, the sector window and the fund list's header.
void InstallListRoutines(EventRoutines& routines);

} // namespace fundlens
