// `fundlens --export` end to end: the executable without a display against the demo portal.
#include "demo-portal/universe.h"
#include "portal/sector_table.h"
#include "support/gui_test.h"

#include <QProcess>
#include <algorithm>
#include <fstream>
#include <sstream>

namespace fundlens::test {
namespace {

struct Exported {
    int exitCode = -1;
    std::string out, err;
};

// Runs the export with neither a display nor a platform plugin chosen.
Exported Export(const std::string& base, QStringList args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(FUNDLENS_EXECUTABLE),
                  QStringList{QStringLiteral("--portal"), QString::fromStdString(base)} + args);
    Exported run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

std::vector<std::string> Lines(const std::string& csv) {
    std::vector<std::string> lines;
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0)));
    return lines;
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        demo::PortalOptions options;
        options.date = "2026-12-08";
        m_portal = std::make_unique<demo::DemoPortal>(options);
        ASSERT_TRUE(m_portal->Start());
    }
    std::string Base() { return m_portal->BaseUrl(); }
    const demo::Universe& universe() { return m_portal->universe(); }

    std::unique_ptr<demo::DemoPortal> m_portal;
};

TEST_F(ExportTest, FiveStarListToStandardOutput) {
    const Exported run = Export(Base(), {QStringLiteral("--export"), QStringLiteral("five-star")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("\xEF\xBB\xBF基金名称,基金代码,日期,净值,日增长率,近1周,"));
    EXPECT_EQ(Lines(run.out).size(), universe().RatedFunds(5).size() + 1);
    EXPECT_TRUE(run.err.empty()) << "no progress when standard error is no terminal";
}

TEST_F(ExportTest, ASectorByCodeAndByNameSortedIntoAFile) {
    const Sector& sector = SectorTable()[92]; // 白酒
    const std::string file = TempPath("export.csv");
    std::remove(file.c_str());
    for (const std::string& list : {"sector:" + std::to_string(sector.code),
                                   "sector:" + std::string(sector.caption)}) {
        SCOPED_TRACE(list);
        const Exported run =
            Export(Base(), {QStringLiteral("--export"), QString::fromStdString(list),
                            QStringLiteral("--sort"), QStringLiteral("3n:asc"),
                            QStringLiteral("--output"), QString::fromStdString(file)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out.empty());
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::string> lines =
            Lines(std::string(std::istreambuf_iterator<char>(in), {}));
        ASSERT_EQ(lines.size(), universe().SectorMembers(sector.code).size() + 1);
        std::vector<double> threeYears;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::string last = lines[i].substr(lines[i].rfind(',') + 1);
            if (last != "-")
                threeYears.push_back(std::stod(last));
        }
        EXPECT_TRUE(std::is_sorted(threeYears.begin(), threeYears.end()));
    }
    const std::vector<demo::RecordedRequest> requests = m_portal->Requests();
    EXPECT_NE(requests.back().query.find("&sc=3n&st=asc&pi="), std::string::npos);
}

TEST_F(ExportTest, AFailingPortalExitsWithThreeAndWritesNoFile) {
    const std::string file = TempPath("failed.csv");
    std::remove(file.c_str());
    const Exported run =
        Export(ClosedPortBase(), {QStringLiteral("--export"), QStringLiteral("five-star"),
                                  QStringLiteral("--output"), QString::fromStdString(file)});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("五星基金加载失败，请重试"), std::string::npos) << run.err;
    EXPECT_FALSE(std::ifstream(file).good());
}

TEST_F(ExportTest, BadWordsExitWithTwoAndAReason) {
    const struct {
        QStringList args;
        const char* reason;
    } cases[] = {
        {{QStringLiteral("--export"), QStringLiteral("sector:无此板块")}, "no sector"},
        {{QStringLiteral("--export"), QStringLiteral("five-star"), QStringLiteral("--sort"),
          QStringLiteral("x")},
         "not a sort key"},
        {{QStringLiteral("--sort"), QStringLiteral("z")}, "--sort goes with --export"},
    };
    for (const auto& c : cases) {
        const Exported run = Export(Base(), c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace fundlens::test
