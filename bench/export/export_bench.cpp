// `fundlens --export` of the largest demo sector at 40 ms latency, the demo portal in a process
// of its own: wall time of the whole export (the process started and ended) and the exporting
// process's peak resident memory.
#include "demo-portal/demo_portal.h"
#include "demo-portal/universe.h"
#include "portal/sector_table.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fundlens {
namespace {

constexpr const char* Date = "2026-12-08";
constexpr int Port = 18931;

// The sector with the most funds in the demo market of that day.
int LargestSector() {
    demo::PortalOptions options;
    options.date = Date;
    demo::DemoPortal portal(options); // not started: only its market is read
    int best = 0;
    std::size_t most = 0;
    for (const Sector& sector : SectorTable()) {
        const std::size_t members = portal.universe().SectorMembers(sector.code).size();
        if (members > most) {
            most = members;
            best = sector.code;
        }
    }
    return best;
}

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

void ExportLargestSector(benchmark::State& state) {
    const int sector = LargestSector();
    const std::string base = "http://127.0.0.1:" + std::to_string(Port);
    const pid_t portal = Spawn(
        {FUNDLENS_DEMO_PORTAL, "--port", std::to_string(Port), "--latency", "40", "--date", Date});
    // Ready once the first export succeeds.
    const std::vector<std::string> exportArgs{FUNDLENS_EXECUTABLE,
                                              "--portal",
                                              base,
                                              "--export",
                                              "sector:" + std::to_string(sector),
                                              "--output",
                                              "/tmp/fundlens-bench-export.csv"};
    for (int attempt = 0; attempt < 100; ++attempt) {
        int status = 0;
        const pid_t probe = Spawn(exportArgs);
        waitpid(probe, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            break;
        usleep(100000);
    }
    long peakKb = 0;
    for (auto _ : state) {
        const pid_t child = Spawn(exportArgs);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        peakKb = std::max(peakKb, usage.ru_maxrss);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("the export failed");
    }
    state.counters["peak_rss_mb"] = static_cast<double>(peakKb) / 1024.0;
    kill(portal, SIGTERM);
    waitpid(portal, nullptr, 0);
    std::remove("/tmp/fundlens-bench-export.csv");
}
BENCHMARK(ExportLargestSector)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
} // namespace fundlens

BENCHMARK_MAIN();
