// `fundlens --export compare:CODE,CODE[,…] [--period KEY]`: the comparison basket's tables for
// the funds named, as CSV, with no window and no display.
#pragma once

#include "shell/command_line.h"
#include "text/text.h"

#include <string>
#include <vector>

namespace fundlens {

// The export's list names funds to compare ("compare:…").
bool IsBasketExport(const std::string& list);

struct BasketExportRequest {
    std::vector<Text> codes; // one to eight six-digit codes, each once, in the order given
    Text periodKey = "year"; // one of the chart window's seven periods
};

// Reads "compare:CODE,CODE[,…]" and the period key (empty: "year"); false with a message for
// a code that is not six digits, a code named twice, no code or more than eight, or a period
// that is none of week, month, threemonth, sixmonth, year, twoyear, threeyear.
bool ParseBasketExport(const std::string& list, const std::string& period,
                       BasketExportRequest& request, std::string& error);

// Runs the export against the portal set up before; returns the exit code (0 done, 2 bad
// usage, 3 the curves could not be had: no file is written then). A fund whose archive or curve
// fails shows "--" and is named on standard error.
int RunBasketExport(const CommandLine& commandLine);

} // namespace fundlens
