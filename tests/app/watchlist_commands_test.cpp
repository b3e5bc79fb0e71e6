// `fundlens --import-watchlist` and `fundlens --export watchlist` end to end: the executable
// without a display, its store in a folder of the test's, the demo portal on a fixed clock.
#include "demo-portal/universe.h"
#include "store/watchlist_store.h"
#include "support/gui_test.h"

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fundlens::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* SessionMinute = "2026-12-09 10:30";

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

QProcess* Start(QProcess& process, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(FUNDLENS_EXECUTABLE), args);
    return &process;
}

Outcome Fundlens(const QStringList& args) {
    QProcess process;
    Start(process, args);
    Outcome run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

std::vector<std::vector<std::string>> CsvRows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(csv.starts_with("\xEF\xBB\xBF") ? csv.substr(3) : csv);
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r'))
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');)
            fields.push_back(cell);
        rows.push_back(fields);
    }
    return rows;
}

class WatchlistCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = TempPath("watchlist_commands");
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        demo::PortalOptions options;
        options.now = ReadChinaTime(SessionMinute);
        m_portal = std::make_unique<demo::DemoPortal>(options);
        ASSERT_TRUE(m_portal->Start());
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string File(const std::string& name) { return m_dir + "/" + name; }
    QString DataDir() { return QString::fromStdString(m_dir + "/data"); }
    std::string StorePath() { return m_dir + "/data/watchlist.db"; }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    Outcome Import(const std::string& csv) {
        Write("positions.csv", csv);
        return Fundlens({"--import-watchlist", QString::fromStdString(File("positions.csv")),
                         "--data-dir", DataDir()});
    }
    Outcome Export(const std::string& base, QStringList more = {}) {
        return Fundlens(QStringList{"--export", "watchlist", "--data-dir", DataDir(), "--now",
                                    SessionMinute, "--portal", QString::fromStdString(base)} +
                        more);
    }
    const demo::Fund& Where(const std::function<bool(const demo::Fund&)>& pick) {
        for (const demo::Fund& fund : m_portal->universe().Funds())
            if (pick(fund))
                return fund;
        return m_portal->universe().Funds().front();
    }
    const demo::Fund& Equity() {
        return Where([](const demo::Fund& f) { return f.holdings.size() == 10; });
    }
    const demo::Fund& Bond() {
        return Where([](const demo::Fund& f) { return f.type == demo::FundType::Bond; });
    }
    std::size_t StoredFunds() {
        WatchlistStore store = WatchlistStore::Open(m_dir + "/data", OpenMode::ExistingOnly);
        return store.Funds().rows.size();
    }

    std::string m_dir;
    std::unique_ptr<demo::DemoPortal> m_portal;
};

TEST_F(WatchlistCommandTest, ImportedPositionsExportAsTheWindowShowsThem) {
    const Outcome imported = Import("\xEF\xBB\xBF基金代码,持有份额,持仓成本\r\n" + Equity().code +
                                    ",1000,1200\r\n" + Bond().code + ",\"1,500.5\",1510\r\n");
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.err.find("已导入 2 只基金的持仓"), std::string::npos) << imported.err;

    const Outcome exported = Export(m_portal->BaseUrl());
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    ASSERT_TRUE(exported.out.starts_with("\xEF\xBB\xBF"));
    const auto rows = CsvRows(exported.out);
    ASSERT_EQ(rows.size(), 4u) << exported.out;
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"基金名称", "基金代码", "净值日期", "单位净值", "日涨幅",
                                        "估算涨幅", "估算状态", "覆盖", "持有份额", "持仓成本",
                                        "市值", "今日收益", "持有收益", "收益率"}));
    EXPECT_EQ(rows[1][0], Equity().name) << "the name from the fund's page";
    EXPECT_EQ(rows[1][1], Equity().code);
    EXPECT_EQ(rows[1][2], "2026-12-08");
    EXPECT_EQ(rows[1][6], "估算");
    EXPECT_NE(rows[1][5], "--");
    EXPECT_EQ(rows[1][8], "1000.00");
    EXPECT_EQ(rows[1][9], "1200.00");
    EXPECT_EQ(rows[2][1], Bond().code);
    EXPECT_EQ(rows[2][6], "无股票持仓，无法估算");
    EXPECT_EQ(rows[2][8], "1500.50");
    EXPECT_EQ(rows[3][0], "合计");
    EXPECT_EQ(rows[3][9], "2710.00");
    EXPECT_EQ(rows[3][11], "--") << "the bond fund has no change today: no total either";
}

// A code the portal has no fund for is no failure of the portal: its row says so.
TEST_F(WatchlistCommandTest, ACodeThePortalDoesNotKnowIsExportedAsSuch) {
    std::string unknown;
    for (int code = 1; unknown.empty(); ++code) {
        char text[16];
        std::snprintf(text, sizeof text, "%06d", code);
        if (m_portal->universe().FindFund(text) == nullptr)
            unknown = text;
    }
    ASSERT_EQ(
        Import("基金代码,持有份额,持仓成本\n" + unknown + ",10,10\n" + Equity().code + ",1,1\n")
            .exitCode,
        0);
    const Outcome exported = Export(m_portal->BaseUrl());
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const auto rows = CsvRows(exported.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][1], unknown);
    EXPECT_EQ(rows[1][3], "--");
    EXPECT_EQ(rows[1][6], "门户上没有这只基金");
    EXPECT_EQ(rows[2][6], "估算");
}

TEST_F(WatchlistCommandTest, AFileWithABadRowStoresNothingAndSaysWhere) {
    for (const std::string& csv :
         {std::string("基金代码,持有份额,持仓成本\n000001,10,10\n12345,10,10\n000002,-1,5\n"),
          std::string("\xBB\xF9\xBD\xF0\xB4\xFA\xC2\xEB,x\n000001,1\n")}) { // GBK, no columns
        const Outcome run = Import(csv);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_FALSE(fs::exists(StorePath())) << "nothing made";
        EXPECT_FALSE(run.err.empty());
    }
    const Outcome run =
        Import("基金代码,持有份额,持仓成本\n000001,10,10\n12345,10,10\n000002,-1,5\n");
    EXPECT_NE(run.err.find("第 3 行"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("第 4 行"), std::string::npos) << run.err;
    EXPECT_EQ(Import("基金代码,持有份额,持仓成本\n000001,10,10\n").exitCode, 0);
    EXPECT_EQ(Import("基金代码,持有份额,持仓成本\n000003,10,10\n00004,1,1\n").exitCode, 2);
    EXPECT_EQ(StoredFunds(), 1u) << "the sound rows of a bad file are not stored either";
}

TEST_F(WatchlistCommandTest, AGbkFileImports) {
    const std::string gbk = "\xBB\xF9\xBD\xF0\xB4\xFA\xC2\xEB,\xB3\xD6\xD3\xD0\xB7\xDD\xB6\xEE,"
                            "\xB3\xD6\xB2\xD6\xB3\xC9\xB1\xBE\r\n000001,10,12\r\n";
    const Outcome run = Import(gbk);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(StoredFunds(), 1u);
}

TEST_F(WatchlistCommandTest, AFailedPortalExitsThreeAndWritesNoFile) {
    ASSERT_EQ(Import("基金代码,持有份额,持仓成本\n" + Equity().code + ",10,10\n").exitCode, 0);
    const std::string output = File("out.csv");
    const Outcome run = Export(ClosedPortBase(), {"--output", QString::fromStdString(output)});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_NE(run.err.find(Equity().code), std::string::npos) << run.err;
    EXPECT_EQ(Export(m_portal->BaseUrl(), {"--sort", "z"}).exitCode, 2);
}

TEST_F(WatchlistCommandTest, ADamagedStoreIsReportedAndLeftAlone) {
    fs::create_directories(m_dir + "/data");
    const std::string damaged(8192, 'z');
    std::ofstream(StorePath(), std::ios::binary) << damaged;
    for (const Outcome& run :
         {Export(m_portal->BaseUrl()), Import("基金代码,持有份额,持仓成本\n000001,10,10\n")}) {
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(StorePath()), std::string::npos) << run.err;
    }
    std::ifstream in(StorePath(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
}

// Killed at moments from before its transaction to after its commit, the import leaves all of
// its rows or none, and a store that opens.
TEST_F(WatchlistCommandTest, AnImportKilledAtAnyMomentLeavesAllOrNone) {
    constexpr int Rows = 20000;
    std::string csv = "基金代码,持有份额,持仓成本\n";
    for (int i = 0; i < Rows; ++i)
        csv += std::to_string(100000 + i) + ",100,120\n";
    Write("big.csv", csv);
    std::set<std::size_t> seen;
    for (int killAfterMs : {20, 60, 120, 250, 500, 1000}) {
        SCOPED_TRACE(killAfterMs);
        fs::remove_all(m_dir + "/data");
        QProcess process;
        Start(process, {"--import-watchlist", QString::fromStdString(File("big.csv")), "--data-dir",
                        DataDir()});
        ASSERT_TRUE(process.waitForStarted());
        ::usleep(static_cast<useconds_t>(killAfterMs) * 1000);
        process.kill();
        process.waitForFinished();
        WatchlistStore store = WatchlistStore::Open(m_dir + "/data", OpenMode::ExistingOnly);
        ASSERT_NE(store.State(), StoreState::Damaged);
        const std::size_t funds = store.Funds().rows.size();
        EXPECT_TRUE(funds == 0 || funds == std::size_t(Rows)) << funds;
        seen.insert(funds);
    }
    EXPECT_TRUE(seen.count(0)) << "killed before its commit at the earliest moment";
}

} // namespace
} // namespace fundlens::test
