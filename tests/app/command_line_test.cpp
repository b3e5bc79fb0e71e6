// The command line, down to the executable's exit codes and its end on SIGTERM.
#include "shell/command_line.h"
#include "support/gui_test.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <csignal>
#include <fstream>
#include <nlohmann/json.hpp>

namespace fundlens::test {
namespace {

TEST(CommandLineTest, OptionsAndTheirValues) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        CommandLine expected;
    } cases[] = {
        {"nothing", {}, CommandLine{}},
        {"portal",
         {"--portal", "http://127.0.0.1:8080"},
         {"http://127.0.0.1:8080", "", "", false, false, "", "", "", "", "", "", ""}},
        {"joined values",
         {"--profile=/p.ini", "--dump-controls=/tmp/d.json"},
         {"", "/p.ini", "/tmp/d.json", false, false, "", "", "", "", "", "", ""}},
        {"toolkit options pass",
         {"-platform", "offscreen", "--help"},
         {"", "", "", true, false, "", "", "", "", "", "", ""}},
        {"version", {"--version"}, {"", "", "", false, true, "", "", "", "", "", "", ""}},
        {"export",
         {"--export", "sector:白酒", "--sort=1y:asc", "--output", "f.csv"},
         {"", "", "", false, false, "sector:白酒", "1y:asc", "f.csv", "", "", "", ""}},
        {"the watchlist's options",
         {"--data-dir", "/d", "--import-watchlist=w.csv", "--now", "2026-12-09 20:30"},
         {"", "", "", false, false, "", "", "", "", "/d", "w.csv", "2026-12-09 20:30"}},
        {"a basket export",
         {"--export", "compare:000001,000002", "--period", "twoyear"},
         {"", "", "", false, false, "compare:000001,000002", "", "", "twoyear", "", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandLine got;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(c.args, got, error)) << error;
        EXPECT_EQ(got.portal, c.expected.portal);
        EXPECT_EQ(got.profileFile, c.expected.profileFile);
        EXPECT_EQ(got.dumpFile, c.expected.dumpFile);
        EXPECT_EQ(got.help, c.expected.help);
        EXPECT_EQ(got.version, c.expected.version);
        EXPECT_EQ(got.exportList, c.expected.exportList);
        EXPECT_EQ(got.exportSort, c.expected.exportSort);
        EXPECT_EQ(got.outputFile, c.expected.outputFile);
        EXPECT_EQ(got.exportPeriod, c.expected.exportPeriod);
        EXPECT_EQ(got.dataDir, c.expected.dataDir);
        EXPECT_EQ(got.importWatchlist, c.expected.importWatchlist);
        EXPECT_EQ(got.now, c.expected.now);
    }
}

TEST(CommandLineTest, BadCommandLinesSayWhy) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"unknown option", {"--portals", "http://x"}, "unknown option --portals"},
        {"single-dash unknown", {"-x"}, "unknown option -x"},
        {"missing value", {"--profile"}, "--profile needs a value"},
        {"empty value", {"--dump-controls="}, "--dump-controls needs a value"},
        {"stray argument", {"extra"}, "unexpected argument"},
        {"portal without scheme", {"--portal", "127.0.0.1:8080"}, "http://"},
        {"value on a flag", {"--help=yes"}, "--help takes no value"},
        {"sort without export", {"--sort", "z"}, "--sort goes with --export"},
        {"output without export", {"--output", "f.csv"}, "--output goes with --export"},
        {"period without export", {"--period", "year"}, "--period goes with --export"},
        {"export and import at once",
         {"--export", "watchlist", "--import-watchlist", "w.csv"},
         "two runs"},
        {"a clock without its minute", {"--now", "2026-12-09"}, "YYYY-MM-DD HH:MM"},
        {"a clock at 25:00", {"--now", "2026-12-09 25:00"}, "YYYY-MM-DD HH:MM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandLine got;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(c.args, got, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// ---- the executable

struct ProgramRun {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out, err;
};

ProgramRun RunExecutable(const QStringList& args, int timeoutMs = 30000) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(FUNDLENS_EXECUTABLE), args);
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.status = process.exitStatus();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(ExecutableTest, BadOptionsAndUnreadableProfilesEndWithCodeTwo) {
    const struct {
        const char* name;
        QStringList args;
        const char* message;
    } cases[] = {
        {"unknown option", {QStringLiteral("--frobnicate")}, "unknown option --frobnicate"},
        {"missing value", {QStringLiteral("--portal")}, "--portal needs a value"},
        {"unreadable profile",
         {QStringLiteral("--profile"), QStringLiteral("/nonexistent/fundlens.ini")},
         "cannot read the profile /nonexistent/fundlens.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run = RunExecutable(c.args);
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(ExecutableTest, BadProfileContentEndsWithCodeTwo) {
    const std::string path = TempPath("bad_profile.ini");
    std::ofstream(path) << "[portal]\nfund=ftp://fund.test\n";
    ProgramRun run = RunExecutable({QStringLiteral("--profile"), QString::fromStdString(path)});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("fund="))) << run.err.toStdString();
}

TEST(ExecutableTest, HelpAndVersion) {
    ProgramRun help = RunExecutable({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--dump-controls FILE")));
    ProgramRun version = RunExecutable({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("fundlens 4\n"));
}

TEST(ExecutableTest, SigtermEndsTheProgramAsClosingTheMainWindowDoes) {
    demo::DemoPortal portal;
    ASSERT_TRUE(portal.Start());
    const std::string dump = TempPath("sigterm_dump.json");
    std::remove(dump.c_str());
    const std::string profile = TempPath("sigterm_profile.ini");
    std::ofstream(profile) << "[update]\ncookie=session=42; lang=zh\n";

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(FUNDLENS_EXECUTABLE),
                  {QStringLiteral("--portal"), QString::fromStdString(portal.BaseUrl()),
                   QStringLiteral("--profile"), QString::fromStdString(profile),
                   QStringLiteral("--dump-controls"), QString::fromStdString(dump)});
    ASSERT_TRUE(process.waitForStarted());
    // The update check is the first request: once it has arrived the program is starting up.
    ASSERT_TRUE(WaitUntil([&] { return !portal.Requests().empty(); }, 30000));
    const demo::RecordedRequest update = portal.Requests().front();
    EXPECT_EQ(update.path, "/home.php");
    EXPECT_EQ(update.query, "mod=spacecp&ac=profile&op=base");
    bool cookieSent = false;
    for (const auto& [name, value] : update.headers) {
        cookieSent |= name == "Cookie" && value == "session=42; lang=zh";
    }
    EXPECT_TRUE(cookieSent);

    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);

    std::ifstream in(dump);
    ASSERT_TRUE(in.good());
    const auto json = nlohmann::json::parse(in);
    EXPECT_EQ(json["state"]["ProgramVersion"], 4);
    EXPECT_TRUE(json["windows"]["main"].is_object());
    EXPECT_TRUE(json["windows"]["sector"].is_null());
    EXPECT_TRUE(json["windows"]["chart"].is_null());
}

// fundlens against `base` with a dump file, started; the caller ends it.
void StartAgainst(QProcess& process, const std::string& base, const std::string& dump) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(FUNDLENS_EXECUTABLE),
                  {QStringLiteral("--portal"), QString::fromStdString(base),
                   QStringLiteral("--dump-controls"), QString::fromStdString(dump)});
}

nlohmann::json ReadDump(const std::string& path) {
    std::ifstream in(path);
    return in.good() ? nlohmann::json::parse(in, nullptr, false) : nlohmann::json();
}

TEST(ExecutableTest, SigtermWhileARequestIsHeldEndsAtOnceWithTheDump) {
    demo::PortalOptions options;
    options.fault = demo::FaultMode::Hang;
    demo::DemoPortal portal(options);
    ASSERT_TRUE(portal.Start());
    const std::string dump = TempPath("held_dump.json");
    std::remove(dump.c_str());
    QProcess process;
    StartAgainst(process, portal.BaseUrl(), dump);
    ASSERT_TRUE(process.waitForStarted());
    // The update page is asked for and never answered.
    ASSERT_TRUE(WaitUntil([&] { return !portal.Requests().empty(); }, 30000));
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    // Far sooner than the request's own timeout (30 s): the transfer is aborted.
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const nlohmann::json json = ReadDump(dump);
    EXPECT_TRUE(json["windows"]["main"].is_object());
    EXPECT_TRUE(json["messages"].empty()) << "the check never got its answer";
}

TEST(ExecutableTest, SigtermWhileAMessageBoxStandsEndsTheProgram) {
    demo::PortalOptions options;
    options.fault = demo::FaultMode::Garbage; // the update check fails: its box stands
    demo::DemoPortal portal(options);
    ASSERT_TRUE(portal.Start());
    const std::string dump = TempPath("box_dump.json");
    std::remove(dump.c_str());
    QProcess process;
    StartAgainst(process, portal.BaseUrl(), dump);
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return !portal.Requests().empty(); }, 30000));
    // Nothing outside the program tells when the box is up; it follows the answer at once.
    QThread::msleep(1000);
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 0);
    const nlohmann::json json = ReadDump(dump);
    ASSERT_EQ(json["messages"].size(), 1u) << json.dump();
    EXPECT_EQ(json["messages"][0]["text"], "版本信息监测失败");
    EXPECT_EQ(json["messages"][0]["buttons"], "ok");
    EXPECT_EQ(json["messages"][0]["icon"], "information");
}

} // namespace
} // namespace fundlens::test
