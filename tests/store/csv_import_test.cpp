// The positions file: its charset, RFC 4180 fields, the header's columns, bad rows reported by
// line, and the import all or nothing.
#include "store/csv_reader.h"
#include "store/watchlist_import.h"
#include "store_test_support.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

using testing::FileExists;
using testing::TempDir;
using testing::WriteBytes;

constexpr const char* Day = "2024-03-15";

std::string Lines(const std::vector<CsvProblem>& problems) {
    std::string text;
    for (const CsvProblem& p : problems)
        text += std::to_string(p.line) + ": " + TextToUtf8(p.why) + "\n";
    return text;
}

TEST(Utf8Test, WellFormedOnly) {
    const struct {
        const char* name;
        std::string bytes;
        bool valid;
    } cases[] = {
        {"ASCII", "code,shares\r\n", true},       {"Chinese", "基金代码", true},
        {"four bytes", "\xF0\x9F\x98\x80", true}, {"GBK bytes", "\xBB\xF9\xBD\xF0", false},
        {"overlong slash", "\xC0\xAF", false},    {"overlong three bytes", "\xE0\x80\xAF", false},
        {"surrogate", "\xED\xA0\x80", false},     {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"cut short", "\xE5\x9F", false},         {"lone continuation", "a\x80", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsUtf8(c.bytes), c.valid);
    }
}

TEST(CsvTest, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
    const CsvTable table = ParseCsv("a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
                                    "\"two\nlines\",,x\n"
                                    "\n"
                                    "last,\"\"\r");
    EXPECT_TRUE(table.problems.empty()) << Lines(table.problems);
    ASSERT_EQ(table.records.size(), 4u);
    EXPECT_EQ(table.records[0].fields, (std::vector<Text>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(table.records[1].line, 2);
    EXPECT_EQ(table.records[1].fields, (std::vector<Text>{"two\nlines", "", "x"}));
    EXPECT_EQ(table.records[2].line, 4); // the line after the two-line record
    EXPECT_EQ(table.records[2].fields, (std::vector<Text>{""}));
    EXPECT_EQ(table.records[3].line, 5);
    EXPECT_EQ(table.records[3].fields, (std::vector<Text>{"last", ""}));
}

TEST(CsvTest, BrokenQuotesAreProblemsAtTheirLines) {
    const CsvTable stray = ParseCsv("a,b\n\"x\"y,1\nc,d\n");
    ASSERT_EQ(stray.problems.size(), 1u);
    EXPECT_EQ(stray.problems[0].line, 2);
    ASSERT_EQ(stray.records.size(), 2u); // the lines around it are read
    EXPECT_EQ(stray.records[1].fields[0], "c");

    const CsvTable open = ParseCsv("a,b\nc,d\n\"never closed,1\ne,f\n");
    ASSERT_EQ(open.problems.size(), 1u);
    EXPECT_EQ(open.problems[0].line, 3);
    EXPECT_EQ(open.records.size(), 2u);
}

TEST(ImportFileTest, UnderstandsEveryEncodingAndColumnOrder) {
    const std::string utf8 =
        "基金代码,持有份额,持仓成本\r\n000001,\"1,000.50\",1200\r\n110022,20,30\r\n";
    const std::string gbk = Utf8ToText("持仓成本,备注,基金代码,持有份额\n"
                                       "1200,\"长期持有，别卖\",000001,\"1,000.50\"\n"
                                       "30,,110022,20\n");
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-8 without one", utf8},
        {"GBK, columns in another order, an extra column", gbk},
        {"blank lines and empty rows skipped", "\n" + utf8 + ",,\n \t, ,\n\n"},
        {"blanks around the names and values",
         " 基金代码 ,持有份额 , 持仓成本\n 000001 ,\" 1,000.50 \",1200\n110022,20,30"},
        {"empty fields beyond the header's",
         "基金代码,持有份额,持仓成本\n000001,1000.5,1200,,\n110022,20,30,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportFile file = ReadImportCsv(c.bytes);
        EXPECT_TRUE(file.problems.empty()) << Lines(file.problems);
        ASSERT_EQ(file.rows.size(), 2u);
        EXPECT_EQ(file.rows[0].code, "000001");
        EXPECT_EQ(file.rows[0].shares, 1000.5);
        EXPECT_EQ(file.rows[0].cost, 1200);
        EXPECT_EQ(file.rows[1].code, "110022");
        EXPECT_EQ(file.rows[1].shares, 20);
        EXPECT_EQ(file.rows[1].cost, 30);
    }
}

TEST(ImportFileTest, AHeaderWithoutTheColumnsIsAProblemAtItsLine) {
    const struct {
        const char* name;
        std::string bytes;
        int line;
        const char* words;
    } cases[] = {
        {"no cost column", "\n基金代码,持有份额\n000001,1\n", 2, "缺少“持仓成本”列"},
        {"English names", "code,shares,cost\n000001,1,1\n", 1, "缺少“基金代码”列"},
        {"a column twice", "基金代码,持有份额,持仓成本,基金代码\n", 1, "出现了多次"},
        {"an empty file", "", 0, "没有表头"},
        {"blank lines only", "\r\n\r\n", 0, "没有表头"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportFile file = ReadImportCsv(c.bytes);
        EXPECT_TRUE(file.rows.empty());
        ASSERT_FALSE(file.problems.empty());
        EXPECT_EQ(file.problems[0].line, c.line);
        EXPECT_NE(TextToUtf8(file.problems[0].why).find(c.words), std::string::npos)
            << Lines(file.problems);
    }
}

TEST(ImportFileTest, EveryBadRowIsReportedWithItsLine) {
    const ImportFile file = ReadImportCsv("基金代码,持有份额,持仓成本\n"
                                          "000001,100,120\n" // line 2: sound
                                          "1,100,120\n"      // 3: leading zeros lost
                                          "00000X,100,120\n" // 4
                                          "000002,abc,120\n" // 5
                                          "000003,-5,120\n"  // 6
                                          "000004,5,12元\n"  // 7
                                          "\n"
                                          "000001,1,1\n" // 9: a second row for 000001
                                          "000005,,\n"   // 10: two values missing
                                          "000006\n"     // 11: too few fields
                                          "000007,1,1\n"
                                          "000008,1,000.5,7\n"); // 13: "1,000.5" unquoted
    const std::vector<std::pair<int, std::string>> expected = {
        {3, "开头的 0"},   {4, "六位数字"},      {5, "持有份额"},  {6, "持有份额不能为负数"},
        {7, "多余的字符"}, {9, "与第 2 行重复"}, {10, "持有份额"}, {10, "持仓成本"},
        {11, "持有份额"},  {11, "持仓成本"},     {13, "双引号"},
    };
    ASSERT_EQ(file.problems.size(), expected.size()) << Lines(file.problems);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(file.problems[i].line, expected[i].first);
        EXPECT_NE(TextToUtf8(file.problems[i].why).find(expected[i].second), std::string::npos)
            << TextToUtf8(file.problems[i].why);
    }
    ASSERT_EQ(file.rows.size(), 2u); // the sound ones, which an import then leaves out too
    EXPECT_EQ(file.rows[1].line, 12);
}

class ImportCommandTest : public ::testing::Test {
protected:
    WatchlistStore Store() { return WatchlistStore::Open(m_data.Path(), OpenMode::ExistingOnly); }
    std::string Csv(const std::string& bytes) {
        const std::string path = m_files / "positions.csv";
        WriteBytes(path, bytes);
        return path;
    }
    TempDir m_data;
    TempDir m_files;
};

TEST_F(ImportCommandTest, ImportsEveryRowOfASoundFile) {
    WatchlistStore store = Store();
    const ImportReport report = ImportWatchlistCsv(
        store, Csv("\xEF\xBB\xBF基金代码,持有份额,持仓成本\r\n000001,100,120\r\n110022,5,6\r\n"),
        Day);
    ASSERT_TRUE(report.ok) << TextToUtf8(report.message);
    EXPECT_EQ(report.imported, 2u);
    EXPECT_NE(TextToUtf8(report.message).find("2"), std::string::npos);
    EXPECT_EQ(store.Funds().rows.size(), 2u);
    ASSERT_EQ(store.Transactions("110022").rows.size(), 1u);
    EXPECT_EQ(store.Transactions("110022").rows[0].date, Day);
}

TEST_F(ImportCommandTest, AFileWithABadRowImportsNothing) {
    WatchlistStore store = Store();
    const ImportReport report = ImportWatchlistCsv(
        store, Csv("基金代码,持有份额,持仓成本\n000001,100,120\n000002,-1,5\n000003,x,5\n"), Day);
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.imported, 0u);
    ASSERT_EQ(report.problems.size(), 2u);
    EXPECT_EQ(TextToUtf8(report.problems[0]).rfind("第 3 行：", 0), 0u)
        << TextToUtf8(report.problems[0]);
    EXPECT_EQ(TextToUtf8(report.problems[1]).rfind("第 4 行：", 0), 0u);
    EXPECT_FALSE(FileExists(m_data / "watchlist.db")); // not even made
}

TEST_F(ImportCommandTest, FilesThatCannotBeImportedSaySo) {
    WatchlistStore store = Store();
    const struct {
        const char* name;
        std::string path;
        const char* words;
    } cases[] = {
        {"no such file", m_files / "missing.csv", "无法读取文件"},
        {"a folder", m_files.Path(), "不是一个普通文件"},
        {"a header only", Csv("基金代码,持有份额,持仓成本\n"), "没有可导入的基金"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportReport report = ImportWatchlistCsv(store, c.path, Day);
        EXPECT_FALSE(report.ok);
        EXPECT_NE(TextToUtf8(report.message).find(c.words), std::string::npos)
            << TextToUtf8(report.message);
    }
    EXPECT_FALSE(FileExists(m_data / "watchlist.db"));
}

} // namespace
} // namespace fundlens
