// The fund detail's requests and cuts: profile and manager pages, rating and risk figures,
// holdings paired with their quotes. Saved answers come from tests/data/portal.
#include "fixture.h"
#include "portal/fund_holdings.h"
#include "portal/fund_profile.h"
#include "portal/fund_rating.h"
#include "portal/fund_risk.h"
#include "portal/profile.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

// A saved answer as received.
std::string Answer(const std::string& name) {
    return ReadPortalFixture(name);
}

// A saved page as the web layer hands it out: a page declaring UTF-8 is turned into GBK.
Text Page(const std::string& name) {
    const std::string bytes = Answer(name);
    return bytes.find("charset=\"utf-8\"") != std::string::npos ? Utf8ToText(bytes) : bytes;
}

TEST(FundDetailUrls, EachRequestOnItsHost) {
    const PortalProfile saved = CurrentPortalProfile();
    PortalProfile profile = ProfileAtBase("http://base.test");
    profile.f10 = "http://f10.test/";
    profile.api = "http://api.test";
    profile.quote = "https://quote.test";
    SetPortalProfile(profile);
    EXPECT_EQ(ProfilePageUrl("161725"), "http://f10.test/jbgk_161725.html ");
    EXPECT_EQ(ManagerPageUrl("161725"), "http://f10.test/jjjl_161725.html");
    EXPECT_EQ(RiskPageUrl("161725"), "http://f10.test/tsdata_161725.html ");
    EXPECT_EQ(RatingUrl("161725"), "http://api.test/F10/JJPJ/?callback=jQuery18306281225327741644_"
                                   "1628052779735&fundcode=161725&pageIndex=1&pageSize=50&_="
                                   "1628052779751");
    EXPECT_EQ(
        RatingHeaders("161725"),
        "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like "
        "Gecko) Chrome/70.0.3538.25 Safari/537.36 Core/1.70.3868.400 "
        "QQBrowser/10.8.4394.400\r\nAccept: */*\r\nReferer: http://f10.test/jjpj_161725.html");
    EXPECT_EQ(ArchiveUrl("161725"), "http://f10.test/FundArchivesDatas.aspx?type=jjcc&code=161725"
                                    "&topline=10&year=&month=&rt=0.12776095035691926");
    EXPECT_EQ(QuoteUrl("1.600519,0.000858"),
              "https://quote.test/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb="
              "jQuery18306105309008007134_1628074711632&ut=5d0c3b8e1f2a4c6d9e7b0a1c2d3e4f56"
              "&secids=1.600519,0.000858,&_=1628074711810");
    SetPortalProfile(saved);
}

TEST(CutProfileTest, SizeTextVerbatimBetweenTheMarkers) {
    const struct {
        const char* name;
        Text page;
        Text size;
    } cases[] = {
        {"UTF-8 page", Page("profile_utf8.html"), "2.87亿元（截止至：2026-09-30）"_gbk},
        {"GBK page", Page("profile_gbk.html"), "5.62亿元（截止至：2026-09-30）"_gbk},
        {"closing tag kept", "<tr><th>资产规模</th><td>1.5亿元</td><th>份额规模</th><td>"_gbk,
         "1.5亿元</td>"_gbk},
        {"share-size header missing", "<tr><th>资产规模</th><td>1.5亿元</td></tr>"_gbk, ""},
        {"garbage", "\x01\xff<html", ""},
        {"empty page", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutProfile(c.page), c.size);
    }
}

TEST(CutManagerTest, NamesTenureAndColourOfTheCurrentTeam) {
    const Text header = "<th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>"_gbk;
    const struct {
        const char* name;
        Text page;
        Text managers, tenure;
        Rgb color;
    } cases[] = {
        {"one manager, gain", Page("managers_one.html"), "夏慧"_gbk,
         "8.65%（任期：3年又227天）"_gbk, RgbRed},
        {"two managers, loss", Page("managers_two.html"), "周辉，蒋林"_gbk,
         "-15.90%（任期：127天）"_gbk, RgbGreen},
        {"three managers: the first and the last", Page("managers_three.html"),
         "周明芳，程伟娜"_gbk, "13.86%（任期：3年又74天）"_gbk, RgbRed},
        {"return cell without a class",
         header + "x</td><td><a href='m.html'>王</a> </td><td>9天</td></tr>"_gbk, "王"_gbk,
         "（任期：）"_gbk, RgbGreen},
        {"no manager table", "<table><tr><td>基金经理</td></tr></table>"_gbk, "", "（任期：）"_gbk,
         RgbGreen},
        {"empty page", "", "", "（任期：）"_gbk, RgbGreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ManagerInfo info = CutManager(c.page);
        EXPECT_EQ(info.managers, c.managers);
        EXPECT_EQ(info.tenure, c.tenure);
        EXPECT_EQ(info.tenureColor, c.color);
    }
}

TEST(CutRatingTest, StarsNoRatingOrNoChange) {
    auto rated = [](const char* value) {
        return "cb({\"Data\":[{\"RDATE\":\"2026-09-30\",\"SZPJ3\":\"" + std::string(value) +
               "\",\"ZSPJ5\":\"\"}]})";
    };
    const struct {
        const char* name;
        Text answer;
        std::optional<Text> shown;
    } cases[] = {
        {"five", Answer("rating_5.txt"), "★★★★★"_gbk},
        {"one", rated("1"), "★☆☆☆☆"_gbk},
        {"two", rated("2"), "★★☆☆☆"_gbk},
        {"three", rated("3"), "★★★☆☆"_gbk},
        {"four", rated("4"), "★★★★☆"_gbk},
        {"assessed without stars", Answer("rating_0.txt"), std::nullopt},
        {"not a rating", rated("6"), std::nullopt},
        {"empty rating", Answer("rating_empty.txt"), "暂无评级"_gbk},
        {"no records", Answer("rating_none.txt"), "暂无评级"_gbk},
        {"refused without a Referer", Answer("rating_refused.txt"), "暂无评级"_gbk},
        {"failed fetch", "", "暂无评级"_gbk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutRating(c.answer), c.shown);
    }
}

struct Cell {
    Text text;
    std::optional<Rgb> color;
    bool operator==(const RiskCell& cell) const { return text == cell.text && color == cell.color; }
};

TEST(CutRiskTest, SixFiguresInGridOrderColouredBySign) {
    const Text table = "<th class=\"num\">近3年</th>\r\n</tr>\r\n<tr><td>标准差</td>"_gbk;
    const Text end = "</tr>\r\n</table>\r\n<div class=\"limit-time\">截止至：2026-12-08</div>"_gbk;
    auto cells = [](std::initializer_list<const char*> values) {
        Text out;
        for (const char* v : values)
            out += "<td class='num'>" + Text(v) + "</td>";
        return out;
    };
    const auto red = std::optional<Rgb>(RgbRed);
    const auto green = std::optional<Rgb>(RgbGreen);
    const struct {
        const char* name;
        Text page;
        std::vector<Cell> expected;
    } cases[] = {
        {"full page",
         Page("risk_full.html"),
         {{"16.64%", red},
          {"16.80%", red},
          {"16.43%", red},
          {"-1.09", green},
          {"-0.72", green},
          {"-0.21", green}}},
        {"young fund",
         Page("risk_young.html"),
         {{"15.63%", red}, {"--", {}}, {"--", {}}, {"-1.62", green}, {"--", {}}, {"--", {}}}},
        {"nine figures: the first six",
         Page("risk_index.html"),
         {{"13.55%", red},
          {"13.69%", red},
          {"13.43%", red},
          {"-1.71", green},
          {"-0.78", green},
          {"-0.23", green}}},
        {"zero and positive",
         table + cells({"0.00%", "15.20", "0.0000001%", "1.02", "0", "x"}) + end,
         {{"0.00%", green},
          {"15.20", green},
          {"0.0000001%", green},
          {"1.02", red},
          {"0", green},
          {"x", green}}},
        {"fewer figures", table + cells({"3.10%", "--"}) + end, {{"3.10%", red}, {"--", {}}}},
        {"as-of line missing", table + cells({"3.10%"}), {}},
        {"empty page", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<RiskCell> cut = CutRisk(c.page);
        ASSERT_EQ(cut.size(), c.expected.size());
        for (std::size_t i = 0; i < cut.size(); ++i) {
            EXPECT_TRUE(c.expected[i] == cut[i]) << i << ": " << cut[i].text;
            EXPECT_EQ(cut[i].row, 1 + static_cast<int>(i) / 3);
            EXPECT_EQ(cut[i].column, 1 + static_cast<int>(i) % 3);
        }
    }
}

struct Row {
    std::size_t number;
    const char* code;
    const char* change;
    const char* weight;
    Rgb color;
};

// The holdings grid from a saved archive page and quote answer.
std::vector<HoldingRow> Holdings(const std::string& name) {
    return PairHoldings(CutHoldings(Answer("archive_" + name + ".txt")),
                        CutQuotes(Answer("quotes_" + name + ".txt")));
}

TEST(HoldingsTest, EachWeightComesFromItsOwnStocksRow) {
    const struct {
        const char* name;
        std::vector<Row> rows; // those to check, by position
        std::size_t count;
    } cases[] = {
        // Rows 2, 3, 5 are Hong Kong stocks without the archive link.
        {"hong_kong",
         {{1, "688469", "-1.62%", "8.46%", RgbGreen},
          {2, "07157", "0.93%", "8.02%", RgbRed},
          {3, "01796", "0.87%", "6.70%", RgbRed},
          {4, "602703", "0%", "5.28%", RgbGreen},
          {10, "301071", "-2.21%", "2.03%", RgbGreen}},
         10},
        // The quote answer leaves the delisted first holding out.
        {"delisted",
         {{1, "002516", "-0.11%", "7.69%", RgbGreen}, {9, "604020", "0.07%", "2.30%", RgbRed}},
         9},
        {"suspended",
         {{1, "604295", "-3.45%", "9.33%", RgbGreen}, {2, "003805", "-%", "7.67%", RgbGreen}},
         10},
        {"few",
         {{1, "605890", "0%", "2.23%", RgbGreen}, {5, "601082", "1.01%", "1.28%", RgbRed}},
         5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<HoldingRow> rows = Holdings(c.name);
        ASSERT_EQ(rows.size(), c.count);
        for (const Row& expected : c.rows) {
            const HoldingRow& row = rows[expected.number - 1];
            EXPECT_EQ(row.number, NumberToText(static_cast<int>(expected.number)));
            EXPECT_EQ(row.code, expected.code);
            EXPECT_EQ(row.change, expected.change);
            EXPECT_EQ(row.weight, expected.weight);
            EXPECT_EQ(row.changeColor, expected.color);
        }
    }
}

TEST(HoldingsTest, ArchiveReadsTheLatestQuarterOnly) {
    const ArchiveHoldings archive = CutHoldings(Answer("archive_hong_kong.txt"));
    EXPECT_EQ(archive.rows.size(), 10u) << "three quarters on the page";
    EXPECT_EQ(archive.stockIds.substr(0, 18), "1.688469,116.07157");
    EXPECT_NE(archive.stockIds.back(), ',');
    for (const std::string broken :
         {"", "var apidata={ content:\"\",arryear:[],curyear:0};", "<table><tr><td>1</td></tr>"}) {
        const ArchiveHoldings none = CutHoldings(broken);
        EXPECT_TRUE(none.rows.empty()) << broken;
        EXPECT_TRUE(none.stockIds.empty()) << broken;
    }
}

TEST(HoldingsTest, QuotesOfAnObjectFollowTheirMemberNames) {
    auto quote = [](const char* code, const char* change) {
        return "{\"f3\":" + std::string(change) + ",\"f12\":\"" + code + "\",\"f14\":\"甲\"}";
    };
    // Members out of order: [0] is member "0"; a missing member gives an empty quote.
    const std::string answer = "cb({\"data\":{\"diff\":{\"1\":" + quote("600001", "-1.5") +
                               ",\"0\":" + quote("600000", "2.5") +
                               ",\"x\":" + quote("600009", "0") + "}}});";
    const std::vector<StockQuote> quotes = CutQuotes(answer);
    ASSERT_EQ(quotes.size(), 3u);
    EXPECT_EQ(quotes[0].code, "600000");
    EXPECT_EQ(quotes[0].changePct, 2.5);
    EXPECT_EQ(quotes[1].code, "600001");
    EXPECT_EQ(quotes[2].code, "");
    // Linear in a large answer: members looked up once each.
    std::string large = "cb({\"data\":{\"diff\":{";
    for (int i = 0; i < 20000; ++i)
        large += (i ? ",\"" : "\"") + std::to_string(i) + "\":" + quote("600000", "1");
    EXPECT_EQ(CutQuotes(large + "}}});").size(), 20000u);
}

// The weight cell after the archive link, as the page has it; the number behind it when it is
// one.
TEST(HoldingsTest, AWeightIsShownAsCutAndReadAsANumber) {
    auto row = [](const char* weight) {
        return "<tr><td>1</td><td><a href='x'>600000</a></td><td class='tol'><a>甲</a></td>"
               "<td class='tor'></td><td class='tor'></td><td class='xglj'><a>档案</a></td>"
               "<td class='tor'>" +
               std::string(weight) + "</td><td class='tor'>1.00</td></tr>";
    };
    const struct {
        const char* weight;
        std::optional<double> number;
    } cases[] = {{"9.83%", 9.83}, {" 9.83 %", 9.83}, {"<b>9.83%</b>", 9.83}, {"---", {}}, {"", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.weight);
        const std::string page = "var apidata={ content:\"<table>" + row(c.weight) +
                                 "</table>截止至：<font>2026-09-30</font></label>\"};";
        const ArchiveHoldings archive = CutHoldings(page);
        ASSERT_EQ(archive.rows.size(), 1u);
        EXPECT_EQ(archive.rows[0].weight, c.weight);
        EXPECT_EQ(archive.rows[0].weightPct, c.number);
        EXPECT_EQ(archive.rows[0].stockName, "甲"_gbk);
        EXPECT_EQ(archive.reportDate, "2026-09-30");
    }
    EXPECT_EQ(CutHoldings(Answer("archive_hong_kong.txt")).reportDate, "2026-09-30");
}

TEST(HoldingsTest, QuoteAnswersThatCannotBeReadGiveNoRows) {
    const Text quote = "{\"f3\":1.5,\"f12\":\"689003\",\"f14\":\"华信创(CDR)\"}";
    const struct {
        const char* name;
        std::string answer;
        std::size_t count;
    } cases[] = {
        {"name with parentheses", "cb({\"data\":{\"diff\":[" + quote + "]}});", 1},
        {"saved answer with a CDR name", Answer("quotes_cdr.txt"), 10},
        {"no data", "cb({\"rc\":0,\"data\":null});", 0},
        // An object's members "0", "1", … are its quotes, as an index reaches them.
        {"diff an object", "cb({\"data\":{\"diff\":{\"0\":" + quote + "}}});", 1},
        {"bare JSON", "{\"data\":{\"diff\":[" + quote + "]}}", 0},
        {"cut short", "cb({\"data\":{\"diff\":[" + quote, 0},
        {"garbage", "\x89PNG\r\n(\x01)", 0},
        {"failed fetch", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<StockQuote> quotes = CutQuotes(c.answer);
        ASSERT_EQ(quotes.size(), c.count);
        if (c.count == 1) {
            EXPECT_EQ(quotes[0].name, "华信创(CDR)"_gbk);
        }
        EXPECT_EQ(PairHoldings(CutHoldings(Answer("archive_cdr.txt")), quotes).size(),
                  std::min<std::size_t>(c.count, MaxHoldingRows));
    }
    // More quotes than grid rows; a stock with no archive row has no weight.
    const std::vector<StockQuote> many(12, StockQuote{"600000", "甲"_gbk, "1", 1.0});
    const std::vector<HoldingRow> rows = PairHoldings(ArchiveHoldings{}, many);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(MaxHoldingRows));
    EXPECT_EQ(rows.back().number, "10");
    EXPECT_EQ(rows.back().weight, "");
}

} // namespace
} // namespace fundlens
