// `fundlens --export`: a ranking list written as CSV, with no window and no display.
#pragma once

#include "shell/command_line.h"

#include <string>

namespace fundlens {

// Runs the export the command line asks for against the portal set up before; returns the
// exit code (0 done, 2 bad usage, 3 the portal failed). Progress goes to standard error when it
// is a terminal. A failed export leaves no file behind.
int RunExport(const CommandLine& commandLine);

// Writes `content` to --output (whole or not at all: through a temporary file beside it) or to
// standard output; the exit code (0, or 3 when it cannot be written).
int WriteExportOutput(const CommandLine& commandLine, const std::string& content);

} // namespace fundlens
