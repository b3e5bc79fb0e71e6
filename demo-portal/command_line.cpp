#include "demo-portal/command_line.h"

#include "demo-portal/calendar.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace fundlens::demo {

namespace {

bool ReadInteger(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 18) {
        return false;
    }
    value = std::stoll(text);
    return value >= low && value <= high;
}

bool ReadUnsigned64(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno == ERANGE || *end != '\0') {
        return false;
    }
    value = v;
    return true;
}

bool ReadRate(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(v >= 0.0 && v <= 1.0)) {
        return false;
    }
    value = v;
    return true;
}

} // namespace

std::string UsageText() {
    return "Usage: demo-portal [options]\n"
           "Serves a generated fund market on 127.0.0.1 until interrupted.\n"
           "\n"
           "  --port N               port to listen on (0: a free port; default 0)\n"
           "  --latency MS           delay every answer by MS milliseconds (default 0)\n"
           "  --fault MODE           none, drop, http500, truncate, slow, trickle, garbage\n"
           "                         or hang (default none)\n"
           "  --fault-rate P         share of answers that get the fault, 0 to 1 (default 1)\n"
           "  --announce-version V   version the update page announces (default 4)\n"
           "  --seed S               seed of the generated market (default 1)\n"
           "  --date YYYY-MM-DD      a fixed market day: its net values out, the quotes at its\n"
           "                         close (default: the market runs on the clock)\n"
           "  --now \"YYYY-MM-DD HH:MM\"\n"
           "                         the clock fixed at this China time (default: the\n"
           "                         machine's clock); not together with --date\n"
           "  --help                 show this text\n";
}

CommandLineResult ParseCommandLine(const std::vector<std::string>& args, PortalOptions& options,
                                   std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        if (const std::size_t eq = name.find('=');
            name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            return CommandLineResult::Help;
        }
        static const char* const withValue[] = {
            "--port", "--latency", "--fault", "--fault-rate", "--announce-version",
            "--seed", "--date",    "--now"};
        bool known = false;
        for (const char* n : withValue) {
            known = known || name == n;
        }
        if (!known) {
            error = "unknown option: " + args[i];
            return CommandLineResult::Error;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = "missing value for " + name;
                return CommandLineResult::Error;
            }
            value = args[++i];
        }
        long long number = 0;
        bool ok = true;
        if (name == "--port") {
            ok = ReadInteger(value, 0, 65535, number);
            options.port = static_cast<int>(number);
        } else if (name == "--latency") {
            ok = ReadInteger(value, 0, 600000, number);
            options.latencyMs = static_cast<int>(number);
        } else if (name == "--fault") {
            ok = ParseFaultMode(value, options.fault);
        } else if (name == "--fault-rate") {
            ok = ReadRate(value, options.faultRate);
        } else if (name == "--announce-version") {
            ok = ReadInteger(value, 0, std::numeric_limits<int>::max(), number);
            options.announceVersion = static_cast<int>(number);
        } else if (name == "--seed") {
            ok = ReadUnsigned64(value, options.seed);
        } else if (name == "--date") {
            ok = ParseDay(value).has_value();
            options.date = value;
        } else if (name == "--now") {
            options.now = ParseChinaTime(value);
            ok = options.now.has_value();
        }
        if (!ok) {
            error = "invalid value for " + name + ": " + value;
            return CommandLineResult::Error;
        }
    }
    if (!options.date.empty() && options.now) {
        error = "--date and --now both fix the market's day: give one of them";
        return CommandLineResult::Error;
    }
    return CommandLineResult::Run;
}

} // namespace fundlens::demo
