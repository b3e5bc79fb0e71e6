// The watchlist without a window, for scripts and migration: `fundlens --import-watchlist
// FILE.csv` and `fundlens --export watchlist`, both on the store of `--data-dir` (else the
// platform's application-data folder).
#pragma once

#include "shell/command_line.h"

#include <string>

namespace fundlens {

// The data folder the command line names, else the platform's.
std::string DataDirOf(const CommandLine& commandLine);

// Imports the file's positions, all of them in one transaction or none. The problems go to
// standard error, one line each with its line number. Exit code 0 done, 2 a bad file or a
// store that cannot take it (nothing is stored then).
int RunWatchlistImport(const CommandLine& commandLine);

// Writes the watchlist as CSV (standard output or --output), its rows as the window shows
// them now. Exit code 0 done, 2 bad usage or a store that cannot be read, 3 the portal failed
// (nothing is written then).
int RunWatchlistExport(const CommandLine& commandLine);

} // namespace fundlens
