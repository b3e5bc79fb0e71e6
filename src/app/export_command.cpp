#include "app/export_command.h"

#include "app/basket_export.h"
#include "app/watchlist_commands.h"
#include "portal/list_export.h"
#include "store/whole_file.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace fundlens {

namespace {

int Fail(int code, const std::string& message) {
    std::cerr << "fundlens: " << message << "\n";
    return code;
}

void ShowProgress(int done, int total) {
    std::cerr << "\rfundlens: page " << done << " of " << total << (done == total ? "\n" : "")
              << std::flush;
}

} // namespace

int RunExport(const CommandLine& commandLine) {
    if (IsBasketExport(commandLine.exportList))
        return RunBasketExport(commandLine);
    if (!commandLine.exportPeriod.empty())
        return Fail(BadUsageExitCode, "--period goes with --export compare:CODE,CODE[,...]");
    if (commandLine.exportList == "watchlist")
        return RunWatchlistExport(commandLine);
    ListExportRequest request;
    std::string error;
    if (!ParseExportList(commandLine.exportList, request, error) ||
        (!commandLine.exportSort.empty() &&
         !ParseExportSort(commandLine.exportSort, request, error)))
        return Fail(BadUsageExitCode, error);

    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const ListExport list = FetchListForExport(request, terminal ? ShowProgress : nullptr);
    if (!list.ok)
        return Fail(PortalFailureExitCode, TextToUtf8(list.failure));

    return WriteExportOutput(commandLine, ListCsv(list.rows));
}

int WriteExportOutput(const CommandLine& commandLine, const std::string& content) {
    if (commandLine.outputFile.empty()) {
        std::cout.write(content.data(), static_cast<std::streamsize>(content.size()));
        return std::cout.flush() ? 0 : Fail(PortalFailureExitCode, "cannot write the output");
    }
    std::string error;
    if (!WriteWholeFile(commandLine.outputFile, content, error))
        return Fail(PortalFailureExitCode, error);
    return 0;
}

} // namespace fundlens
