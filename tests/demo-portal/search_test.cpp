// The search box and a picked suggestion against the portal: suggestions and fund main pages
// cut with the program's own cuts.
#include "demo-portal/data_answers.h"
#include "demo-portal/fund_pages.h"
#include "portal/fund_main_page.h"
#include "portal/profile.h"
#include "portal/search.h"
#include "portal_test_support.h"
#include "text/json_document.h"

#include <functional>
#include <gtest/gtest.h>

namespace fundlens::demo::test {
namespace {

// The program's addresses point at the shared portal.
void UseTestPortal() {
    SetPortalProfile(ProfileAtBase(Portal().BaseUrl()));
}

// The raw answer to a typed text, as the search box asks for it.
Text SearchAnswer(const Text& typed) {
    UseTestPortal();
    return WebRequest(SuggestionUrl(SearchKey(typed)));
}

std::vector<Suggestion> Suggest(const Text& typed) {
    return CutSuggestions(SearchAnswer(typed));
}

const Fund* FindFund(const std::function<bool(const Fund&)>& wanted) {
    for (const Fund& f : Market().Funds()) {
        if (wanted(f)) {
            return &f;
        }
    }
    return nullptr;
}

bool NameHas(const Fund& f, std::string_view part) {
    return f.name.find(part) != std::string::npos;
}

TEST(Search, MatchesCodesInitialsPinyinAndNameParts) {
    const Fund& sample = Market().Funds()[1234];
    const Text initials = ToLowerAscii(sample.abbreviation.substr(0, 4));
    const Text pinyin = ToLowerAscii(sample.pinyin.substr(0, 7));
    const struct {
        const char* name;
        Text typed;
        std::function<bool(const Fund&)> matches;
    } cases[] = {
        {"whole code", sample.code, [&](const Fund& f) { return f.code == sample.code; }},
        {"code prefix", sample.code.substr(0, 3),
         [&](const Fund& f) { return f.code.starts_with(sample.code.substr(0, 3)); }},
        {"initials in lower case", initials,
         [&](const Fund& f) {
             return f.abbreviation.starts_with(sample.abbreviation.substr(0, 4));
         }},
        {"joined pinyin", pinyin,
         [&](const Fund& f) { return f.pinyin.starts_with(sample.pinyin.substr(0, 7)); }},
        {"Chinese name part", "成长混合"_gbk, [](const Fund& f) { return NameHas(f, "成长混合"); }},
        {"blanks around the key", " 白酒 "_gbk, [](const Fund& f) { return NameHas(f, "白酒"); }},
        {"nothing like it", "zzzzzz", [](const Fund&) { return false; }},
        {"empty key", "", [](const Fund&) { return false; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Suggestion> list = Suggest(c.typed);
        std::size_t expected = 0;
        for (const Fund& f : Market().Funds()) {
            expected += c.matches(f) ? 1 : 0;
        }
        EXPECT_EQ(list.size(), std::min<std::size_t>(expected, MaxSuggestions));
        for (const Suggestion& s : list) {
            const Fund* f = Market().FindFund(s.code);
            ASSERT_NE(f, nullptr);
            EXPECT_TRUE(c.matches(*f)) << s.code;
            EXPECT_EQ(s.name, Gbk(f->name));
        }
    }
    ASSERT_FALSE(Suggest(sample.code).empty());
    EXPECT_EQ(Suggest(sample.code).front().code, sample.code);
    EXPECT_GE(Suggest("白酒"_gbk).size(), 8u) << "a theme finds its funds";
}

TEST(Search, SingleCharacterKeysPutDatasFirst) {
    const Text callback = SearchCallback;
    const struct {
        const char* name;
        Text typed;
        bool datasFirst;
    } cases[] = {
        {"digit", "1", true},
        {"letter", "b", true},
        {"Chinese character", "白"_gbk, true},
        {"blank and digit", " 1", true},
        {"two digits", "00", false},
        {"two characters", "白酒"_gbk, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Text answer = SearchAnswer(c.typed);
        JsonDocument document;
        ASSERT_TRUE(document.Parse(TextBetween(Utf8ToText(answer), callback + "(", "})") + "}"));
        EXPECT_GT(document.Count("Datas"), 0) << "the portal has matches";
        // The program cuts the object at "]})": only a last "Datas" gives suggestions.
        EXPECT_EQ(answer.ends_with("]})"), !c.datasFirst);
        EXPECT_EQ(CutSuggestions(answer).empty(), c.datasFirst);
    }
}

TEST(PickedFund, MainPageFiguresOfOldAndYoungFunds) {
    const Fund* old =
        FindFund([](const Fund& f) { return HasValue(f.returns[Period::ThreeYears]); });
    const Fund* young = FindFund([](const Fund& f) {
        return HasValue(f.returns[Period::OneYear]) && !HasValue(f.returns[Period::TwoYears]);
    });
    ASSERT_NE(old, nullptr);
    ASSERT_NE(young, nullptr);
    UseTestPortal();
    for (const Fund* fund : {old, young}) {
        SCOPED_TRACE(fund->code);
        const MainPageFigures figures = CutMainPage(WebRequest(MainPageUrl(fund->code)));
        EXPECT_EQ(figures.date, MarketDay);
        EXPECT_EQ(figures.netValue, FormatFixed(Universe::NavAt(*fund, Market().LastIndex()), 4));
        EXPECT_EQ(figures.dailyChange, FundPages::PercentText(fund->returns.day));
        for (std::size_t k = 0; k < PeriodReturnCount; ++k) {
            EXPECT_EQ(figures.returns[k], FundPages::PercentText(fund->returns.period[k])) << k;
        }
    }
    // The main page's query arrives without its trailing blank.
    const auto requests = Portal().Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().path, "/" + young->code + ".html");
    EXPECT_EQ(requests.back().query, "spm=search");
}

} // namespace
} // namespace fundlens::demo::test
