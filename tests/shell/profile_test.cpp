// The profile (INI) reader, portal URLs and the command line, down to the executable's exit
// codes and its end on SIGTERM.
#include "shell/command_line.h"
#include "shell/profile.h"
#include "support/gui_test.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <fstream>
#include <nlohmann/json.hpp>

namespace fundlens::test {
namespace {

TEST(IniTest, ValuesKeepSeparatorsAndBlanksAroundAreDropped) {
    IniSections ini;
    std::string error;
    ASSERT_TRUE(ParseIni("\xEF\xBB\xBF; comment\r\n"
                         "[Update]\r\n"
                         "  page = http://h/home.php?mod=spacecp&ac=profile&op=base \r\n"
                         "cookie=a=1; b=2,c=3; d==4\r\n"
                         "# another comment\n"
                         "\n"
                         "[tls]\n"
                         "CA_Bundle=/etc/ssl/extra ca.pem\n"
                         "ca_bundle=/etc/ssl/later.pem\n"
                         "empty=\n",
                         ini, error))
        << error;
    EXPECT_EQ(ini["update"]["page"], "http://h/home.php?mod=spacecp&ac=profile&op=base");
    EXPECT_EQ(ini["update"]["cookie"], "a=1; b=2,c=3; d==4");
    EXPECT_EQ(ini["tls"]["ca_bundle"], "/etc/ssl/later.pem"); // the later one wins
    EXPECT_EQ(ini["tls"]["empty"], "");
}

TEST(IniTest, MalformedLinesAreReportedWithTheirNumber) {
    const struct {
        const char* name;
        const char* text;
        const char* message;
    } cases[] = {
        {"key outside a section", "fund=http://x\n", "line 1"},
        {"line without '='", "[portal]\nfund\n", "line 2"},
        {"unclosed section", "[portal\n", "line 1"},
        {"empty key", "[portal]\n=http://x\n", "line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IniSections ini;
        std::string error;
        EXPECT_FALSE(ParseIni(c.text, ini, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(ProfileTest, EverySettingLandsInItsField) {
    PortalProfile p;
    std::string error;
    ASSERT_TRUE(ApplyProfileText("[portal]\nfund=http://fund.test\nf10=https://f10.test/\n"
                                 "api=http://api.test:81\nsearch=http://search.test\n"
                                 "quote=http://quote.test\n[update]\npage=https://u.test/p?x=1\n"
                                 "cookie=sid=abc; t=1\n[tls]\nca_bundle=/tmp/ca.pem\n",
                                 p, error))
        << error;
    EXPECT_EQ(p.fund, "http://fund.test");
    EXPECT_EQ(p.f10, "https://f10.test/");
    EXPECT_EQ(p.api, "http://api.test:81");
    EXPECT_EQ(p.search, "http://search.test");
    EXPECT_EQ(p.quote, "http://quote.test");
    EXPECT_EQ(p.updatePage, "https://u.test/p?x=1");
    EXPECT_EQ(p.updateCookie, "sid=abc; t=1");
    EXPECT_EQ(p.caBundle, "/tmp/ca.pem");
    EXPECT_FALSE(ProfileIncomplete(p));
}

TEST(ProfileTest, BadSettingsAreRefused) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"unknown key", "[portal]\nfunds=http://x\n"},
        {"unknown section", "[proxy]\nhost=x\n"},
        {"no scheme", "[portal]\nfund=fund.test\n"},
        {"other scheme", "[update]\npage=file:///etc/passwd\n"},
        {"scheme without host", "[portal]\napi=http://\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PortalProfile p;
        std::string error;
        EXPECT_FALSE(ApplyProfileText(c.text, p, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(ProfileTest, MissingPiecesComeFromOneBase) {
    PortalProfile p;
    p.f10 = "http://f10.test";
    EXPECT_TRUE(ProfileIncomplete(p));
    FillMissing(p, "http://127.0.0.1:8080");
    EXPECT_EQ(p.f10, "http://f10.test");
    EXPECT_EQ(p.fund, "http://127.0.0.1:8080");
    EXPECT_EQ(p.quote, "http://127.0.0.1:8080");
    EXPECT_EQ(p.updatePage, "http://127.0.0.1:8080/home.php?mod=spacecp&ac=profile&op=base");
    EXPECT_FALSE(ProfileIncomplete(p));
}

TEST(ProfileTest, PortalUrlsJoinWithExactlyOneSlash) {
    EXPECT_EQ(JoinUrl("http://h", "jjjl_000001.html"), "http://h/jjjl_000001.html");
    EXPECT_EQ(JoinUrl("http://h/", "/data/FundGuideapi.aspx?dt=4"),
              "http://h/data/FundGuideapi.aspx?dt=4");
    EXPECT_EQ(JoinUrl("http://h/base//", "//F10/JJPJ/"), "http://h/base/F10/JJPJ/");
    PortalProfile p = ProfileAtBase("http://base.test");
    p.f10 = "http://f10.test/fund/";
    p.quote = "http://quote.test";
    const PortalProfile saved = CurrentPortalProfile();
    SetPortalProfile(p);
    EXPECT_EQ(PortalUrl(PortalHost::F10, "jjjl_000001.html"),
              "http://f10.test/fund/jjjl_000001.html");
    EXPECT_EQ(PortalUrl(PortalHost::Quote, "/api/qt/ulist.np/get"),
              "http://quote.test/api/qt/ulist.np/get");
    EXPECT_EQ(PortalUrl(PortalHost::Fund, "/data/FundGuideapi.aspx"),
              "http://base.test/data/FundGuideapi.aspx");
    EXPECT_EQ(UpdatePageUrl(), "http://base.test/home.php?mod=spacecp&ac=profile&op=base");
    EXPECT_EQ(UpdateCookie(), ""); // none given: an empty text
    SetPortalProfile(saved);
}

TEST(CommandLineTest, OptionsAndTheirValues) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        CommandLine expected;
    } cases[] = {
        {"nothing", {}, {}},
        {"portal",
         {"--portal", "http://127.0.0.1:8080"},
         {"http://127.0.0.1:8080", "", "", false, false}},
        {"joined values",
         {"--profile=/p.ini", "--dump-controls=/tmp/d.json"},
         {"", "/p.ini", "/tmp/d.json", false, false}},
        {"toolkit options pass", {"-platform", "offscreen", "--help"}, {"", "", "", true, false}},
        {"version", {"--version"}, {"", "", "", false, true}},
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

} // namespace
} // namespace fundlens::test
