// The demo-portal executable's command line.
#pragma once

#include "demo-portal/demo_portal.h"

#include <string>
#include <vector>

namespace fundlens::demo {

enum class CommandLineResult { Run, Help, Error };

// Reads "--port N", "--latency MS", "--fault MODE", "--fault-rate P", "--announce-version V",
// "--seed S", "--date YYYY-MM-DD", "--now \"YYYY-MM-DD HH:MM\"" and "--help" (also in the
// "--name=value" form) into `options`. --date and --now together are an error. On Error,
// `error` says what was wrong.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args, PortalOptions& options,
                                   std::string& error);

std::string UsageText();

} // namespace fundlens::demo
