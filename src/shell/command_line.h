// The program's command line.
#pragma once

#include <string>
#include <vector>

namespace fundlens {

struct CommandLine {
    std::string portal;          // --portal BASE
    std::string profileFile;     // --profile FILE
    std::string dumpFile;        // --dump-controls FILE
    bool help = false;           // --help
    bool version = false;        // --version
    std::string exportList;      // --export LIST: no window, the list as CSV
    std::string exportSort;      // --sort KEY[:asc|desc], with --export
    std::string outputFile;      // --output FILE, with --export (default: standard output)
    std::string exportPeriod;    // --period KEY, with --export compare:...
    std::string dataDir;         // --data-dir DIR: where the watchlist's store lives
    std::string importWatchlist; // --import-watchlist FILE.csv: no window, positions imported
    std::string now;             // --now "YYYY-MM-DD HH:MM": a fixed China-time clock
};

// Reads the arguments after the program name. Options take their value as the next argument
// or after '=' (--portal=http://...). Options of the GUI toolkit (-platform NAME, -display
// NAME, ...) are left to it. Returns false with a message for an unknown option, a missing
// value, a stray argument, a portal base that is not an http(s) address, --sort / --output /
// --period without --export, --export with --import-watchlist, or a --now that is not a
// China-time minute "YYYY-MM-DD HH:MM".
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& commandLine,
                      std::string& error);

// The --help text.
std::string UsageText();

// Exit code for a bad command line or an unreadable profile.
inline constexpr int BadUsageExitCode = 2;
// Exit code of an export the portal failed.
inline constexpr int PortalFailureExitCode = 3;

} // namespace fundlens
