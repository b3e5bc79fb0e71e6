// The control dump: a UTF-8 JSON snapshot of the program state and of every control of the
// three windows, written when a window closes and at exit when a dump file is set. The chart
// panel's canvas is written beside it as FILE.chart.png.
#pragma once

#include "shell/windows.h"

#include <string>

namespace fundlens {

// The file to write; empty turns the dump off.
void SetDumpFile(const std::string& path);
const std::string& DumpFile();

// Window lifecycle, told by the window registry: an open window is dumped live, a closed one
// keeps the snapshot taken when it closed, one never opened is null. Closing writes the dump.
void NoteWindowOpened(WindowId id);
void NoteWindowClosed(WindowId id);

// The dump as JSON text.
std::string DumpText();

// Writes the dump (and the chart canvas) when a dump file is set; false on a write failure.
bool WriteDump();

// Forgets every snapshot (tests).
void ResetDump();

} // namespace fundlens
