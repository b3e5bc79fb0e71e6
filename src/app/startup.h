// Start-up of the program: the application object, the main window's created event and the
// run from the command line to the end.
#pragma once

#include "shell/event_routines.h"

namespace fundlens {

// The program's own version, compared with the announced one by the update check.
inline constexpr int ProgramVersionNumber = 4;

// Application-wide settings once the application object exists.
void PrepareApplication();

// Fills the event table with the routines of every subsystem.
void InstallAllRoutines(EventRoutines& routines);

// The main window's created event: ProgramVersion, the update check (started in the
// background; accepting an offered update ends the process), the sort toggle, the risk grids'
// row labels, the first-sector flag.
void MainWindowCreated();

// The whole run: command line, profile or demo portal, main window, event loop, exit.
// Returns the exit code.
int RunProgram(int argc, char** argv);

} // namespace fundlens
