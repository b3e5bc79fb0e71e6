// The ranking endpoint read as the list loaders read it: the text after "var rankData =",
// parsed with JsonDocument, "allPages" and the records of "datas".
#include "demo-portal/calendar.h"
#include "demo-portal/ranking.h"
#include "portal/sector_table.h"
#include "portal_test_support.h"
#include "text/json_document.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace fundlens::demo::test {
namespace {

const std::string FiveStarRnd = "&zf=diy&sh=list&rnd=0.01942454964583651";
const std::string SectorRnd = "&zf=diy&sh=list&rnd=0.6496325281618789";

struct RankAnswer {
    bool parsed = false;
    int allPages = 0;
    std::vector<std::vector<Text>> records;
};

std::vector<Text> SplitFields(const Text& record) {
    std::vector<Text> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = record.find(',', start);
        fields.push_back(record.substr(start, comma == Text::npos ? Text::npos : comma - start));
        if (comma == Text::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

RankAnswer ReadRanking(const std::string& query) {
    const Text answer = FetchData("/data/FundGuideapi.aspx?" + query);
    JsonDocument document;
    RankAnswer result;
    result.parsed = document.Parse(TextAfterLast(answer, "var rankData ="));
    result.allPages = static_cast<int>(TextToNumber(document.GetText("allPages")));
    const int count = document.Count("datas");
    for (int j = 0; j < count; ++j) {
        result.records.push_back(SplitFields(document.GetText("datas[" + std::to_string(j) + "]")));
    }
    return result;
}

std::vector<Text> CodesOf(const std::vector<std::vector<Text>>& records) {
    std::vector<Text> codes;
    for (const auto& r : records) {
        codes.push_back(r.front());
    }
    return codes;
}

std::vector<Text> SortedCodes(const std::vector<int>& funds) {
    std::vector<Text> codes;
    for (int i : funds) {
        codes.push_back(Market().Funds()[static_cast<std::size_t>(i)].code);
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}

// Every page of a list, as the loaders fetch it after the probe.
std::vector<std::vector<Text>> AllPages(const std::string& queryBeforePage, const std::string& rest,
                                        int pages) {
    std::vector<std::vector<Text>> records;
    for (int page = 1; page <= pages; ++page) {
        const RankAnswer answer = ReadRanking(queryBeforePage + std::to_string(page) + rest);
        EXPECT_TRUE(answer.parsed) << "page " << page;
        records.insert(records.end(), answer.records.begin(), answer.records.end());
    }
    return records;
}

int SectorWithSize(std::size_t size) {
    for (const Sector& s : SectorTable()) {
        if (Market().SectorMembers(s.code).size() == size) {
            return s.code;
        }
    }
    return -1;
}

int LargestSector() {
    int best = SectorTable()[0].code;
    for (const Sector& s : SectorTable()) {
        if (Market().SectorMembers(s.code).size() > Market().SectorMembers(best).size()) {
            best = s.code;
        }
    }
    return best;
}

TEST(RankingEndpoint, FiveStarListHoldsExactlyTheFiveStarFunds) {
    const std::vector<int> fiveStar = Market().RatedFunds(5);
    ASSERT_GE(fiveStar.size(), 241u);
    ASSERT_LE(fiveStar.size(), 260u);

    const RankAnswer probe =
        ReadRanking("dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=20" + FiveStarRnd);
    ASSERT_TRUE(probe.parsed);
    EXPECT_EQ(probe.allPages, 13);
    const auto records =
        AllPages("dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=", "&pn=20" + FiveStarRnd, probe.allPages);

    std::vector<Text> codes = CodesOf(records);
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, SortedCodes(fiveStar));
    for (const auto& fields : records) {
        ASSERT_GE(fields.size(), 18u);
        const Fund* fund = Market().FindFund(fields[0]);
        ASSERT_NE(fund, nullptr);
        EXPECT_EQ(fields[1], Gbk(fund->name));
        EXPECT_EQ(fields[15], MarketDay);
        EXPECT_EQ(fields[16], FormatFixed(Universe::NavAt(*fund, Market().LastIndex()), 4));
        EXPECT_EQ(fields[9], FormatFixed(fund->returns[Period::OneYear], 2));
        EXPECT_EQ(fields[17], FormatFixed(fund->returns.day, 2));
    }
    // The probe's own order ("jn", descending) runs on across the pages.
    for (std::size_t i = 1; i < records.size(); ++i) {
        EXPECT_GE(TextToNumber(records[i - 1][4]), TextToNumber(records[i][4])) << i;
    }
}

TEST(RankingEndpoint, SectorFormsListTheSectorsMembers) {
    struct Case {
        const char* name;
        int code;
    };
    const Case cases[] = {
        {"one full page", SectorWithSize(20)},
        {"largest", LargestSector()},
        {"empty", SectorWithSize(0)},
        {"shared code 823", 823},
        {"unknown code", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GE(c.code, 0);
        const auto& members = Market().SectorMembers(c.code);
        const int pages = static_cast<int>((members.size() + 19) / 20);
        const std::string sector = "dt=4&sd=&ed=&tp=BK0" + std::to_string(c.code);

        const RankAnswer probe = ReadRanking(sector + "&sc=3y&st=desc&pi=1&pn=20" + SectorRnd);
        ASSERT_TRUE(probe.parsed);
        EXPECT_EQ(probe.allPages, pages);
        const auto firstLoad = AllPages(sector + "&sc=3y&st=desc&pi=", "&pn=20" + SectorRnd, pages);
        std::vector<Text> codes = CodesOf(firstLoad);
        std::sort(codes.begin(), codes.end());
        EXPECT_EQ(codes, SortedCodes(members));

        // Later loads send an empty key and order: the default order, the same list.
        const auto later = AllPages(sector + "&sc=&st=&pi=", "&pn=20" + SectorRnd, pages);
        EXPECT_EQ(CodesOf(later), CodesOf(firstLoad));
    }
    EXPECT_EQ(Market().SectorMembers(823).size() > 0, true);
}

TEST(RankingEndpoint, SortsByEveryKeyWithMissingFiguresLast) {
    const struct {
        const char* key;
        std::size_t field;
    } keys[] = {{"r", 17}, {"z", 5},  {"1y", 6},  {"3y", 7}, {"6y", 8},
                {"jn", 4}, {"1n", 9}, {"2n", 10}, {"3n", 11}};
    const int sector = LargestSector();
    const std::size_t members = Market().SectorMembers(sector).size();
    bool sawMissing = false;
    for (const auto& k : keys) {
        for (const char* order : {"desc", "asc"}) {
            SCOPED_TRACE(std::string(k.key) + " " + order);
            const RankAnswer answer =
                ReadRanking("dt=4&sd=&ed=&tp=BK0" + std::to_string(sector) + "&sc=" + k.key +
                            "&st=" + order + "&pi=1&pn=200" + SectorRnd);
            ASSERT_EQ(answer.records.size(), members);
            bool missingSeen = false;
            for (std::size_t i = 0; i < answer.records.size(); ++i) {
                const Text& value = answer.records[i][k.field];
                if (value.empty()) {
                    missingSeen = sawMissing = true;
                    continue;
                }
                ASSERT_FALSE(missingSeen) << "a figure after an empty one at " << i;
                if (i > 0) {
                    const double previous = TextToNumber(answer.records[i - 1][k.field]);
                    const double current = TextToNumber(value);
                    if (std::string(order) == "desc") {
                        EXPECT_GE(previous, current) << i;
                    } else {
                        EXPECT_LE(previous, current) << i;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(sawMissing) << "the sector should hold funds too young for some periods";
}

TEST(RankingEndpoint, MalformedQueriesAnswerWithoutRecords) {
    const struct {
        const char* name;
        std::string query;
    } cases[] = {
        {"no page index", "dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pn=20"},
        {"letters in page index", "dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1a&pn=20"},
        {"page index 0", "dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=0&pn=20"},
        {"page size 0", "dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=0"},
        {"page size above 200", "dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=201"},
        {"huge page size", "dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=99999999999999999999"},
        {"no list type", "sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=20"},
        {"sector without digits", "dt=4&sd=&ed=&tp=BK0&sc=3y&st=desc&pi=1&pn=20"},
        {"sector with letters", "dt=4&sd=&ed=&tp=BK0x12&sc=3y&st=desc&pi=1&pn=20"},
        {"unknown rating", "dt=4&sd=&ed=&rt=sz,9&sc=jn&st=desc&pi=1&pn=20"},
        {"empty query", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RankAnswer answer = ReadRanking(c.query);
        EXPECT_TRUE(answer.parsed);
        EXPECT_EQ(answer.allPages, 0);
        EXPECT_TRUE(answer.records.empty());
    }
}

TEST(RankingEndpoint, PageBeyondTheLastIsEmptyWithTheTruePageCount) {
    const RankAnswer answer =
        ReadRanking("dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=14&pn=20" + FiveStarRnd);
    EXPECT_TRUE(answer.parsed);
    EXPECT_EQ(answer.allPages, 13);
    EXPECT_TRUE(answer.records.empty());
    // Without a filter every fund is listed.
    const RankAnswer all = ReadRanking("dt=4&sd=&ed=&sc=&st=&pi=1&pn=200");
    EXPECT_EQ(all.allPages, (Universe::FundCount + 199) / 200);
    EXPECT_EQ(all.records.size(), 200u);
}

} // namespace
} // namespace fundlens::demo::test
