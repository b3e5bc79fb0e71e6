#include "app/startup.h"

#include "analysis/trading_clock.h"
#include "app/export_command.h"
#include "app/watchlist_commands.h"
#include "basket/install.h"
#include "compare/install.h"
#include "demo-portal/demo_portal.h"
#include "detail/install.h"
#include "detail/search_pick.h"
#include "lists/install.h"
#include "portal/profile.h"
#include "shell/async.h"
#include "shell/command_line.h"
#include "shell/control_dump.h"
#include "shell/draw_panel.h"
#include "shell/forms.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/termination_signals.h"
#include "shell/windows.h"
#include "store/data_dir.h"
#include "update/update_check.h"
#include "watchlist/install.h"
#include "watchlist/watchlist_state.h"
#include "web/web_request.h"

#include <QApplication>
#include <cstdio>
#include <iostream>
#include <memory>

namespace fundlens {

namespace {

constexpr int UiFontPoints = 9;

int BadUsage(const std::string& message) {
    std::cerr << "fundlens: " << message << "\nTry 'fundlens --help' for more information.\n";
    return BadUsageExitCode;
}

} // namespace

void PrepareApplication() {
    QApplication::setFont(QFont(QString::fromUtf8(UiFontFamily), UiFontPoints));
    QApplication::setQuitOnLastWindowClosed(false);
}

void InstallAllRoutines(EventRoutines& routines) {
    InstallListRoutines(routines);
    InstallDetailRoutines(routines);
    InstallCompareRoutines(routines);
    InstallBasketRoutines(routines);
    InstallWatchlistRoutines(routines);
    routines.watchlist.openFundInMain = [](const Text& code, const Text& name) {
        OpenPickedFund(code, name);
    };
}

void MainWindowCreated() {
    ProgramState& state = State();
    state.ProgramVersion = ProgramVersionNumber;
    // The check runs in the background; the window is shown and usable meanwhile.
    CheckForUpdate();
    state.SortAscendingNext = 0;
    for (const char* name : {"高级表格3", "高级表格4"}) {
        Grid grid = MainWindow().GridNamed(name);
        grid.SetCellText(1, 0, "标准差"_gbk);
        grid.SetCellText(2, 0, "夏普比率"_gbk);
    }
    state.FirstSectorLoad = 1;
}

namespace {

// The portal hosts from the command line and the profile.
bool ReadPortalSettings(const CommandLine& commandLine, PortalProfile& profile,
                        std::string& error) {
    if (!commandLine.portal.empty()) {
        profile = ProfileAtBase(commandLine.portal);
    }
    return commandLine.profileFile.empty() ||
           ReadProfileFile(commandLine.profileFile, profile, error);
}

// What the settings leave open comes from the demo portal, started here when needed (on the
// program's clock when it is fixed).
bool UsePortal(PortalProfile profile, std::unique_ptr<demo::DemoPortal>& demoPortal,
               std::optional<ChinaTime> now) {
    if (ProfileIncomplete(profile)) {
        demo::PortalOptions options;
        options.now = now;
        demoPortal = std::make_unique<demo::DemoPortal>(options);
        if (!demoPortal->Start()) {
            std::cerr << "fundlens: the built-in demo portal could not be started\n";
            return false;
        }
        FillMissing(profile, demoPortal->BaseUrl());
    }
    SetPortalProfile(profile);
    if (!profile.caBundle.empty()) {
        SetExtraCaBundle(profile.caBundle);
    }
    SetRequestTimeouts(profile.timeoutSeconds, profile.deadlineSeconds);
    return true;
}

// The main window from its creation to its close; returns the event loop's exit code.
int RunMainWindow(QApplication& app) {
    MainForm* mainForm = CreateMainWindow();
    QObject::connect(mainForm, &MainForm::closing, &app, [] {
        // Transfers in flight end at once. exit() ends every event loop, so a message box or
        // the chart window standing open does not hold the end.
        AbortAllTransfers();
        QCoreApplication::exit(0);
    });
    InstallTerminationSignals(&app, [] { MainWindow().Close(); });

    MainWindowCreated();
    ShowMainWindow();
    return app.exec();
}

} // namespace

int RunProgram(int argc, char** argv) {
    CommandLine commandLine;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), commandLine, error)) {
        return BadUsage(error);
    }
    if (commandLine.help || commandLine.version) {
        std::cout << (commandLine.help ? UsageText()
                                       : "fundlens " + std::to_string(ProgramVersionNumber) + "\n");
        return 0;
    }
    // Read before the application starts: a bad profile needs no display to be reported.
    PortalProfile profile;
    if (!ReadPortalSettings(commandLine, profile, error)) {
        return BadUsage(error);
    }

    const std::optional<ChinaTime> now = ReadChinaTime(commandLine.now);
    FixChinaTime(now);
    SetWatchlistDataDir(commandLine.dataDir.empty() ? DefaultDataDir() : commandLine.dataDir);
    std::unique_ptr<demo::DemoPortal> demoPortal;
    if (!commandLine.importWatchlist.empty()) {
        return RunWatchlistImport(commandLine); // no window, no portal
    }
    if (!commandLine.exportList.empty()) {
        // No window, no application object: this runs without a display.
        return UsePortal(profile, demoPortal, now) ? RunExport(commandLine) : 1;
    }

    QApplication app(argc, argv);
    PrepareApplication();
    if (!UsePortal(profile, demoPortal, now)) {
        return 1;
    }
    ResetProgramState(); // ReadoutTable starts empty
    SetDumpFile(commandLine.dumpFile);
    InstallAllRoutines(Routines());

    const int code = RunMainWindow(app);

    SetProgramEnding();
    AbortAllTransfers();
    DropLoaders();
    WriteDump();
    DestroyWindows();
    return code;
}

} // namespace fundlens
