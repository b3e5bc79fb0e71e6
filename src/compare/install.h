// The return comparison's event routines.
#pragma once

namespace fundlens {

struct EventRoutines;

// Fills the slots of the compare menus, the chart button and the chart window.
void InstallCompareRoutines(EventRoutines& routines);

} // namespace fundlens
