#include "app/watchlist_commands.h"

#include "analysis/trading_clock.h"
#include "app/export_command.h"
#include "store/data_dir.h"
#include "store/watchlist_import.h"
#include "watchlist/watchlist_export.h"
#include "watchlist/watchlist_rows.h"

#include <iostream>
#include <unistd.h>

namespace fundlens {

namespace {

int Fail(int code, const Text& message) {
    std::cerr << "fundlens: " << TextToUtf8(message) << "\n";
    return code;
}

void ShowImportProgress(std::size_t done, std::size_t total) {
    std::cerr << "\rfundlens: " << done << " / " << total << (done == total ? "\n" : "")
              << std::flush;
}

// The store opened for the command; false with the exit code when it cannot serve it.
bool OpenFor(const CommandLine& commandLine, bool writing, WatchlistStore& store, int& code) {
    store = WatchlistStore::Open(DataDirOf(commandLine), OpenMode::ExistingOnly);
    const StoreState state = store.State();
    const bool usable = state == StoreState::Opened || state == StoreState::Created ||
                        state == StoreState::Absent ||
                        (!writing && state == StoreState::ReadOnlyNewer);
    if (usable)
        return true;
    code = Fail(BadUsageExitCode, store.Message());
    return false;
}

} // namespace

std::string DataDirOf(const CommandLine& commandLine) {
    return commandLine.dataDir.empty() ? DefaultDataDir() : commandLine.dataDir;
}

int RunWatchlistImport(const CommandLine& commandLine) {
    WatchlistStore store;
    int code = 0;
    if (!OpenFor(commandLine, true, store, code))
        return code;
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const ImportReport report =
        ImportWatchlistCsv(store, commandLine.importWatchlist, TradeDateOf(CurrentChinaTime()),
                           terminal ? ImportProgress(ShowImportProgress) : ImportProgress());
    for (const Text& problem : report.problems)
        std::cerr << "fundlens: " << TextToUtf8(problem) << "\n";
    if (!report.ok)
        return Fail(BadUsageExitCode, report.message);
    std::cerr << "fundlens: " << TextToUtf8(report.message) << "\n";
    return 0;
}

int RunWatchlistExport(const CommandLine& commandLine) {
    if (!commandLine.exportSort.empty() || !commandLine.exportPeriod.empty())
        return Fail(BadUsageExitCode, "--sort and --period are not for the watchlist");
    WatchlistStore store;
    int code = 0;
    if (!OpenFor(commandLine, false, store, code))
        return code;
    StoredWatchlist stored = ReadStoredWatchlist(store);
    if (!stored.ok)
        return Fail(BadUsageExitCode, stored.message);
    std::vector<FundState> funds;
    MergeStored(funds, std::move(stored.funds));
    const FetchedWatchlist fetched = FetchWatchlist(funds, ClockTextNow());
    if (!fetched.ok)
        return Fail(PortalFailureExitCode, fetched.failure);
    const std::string csv = WatchlistCsv(ViewOf(SnapshotsOf(funds), CurrentChinaTime()));
    return WriteExportOutput(commandLine, csv);
}

} // namespace fundlens
