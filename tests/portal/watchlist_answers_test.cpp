// The watchlist's cuts: a whole answer told from a failed request, the fund's name from its
// main page, and the quote batches gathered over every watched fund.
#include "fixture.h"
#include "portal/watchlist_answers.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

Text MainPage(const std::string& name) {
    return Utf8ToText(ReadPortalFixture(name));
}

// A bond fund's archive as the portal gives it: the quarter's table without rows and an empty
// hidden stock list.
const char* const BondArchive =
    "var apidata={ content:\"<div class='box'><div class='boxitem w790'><h4 class='t'><label "
    "class='right lab2 xq505'>截止至：<font class='px12'>2026-09-30</font></label></h4><table "
    "class='w782 comm tzxq'><thead><tr><th>序号</th></tr></thead><tbody>\r\n</tbody></table>"
    "<div class='hide' id='gpdmList'></div></div></div>\",arryear:[2026],curyear:2026};";

TEST(MainPageName, TheTitleBlocksNameWithItsEntitiesRead) {
    const Text page = MainPage("main_page.html");
    const struct {
        const char* name;
        Text page;
        Text expected;
    } cases[] = {
        {"saved page", page, "瑞丰中证白酒指数A"_gbk},
        {"young fund", MainPage("main_page_young.html"), "景泰新能源车指数C"_gbk},
        {"entities", ReplaceAll(page, "瑞丰"_gbk, "A&amp;B&lt;1&gt;"),
         "A&B<1>"_gbk + "中证白酒指数A"_gbk},
        {"no title block", ReplaceAll(page, "fundDetail-tit", "title"), ""},
        {"failed fetch", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutMainPageName(c.page), c.expected);
    }
}

TEST(MainPageAnswer, ReadableWhenTheNetValueBlockCame) {
    const Text page = MainPage("main_page.html");
    const struct {
        const char* name;
        Text page;
        bool readable;
    } cases[] = {
        {"saved page", page, true},
        {"failed fetch", "", false},
        {"no net value yet", ReplaceAll(page, ">1.2345<", ">--<"), true},
        {"an error page", "<html><body>500 Internal Server Error</body></html>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MainPageAnswer answer = CutMainPageAnswer(c.page);
        EXPECT_EQ(answer.readable, c.readable);
        EXPECT_EQ(HasNetValue(answer.figures), c.readable && answer.figures.netValue != "--");
        if (c.readable) {
            EXPECT_EQ(answer.figures.date, "2026-12-07");
            EXPECT_EQ(answer.name, "瑞丰中证白酒指数A"_gbk);
        }
    }
}

TEST(ArchiveAnswer, AnEmptyArchiveIsNoFailedOne) {
    const Text saved = ReadPortalFixture("archive_few.txt");
    const struct {
        const char* name;
        Text answer;
        bool readable;
        std::size_t rows;
        Text stockIds;
    } cases[] = {
        {"saved archive", saved, true, 5, "1.605890,1.688204,0.003495,0.003500,1.601082"},
        {"bond fund", BondArchive, true, 0, ""},
        {"failed fetch", "", false, 0, ""},
        {"error page", "<html><body>Internal Server Error</body></html>", false, 0, ""},
        {"garbage", "\x13\x87zq(){}var", false, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ArchiveAnswer answer = CutArchiveAnswer(c.answer);
        EXPECT_EQ(answer.readable, c.readable);
        EXPECT_EQ(answer.holdings.rows.size(), c.rows);
        EXPECT_EQ(answer.holdings.stockIds, c.stockIds);
    }
}

TEST(QuoteAnswer, AnswerWithoutQuotesIsNoFailedOne) {
    const struct {
        const char* name;
        Text answer;
        bool readable;
        std::size_t quotes;
    } cases[] = {
        {"saved answer", ReadPortalFixture("quotes_few.txt"), true, 5},
        {"every stock delisted", "cb({\"rc\":0,\"data\":{\"total\":0,\"diff\":[]}});", true, 0},
        {"data null", "cb({\"rc\":0,\"data\":null});", false, 0},
        {"no data", "cb({\"rc\":0});", false, 0},
        {"not JSONP", "{\"data\":{\"diff\":[]}}", false, 0},
        {"failed fetch", "", false, 0},
        {"cut short", "cb({\"rc\":0,\"data\":{\"total\":1,\"diff\":[{\"f12\":\"600519\"", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QuoteAnswer answer = CutQuoteAnswer(c.answer);
        EXPECT_EQ(answer.readable, c.readable);
        EXPECT_EQ(answer.quotes.size(), c.quotes);
    }
}

// "1.600000", "1.600001", ... as an archive lists them.
Text IdList(int first, int count) {
    Text list;
    for (int i = first; i < first + count; ++i)
        list += "1." + std::to_string(600000 + i) + ",";
    return list;
}

TEST(QuoteBatches, EverySecurityOnceInAsFewRequestsAsAllowed) {
    const struct {
        const char* name;
        std::vector<Text> lists;
        std::size_t perBatch;
        std::vector<Text> batches;
    } cases[] = {
        {"one list", {"1.600519,0.000858,"}, 50, {"1.600519,0.000858"}},
        {"shared stocks once, first order kept",
         {"1.600519,0.000858", "0.000858,116.00700,1.600519"},
         50,
         {"1.600519,0.000858,116.00700"}},
        {"blanks and empty entries", {" 1.600519 ,,", ",", ""}, 50, {"1.600519"}},
        {"no stocks (bond funds)", {"", ""}, 50, {}},
        {"split at the limit", {"1.1,1.2,1.3", "1.4,1.5"}, 2, {"1.1,1.2", "1.3,1.4", "1.5"}},
        {"a limit of 0 is 1", {"1.1,1.2"}, 0, {"1.1", "1.2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QuoteBatches(c.lists, c.perBatch), c.batches);
    }
}

TEST(QuoteBatches, FiftyWatchedFundsOfTenStocksTakeTenRequests) {
    std::vector<Text> lists;
    for (int fund = 0; fund < 50; ++fund)
        lists.push_back(IdList(fund * 10, 10));
    lists.push_back(IdList(0, 30)); // a fund holding stocks the others hold too
    const std::vector<Text> batches = QuoteBatches(lists);
    ASSERT_EQ(batches.size(), 10u);
    for (const Text& batch : batches)
        EXPECT_EQ(StockIdsOf(batch).size(), MaxQuoteBatch);
    EXPECT_EQ(StockIdsOf(batches.front()).front(), "1.600000");
    EXPECT_EQ(StockIdsOf(batches.back()).back(), "1.600499");
}

} // namespace
} // namespace fundlens
