// The checks made before anything is stored: numbers as users type them, codes, dates and
// transactions.
#include "store/input_checks.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace fundlens {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(ParseNumberTest, NumbersAsUsersTypeThem) {
    const struct {
        const char* name;
        const char* utf8;
        double value;
    } cases[] = {
        {"plain decimal", "12.5", 12.5},
        {"blanks and separators", " 1,000.00 ", 1000},
        {"millions", "12,345,678.9", 12345678.9},
        {"negative", "-3", -3},
        {"explicit plus", "+4.25", 4.25},
        {"no integer part", ".5", 0.5},
        {"trailing point", "7.", 7},
        {"tab and newline around", "\t8\r\n", 8},
        {"full-width digits and point", "１２．５", 12.5},
        {"full-width blank and comma", "　１，０００　", 1000},
        {"leading zeros", "007", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ParsedNumber parsed = ParseNumber(Utf8ToText(c.utf8));
        ASSERT_TRUE(parsed.value.has_value()) << TextToUtf8(parsed.why);
        EXPECT_DOUBLE_EQ(*parsed.value, c.value);
        EXPECT_TRUE(parsed.why.empty());
    }
}

TEST(ParseNumberTest, AnythingElseIsRefusedWithAReason) {
    const struct {
        const char* name;
        std::string utf8;
        const char* reason; // part of the message
    } cases[] = {
        {"empty", "", "没有填写"},
        {"blanks only", "   ", "没有填写"},
        {"a word", "abc", "不是数字"},
        {"sign alone", "-", "不是数字"},
        {"trailing garbage", "12abc", "多余的字符"},
        {"unit after the number", "100元", "多余的字符"},
        {"exponent", "1e5", "多余的字符"},
        {"not a number", "nan", "不是数字"},
        {"infinity", "inf", "不是数字"},
        {"two signs", "--1", "不是数字"},
        {"two points", "1.2.3", "多余的字符"},
        {"blank inside", "1 000", "多余的字符"},
        {"group of two", "1,00", "千位分隔符"},
        {"group of four", "1,0000", "千位分隔符"},
        {"leading separator", ",100", "千位分隔符"},
        {"first group of four", "1000,000", "千位分隔符"},
        {"separator after the point", "1.000,5", "多余的字符"},
        {"too large for a double", "1" + std::string(400, '0'), "太大"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ParsedNumber parsed = ParseNumber(Utf8ToText(c.utf8));
        EXPECT_FALSE(parsed.value.has_value()) << *parsed.value;
        EXPECT_NE(TextToUtf8(parsed.why).find(c.reason), std::string::npos)
            << TextToUtf8(parsed.why);
    }
}

TEST(FundCodeTest, ExactlySixAsciiDigits) {
    EXPECT_TRUE(CheckFundCode("000001").empty());
    EXPECT_TRUE(CheckFundCode("519674").empty());
    const char* bad[] = {"", "00001", "0000011", "00000a", " 00001", "00-001", "１２３４５６"};
    for (const char* utf8 : bad) {
        SCOPED_TRACE(utf8);
        const Text why = CheckFundCode(Utf8ToText(utf8));
        EXPECT_NE(TextToUtf8(why).find("六位数字"), std::string::npos) << TextToUtf8(why);
    }
}

TEST(DateTest, OnlyDaysThatExistInYearMonthDayForm) {
    const struct {
        const char* date;
        bool valid;
    } cases[] = {
        {"2024-03-15", true},   {"2024-02-29", true},  {"2000-02-29", true},  {"2023-02-29", false},
        {"1900-02-29", false},  {"2024-04-31", false}, {"2024-13-01", false}, {"2024-00-10", false},
        {"2024-01-00", false},  {"2024-1-01", false},  {"2024/01/01", false}, {"20240101", false},
        {"2024-01-01 ", false}, {"1899-12-31", false}, {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(CheckDate(c.date).empty(), c.valid) << TextToUtf8(CheckDate(c.date));
    }
}

Transaction Buy(std::optional<double> amount, std::optional<double> shares, double nav = 1.5,
                double fee = 1) {
    Transaction t;
    t.code = "000001";
    t.kind = TransactionKind::Buy;
    t.date = "2024-03-15";
    t.amount = amount;
    t.shares = shares;
    t.nav = nav;
    t.fee = fee;
    return t;
}

Transaction With(Transaction t, TransactionKind kind) {
    t.kind = kind;
    return t;
}

TEST(TransactionCheckTest, SoundTransactionsPass) {
    Transaction adjust = With(Buy(std::nullopt, 100, 0, 0), TransactionKind::Adjust);
    adjust.cost = 150;
    Transaction emptied = adjust;
    emptied.shares = 0;
    emptied.cost = 0;
    const struct {
        const char* name;
        Transaction t;
    } cases[] = {
        {"buy by amount", Buy(1000, std::nullopt)},
        {"buy by shares", Buy(std::nullopt, 300)},
        {"buy without fee", Buy(1000, std::nullopt, 1.2, 0)},
        {"sell", With(Buy(std::nullopt, 50), TransactionKind::Sell)},
        {"adjust", adjust},
        {"adjust to nothing held", emptied},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(CheckTransaction(c.t).empty()) << TextToUtf8(CheckTransaction(c.t));
    }
}

TEST(TransactionCheckTest, BadTransactionsAreRefusedWithAReason) {
    Transaction badCode = Buy(1000, std::nullopt);
    badCode.code = "12345";
    Transaction badDate = Buy(1000, std::nullopt);
    badDate.date = "2024-02-30";
    Transaction adjust = With(Buy(std::nullopt, 100, 0, 0), TransactionKind::Adjust);
    Transaction negativeCost = adjust;
    negativeCost.cost = -1;
    Transaction nanCost = adjust;
    nanCost.cost = NaN;
    const struct {
        const char* name;
        Transaction t;
    } cases[] = {
        {"code not six digits", badCode},
        {"day that does not exist", badDate},
        {"buy with amount and shares", Buy(1000, 100)},
        {"buy with neither", Buy(std::nullopt, std::nullopt)},
        {"buy of nothing", Buy(0, std::nullopt)},
        {"buy of negative shares", Buy(std::nullopt, -5)},
        {"buy amount eaten by the fee", Buy(10, std::nullopt, 1.5, 10)},
        {"buy at nav 0", Buy(1000, std::nullopt, 0)},
        {"buy at negative nav", Buy(1000, std::nullopt, -1.2)},
        {"buy at nav NaN", Buy(1000, std::nullopt, NaN)},
        {"buy of infinite shares", Buy(std::nullopt, Inf)},
        {"negative fee", Buy(1000, std::nullopt, 1.5, -1)},
        {"sell without shares", With(Buy(std::nullopt, std::nullopt), TransactionKind::Sell)},
        {"sell of negative shares", With(Buy(std::nullopt, -1), TransactionKind::Sell)},
        {"sell of zero shares", With(Buy(std::nullopt, 0), TransactionKind::Sell)},
        {"sell by amount", With(Buy(500, std::nullopt), TransactionKind::Sell)},
        {"sell at nav 0", With(Buy(std::nullopt, 10, 0), TransactionKind::Sell)},
        {"adjust to negative shares", With(Buy(std::nullopt, -1, 0, 0), TransactionKind::Adjust)},
        {"adjust to negative cost", negativeCost},
        {"adjust to NaN cost", nanCost},
        {"adjust without shares",
         With(Buy(std::nullopt, std::nullopt, 0, 0), TransactionKind::Adjust)},
        {"adjust by amount", With(Buy(100, std::nullopt, 0, 0), TransactionKind::Adjust)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(CheckTransaction(c.t).empty());
    }
}

TEST(EstimateCheckTest, FiguresMustBeFiniteAndTheCoverAPercentage) {
    EXPECT_TRUE(CheckEstimate(-2.5, 63.2).empty());
    EXPECT_TRUE(CheckEstimate(0, 0).empty());
    EXPECT_TRUE(CheckEstimate(1, 100).empty());
    EXPECT_FALSE(CheckEstimate(NaN, 50).empty());
    EXPECT_FALSE(CheckEstimate(Inf, 50).empty());
    EXPECT_FALSE(CheckEstimate(1, -0.1).empty());
    EXPECT_FALSE(CheckEstimate(1, 100.5).empty());
    EXPECT_FALSE(CheckEstimate(1, NaN).empty());
    EXPECT_TRUE(CheckConfirmed(-9.99).empty());
    EXPECT_FALSE(CheckConfirmed(NaN).empty());
    EXPECT_FALSE(CheckConfirmed(-Inf).empty());
}

} // namespace
} // namespace fundlens
