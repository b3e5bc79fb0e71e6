// The search box's key, the suggestion endpoint's address, and cutting its answers.
#include "fixture.h"
#include "portal/profile.h"
#include "portal/search.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(SearchKey, Utf8BytesPercentEncodedExceptLettersDigitsDashAndDot) {
    const struct {
        const char* name;
        Text typed;
        Text key;
    } cases[] = {
        {"digit", "1", "1"},
        {"code", "161725", "161725"},
        {"Chinese word", "白酒"_gbk, "%E7%99%BD%E9%85%92"},
        {"underscore", "_", "%5F"},
        {"tilde", "~", "%7E"},
        {"dash", "-", "-"},
        {"dot", ".", "."},
        {"blank", " ", "%20"},
        {"mixed", "ETF联接_A-1.b"_gbk, "ETF%E8%81%94%E6%8E%A5%5FA-1.b"},
        {"plus and percent", "+%", "%2B%25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SearchKey(c.typed), c.key);
    }
}

TEST(SuggestionUrl, FixedQueryAroundTheKeyOnTheSearchHost) {
    PortalProfile profile = ProfileAtBase("http://127.0.0.1:8080");
    profile.search = "http://search.test:81";
    SetPortalProfile(profile);
    EXPECT_EQ(SuggestionUrl("%E7%99%BD"),
              "http://search.test:81/FundSearch/api/FundSearchAPI.ashx?callback="
              "jQuery18304481644478480933_1628571546744&m=1&key=%E7%99%BD&_=1628571587137");
    SetPortalProfile(ProfileAtBase("http://127.0.0.1:8080"));
}

TEST(CutSuggestions, ThreeMatchesInAnswerOrderAsGbk) {
    const std::vector<Suggestion> list = CutSuggestions(ReadPortalFixture("suggestions_three.txt"));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].code, "161725");
    EXPECT_EQ(list[0].name, "瑞丰中证白酒指数A"_gbk);
    EXPECT_EQ(list[1].code, "161726");
    EXPECT_EQ(list[2].code, "012414");
    EXPECT_EQ(list[2].name, "景泰中证白酒ETF联接"_gbk);
    EXPECT_EQ(SuggestionListHeight(static_cast<int>(list.size())), 128);
}

TEST(CutSuggestions, AnswersThatGiveNoSuggestions) {
    const std::string three = ReadPortalFixture("suggestions_three.txt");
    const Text callback = SearchCallback;
    const struct {
        const char* name;
        std::string answer;
    } cases[] = {
        {"Datas not the last member", ReadPortalFixture("suggestions_datas_not_last.txt")},
        {"failed fetch", ""},
        {"other callback name", "jQuery1(" + three.substr(callback.size() + 1)},
        {"bare object", three.substr(callback.size() + 1)},
        {"cut short", three.substr(0, three.size() - 3)},
        {"no matches", callback + "({\"ErrCode\":0,\"ErrMsg\":null,\"Datas\":[]})"},
        {"garbage", callback + "(\x8f\xff<html>]})"},
        {"Datas not an array", callback + "({\"Datas\":{\"0\":{\"_id\":\"000001\"}},\"x\":[1]})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(CutSuggestions(c.answer).empty());
    }
    EXPECT_EQ(SuggestionListHeight(0), 32) << "an empty list still shows one line";
}

} // namespace
} // namespace fundlens
