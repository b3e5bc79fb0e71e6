// SIGTERM and SIGINT end the program as closing the main window does: the signal handler only
// writes a byte into a pipe; the GUI thread reads it and runs the handler.
#pragma once

#include <QObject>
#include <functional>

namespace fundlens {

// Installs the signal handlers; `handler` runs on the GUI thread, owned by `context`.
// Returns false when the pipe cannot be made.
bool InstallTerminationSignals(QObject* context, std::function<void()> handler);

} // namespace fundlens
