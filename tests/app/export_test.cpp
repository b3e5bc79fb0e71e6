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
    for (const std::string& list :
         {"sector:" + std::to_string(sector.code), "sector:" + std::string(sector.caption)}) {
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

// Three funds of the market, and their codes.
constexpr std::size_t SomeFunds[] = {7, 140, 700};
std::vector<std::string> SomeCodes(const demo::Universe& universe) {
    std::vector<std::string> codes;
    for (const std::size_t fund : SomeFunds)
        codes.push_back(universe.Funds()[fund].code);
    return codes;
}

TEST_F(ExportTest, TheBasketsTablesOfAYearByDefault) {
    const std::vector<std::string> codes = SomeCodes(universe());
    const std::string list = "compare:" + codes[0] + "," + codes[1] + "," + codes[2];
    const Exported run = Export(Base(), {QStringLiteral("--export"), QString::fromStdString(list)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_TRUE(run.out.starts_with("\xEF\xBB\xBF代码,基金（无风险利率1.5%）,区间收益,年化收益,"));
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 14u) << "3 tables of a header and 3 funds, 2 blank lines";
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "相关系数," + codes[0] + "," + codes[1] + "," + codes[2]);
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10], "持仓重合度," + codes[0] + "," + codes[1] + "," + codes[2]);
    for (int f = 0; f < 3; ++f) {
        SCOPED_TRACE(f);
        const std::vector<std::string> risk = SplitText(lines[std::size_t(1 + f)], ",");
        ASSERT_EQ(risk.size(), 12u);
        EXPECT_EQ(risk[0], codes[std::size_t(f)]);
        EXPECT_EQ(risk[1], universe().Funds()[SomeFunds[f]].name) << "named by its main page";
        EXPECT_TRUE(risk[2].ends_with("%") && risk[2].find('.') == risk[2].size() - 6)
            << "four decimals: " << risk[2];
        EXPECT_TRUE(risk[3].ends_with("%")) << "a year annualises: " << risk[3];
        EXPECT_EQ(SplitText(lines[std::size_t(6 + f)], ",")[std::size_t(1 + f)], "1.0000");
        EXPECT_TRUE(SplitText(lines[std::size_t(11 + f)], ",")[std::size_t(1 + f)].ends_with(")"));
    }
    const std::vector<demo::RecordedRequest> requests = m_portal->Requests();
    const auto compare = std::find_if(requests.begin(), requests.end(),
                                      [](const auto& r) { return r.path == "/FundCompare/LJSYL"; });
    ASSERT_NE(compare, requests.end());
    EXPECT_NE(compare->query.find("bzdm=" + list.substr(8) + "&c=year&"), std::string::npos);
}

TEST_F(ExportTest, TheBasketsTablesOfAWeekIntoAFileAndAnUnknownFundNamed) {
    const std::vector<std::string> codes = SomeCodes(universe());
    const std::string file = TempPath("basket-export.csv");
    std::remove(file.c_str());
    const Exported run =
        Export(Base(), {QStringLiteral("--export"),
                        QString::fromStdString("compare:" + codes[0] + ",999999," + codes[1]),
                        QStringLiteral("--period"), QStringLiteral("week"),
                        QStringLiteral("--output"), QString::fromStdString(file)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("no curve for 999999"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("holdings of 999999"), std::string::npos) << run.err;
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::string> lines =
        Lines(std::string(std::istreambuf_iterator<char>(in), {}));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[2], "999999,999999,--,--,--,--,--,--,--,--,--,--");
    EXPECT_EQ(SplitText(lines[1], ",")[3], "--") << "a week does not annualise";
    EXPECT_TRUE(SplitText(lines[1], ",")[2].ends_with("%")) << "the fund before it is read";
    std::remove(file.c_str());
}

TEST_F(ExportTest, ABasketExportWithoutCurvesExitsWithThree) {
    const std::string file = TempPath("basket-failed.csv");
    std::remove(file.c_str());
    const Exported run = Export(
        ClosedPortBase(), {QStringLiteral("--export"), QStringLiteral("compare:000001,000002"),
                           QStringLiteral("--output"), QString::fromStdString(file)});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("坐标数据获取失败"), std::string::npos) << run.err;
    EXPECT_FALSE(std::ifstream(file).good());
}

TEST_F(ExportTest, BadBasketsExitWithTwoAndAReason) {
    const auto args = [](const char* list, std::initializer_list<const char*> more = {}) {
        QStringList all{QStringLiteral("--export"), QString::fromUtf8(list)};
        for (const char* arg : more)
            all << QString::fromUtf8(arg);
        return all;
    };
    const struct {
        QStringList args;
        const char* reason;
    } cases[] = {
        {args("compare:00001,000002"), "\"00001\" is not a fund code"},
        {args("compare:000001,00000a"), "\"00000a\" is not a fund code"},
        {args("compare:"), "compare:CODE,CODE"},
        {args("compare:000001,000001"), "000001 is named twice"},
        {args("compare:000001,000002,000003,000004,000005,000006,000007,000008,000009"),
         "at most 8 funds"},
        {args("compare:000001,000002", {"--period", "decade"}), "\"decade\" is not a period"},
        {args("compare:000001,000002", {"--sort", "1n"}), "--sort goes with the export of a list"},
        {args("five-star", {"--period", "week"}), "--period goes with --export compare:"},
    };
    for (const auto& c : cases) {
        const Exported run = Export(Base(), c.args);
        EXPECT_EQ(run.exitCode, 2) << c.reason;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << c.reason;
    }
    EXPECT_TRUE(m_portal->Requests().empty()) << "nothing asked of the portal";
}

} // namespace
} // namespace fundlens::test
