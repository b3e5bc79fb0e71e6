#include "shell/command_line.h"

#include "analysis/trading_clock.h"
#include "portal/profile.h"
#include "web/web_request.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace fundlens {

namespace {

// Options the GUI toolkit reads itself, with the number of values each takes.
struct ToolkitOption {
    std::string_view name;
    int values;
};
constexpr std::array<ToolkitOption, 14> ToolkitOptions{{
    {"-platform", 1},
    {"-platformpluginpath", 1},
    {"-platformtheme", 1},
    {"-plugin", 1},
    {"-display", 1},
    {"-style", 1},
    {"-stylesheet", 1},
    {"-session", 1},
    {"-qwindowgeometry", 1},
    {"-qwindowtitle", 1},
    {"-qwindowicon", 1},
    {"-widgetcount", 0},
    {"-reverse", 0},
    {"-sync", 0},
}};

const ToolkitOption* FindToolkitOption(std::string_view arg) {
    auto it = std::find_if(ToolkitOptions.begin(), ToolkitOptions.end(),
                           [&](const ToolkitOption& o) { return o.name == arg; });
    return it == ToolkitOptions.end() ? nullptr : &*it;
}

bool CheckCombinations(const CommandLine& commandLine, std::string& error) {
    if (commandLine.exportList.empty()) {
        for (const auto& [option, value] : {std::pair{"--sort", &commandLine.exportSort},
                                            std::pair{"--output", &commandLine.outputFile},
                                            std::pair{"--period", &commandLine.exportPeriod}}) {
            if (!value->empty()) {
                error = std::string(option) + " goes with --export";
                return false;
            }
        }
    } else if (!commandLine.importWatchlist.empty()) {
        error = "--export and --import-watchlist are two runs of the program";
        return false;
    }
    return true;
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& commandLine,
                      std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (const ToolkitOption* toolkit = FindToolkitOption(arg)) {
            i += static_cast<std::size_t>(toolkit->values);
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            error = arg.rfind("-", 0) == 0 ? "unknown option " + arg
                                           : "unexpected argument \"" + arg + "\"";
            return false;
        }
        std::string name = arg, value;
        bool hasValue = false;
        if (std::size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        if (name == "--help" || name == "--version") {
            if (hasValue) {
                error = name + " takes no value";
                return false;
            }
            (name == "--help" ? commandLine.help : commandLine.version) = true;
            continue;
        }
        std::string* target = name == "--portal"             ? &commandLine.portal
                              : name == "--profile"          ? &commandLine.profileFile
                              : name == "--dump-controls"    ? &commandLine.dumpFile
                              : name == "--export"           ? &commandLine.exportList
                              : name == "--sort"             ? &commandLine.exportSort
                              : name == "--period"           ? &commandLine.exportPeriod
                              : name == "--output"           ? &commandLine.outputFile
                              : name == "--data-dir"         ? &commandLine.dataDir
                              : name == "--import-watchlist" ? &commandLine.importWatchlist
                              : name == "--now"              ? &commandLine.now
                                                             : nullptr;
        if (target == nullptr) {
            error = "unknown option " + name;
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (value.empty()) {
            error = name + " needs a value";
            return false;
        }
        if (target == &commandLine.portal && !IsWebAddress(value)) {
            error = "--portal needs an http:// or https:// base address, not \"" + value + "\"";
            return false;
        }
        if (target == &commandLine.now && !ReadChinaTime(value)) {
            error = "--now needs a China-time minute \"YYYY-MM-DD HH:MM\", not \"" + value + "\"";
            return false;
        }
        *target = value;
    }
    return CheckCombinations(commandLine, error);
}

std::string UsageText() {
    return "Usage: fundlens [OPTION]...\n"
           "Browse and compare mutual funds from a fund portal.\n"
           "\n"
           "  --portal BASE          every portal host, and the update page, at one base URL\n"
           "                         (http://127.0.0.1:8080)\n"
           "  --profile FILE         read the portal hosts, the update page and TLS settings\n"
           "                         from an INI file:\n"
           "                           [portal] fund= f10= api= search= quote=\n"
           "                           [update] page= cookie=\n"
           "                           [tls]    ca_bundle=\n"
           "                           [analysis] risk_free=   [watchlist] refresh=\n"
           "  --dump-controls FILE   write a JSON snapshot of the windows each time one\n"
           "                         closes and at exit\n"
           "  --export LIST          write a list as CSV and exit, without a window:\n"
           "                         five-star, sector:CODE or sector:NAME (sector:白酒),\n"
           "                         watchlist, or compare:CODE,CODE[,...] (up to eight)\n"
           "  --sort KEY[:asc|desc]  with --export: the list sorted by a return column\n"
           "                         (r z 1y 3y 6y jn 1n 2n 3n, or its header: 近1周)\n"
           "  --period KEY           with --export compare: week, month, threemonth,\n"
           "                         sixmonth, year (default), twoyear or threeyear\n"
           "  --output FILE          with --export: the CSV file (default: standard output)\n"
           "  --import-watchlist FILE  import positions (基金代码,持有份额,持仓成本) from a CSV\n"
           "                         file into the watchlist and exit, without a window\n"
           "  --data-dir DIR         where the watchlist's store lives (default: the\n"
           "                         application-data folder)\n"
           "  --now \"YYYY-MM-DD HH:MM\"  a fixed China-time clock (also the demo portal's)\n"
           "  --help                 show this text and exit\n"
           "  --version              show the version and exit\n"
           "\n"
           "Without --portal or --profile the program starts its built-in demo portal on\n"
           "127.0.0.1 and reads everything from it.\n"
           "\n"
           "Exit codes: 0 done, 2 bad usage, 3 the portal failed (an export writes no file).\n";
}

} // namespace fundlens
