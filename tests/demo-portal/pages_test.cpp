// The fund pages and the update page, cut the way the detail loaders and the update check
// cut them.
#include "demo-portal/calendar.h"
#include "demo-portal/fund_pages.h"
#include "portal/fund_profile.h"
#include "portal/fund_risk.h"
#include "portal/net_value_page.h"
#include "portal/profile.h"
#include "portal_test_support.h"
#include "text/regex_matcher.h"

#include <QImage>
#include <gtest/gtest.h>

namespace fundlens::demo::test {
namespace {

// The first fund matching `wanted`.
template <typename Predicate>
const Fund* FindFund(Predicate wanted) {
    for (const Fund& f : Market().Funds()) {
        if (wanted(f)) {
            return &f;
        }
    }
    return nullptr;
}

const Fund* OldFund() {
    return FindFund([](const Fund& f) { return HasValue(f.risk.sharpe[2]); });
}

const Fund* YoungFund() {
    return FindFund([](const Fund& f) { return !HasValue(f.returns[Period::SixMonths]); });
}

TEST(FundPages, ProfileSizeCutIsTheCleanSizeTextInUtf8AndGbkPages) {
    const Fund* gbk = FindFund([](const Fund& f) { return FundPages::ProfileInGbk(f, Market()); });
    const Fund* utf8 =
        FindFund([](const Fund& f) { return !FundPages::ProfileInGbk(f, Market()); });
    for (const Fund* fund : {OldFund(), YoungFund(), gbk, utf8}) {
        ASSERT_NE(fund, nullptr);
        WebCall call = Call(Url("/jbgk_" + fund->code + ".html"));
        const Text page = WebRequest(call);
        EXPECT_EQ(CutProfile(page), Gbk(FormatFixed(fund->sizeYi, 2) + "亿元（截止至：" +
                                        FormatDay(Market().ReportDay()) + "）"));
        // A GBK page is GBK on the wire, as it declares.
        const std::string raw(call.bodyBytes.begin(), call.bodyBytes.end());
        const bool declaredGbk = raw.find("charset=gb2312") != std::string::npos;
        EXPECT_EQ(declaredGbk, FundPages::ProfileInGbk(*fund, Market())) << fund->code;
        EXPECT_EQ(raw == page, declaredGbk) << fund->code;
    }
}

TEST(FundPages, ManagerPageForOneTwoAndThreeManagersGainingOrLosing) {
    for (std::size_t managers = 1; managers <= 3; ++managers) {
        for (bool gained : {true, false}) {
            SCOPED_TRACE(std::to_string(managers) +
                         (gained ? " managers, gain" : " managers, loss"));
            const Fund* fund = FindFund([&](const Fund& f) {
                const Management& team = f.managements.front();
                return team.managers.size() == managers && (team.returnPct > 0) == gained;
            });
            ASSERT_NE(fund, nullptr);
            const Management& team = fund->managements.front();
            const ManagerInfo info = CutManager(FetchPage("/jjjl_" + fund->code + ".html"));
            const auto& all = Market().Managers();
            std::string names = all[static_cast<std::size_t>(team.managers.front())].name;
            if (managers > 1) {
                names += "，" + all[static_cast<std::size_t>(team.managers.back())].name;
            }
            EXPECT_EQ(info.managers, Gbk(names));
            EXPECT_EQ(info.tenureColor, gained ? RgbRed : RgbGreen);
            const int start = Market().TradingDays()[static_cast<std::size_t>(
                std::max(team.startIndex, fund->firstIndex))];
            EXPECT_EQ(info.tenure,
                      Gbk(FormatFixed(team.returnPct, 2) + "%（任期：" +
                          FundPages::TenureText(Market().LastTradingDay() - start) + "）"));
        }
    }
}

TEST(FundPages, RiskPageHoldsSixFiguresOrNineForIndexFunds) {
    const Fund* index = FindFund(
        [](const Fund& f) { return f.type == FundType::Index && HasValue(f.risk.sharpe[2]); });
    for (const Fund* fund : {OldFund(), YoungFund(), index}) {
        ASSERT_NE(fund, nullptr);
        SCOPED_TRACE(fund->code);
        const Text page = FetchPage("/tsdata_" + fund->code + ".html");
        RegexMatcher figures;
        ASSERT_TRUE(figures.Create("class='num'>.*?</td>", page));
        EXPECT_EQ(figures.MatchCount(), fund == index ? 9 : 6);
        const std::vector<RiskCell> cells = CutRisk(page);
        ASSERT_EQ(cells.size(), 6u);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::size_t k = i % 3;
            const double sharpe = fund->risk.sharpe[k];
            EXPECT_EQ(cells[i].text, i < 3 ? FundPages::PercentText(fund->risk.deviationPct[k])
                                           : (HasValue(sharpe) ? FormatFixed(sharpe, 2) : "--"))
                << i;
            EXPECT_EQ(cells[i].color.has_value(), cells[i].text != "--") << i;
        }
    }
}

TEST(FundPages, NetValuePageNamesADecodableChartImage) {
    const Fund* fund = OldFund();
    ASSERT_NE(fund, nullptr);
    const PortalProfile saved = CurrentPortalProfile();
    SetPortalProfile(ProfileAtBase(Portal().BaseUrl()));
    const Text source = CutNetValueImageSource(WebRequest(NetValuePageUrl(fund->code)));
    SetPortalProfile(saved);
    const std::string host = "//127.0.0.1:" + std::to_string(Portal().Port()) + "/";
    EXPECT_EQ(source, host + "img/jjjz/" + fund->code + ".png");

    const Bytes png = WebRequestBytes(NetValueImageUrl(source));
    QImage image;
    ASSERT_TRUE(image.loadFromData(png.data(), static_cast<int>(png.size())));
    EXPECT_EQ(image.width(), 770);
    EXPECT_EQ(image.height(), 270);
    // Another fund's curve gives another picture; a fund the portal does not have, none.
    const Fund* other = YoungFund();
    EXPECT_NE(WebRequestBytes(Url("/img/jjjz/" + other->code + ".png")), png);
    WebCall missing = Call(Url("/img/jjjz/999999.png"));
    WebRequest(missing);
    EXPECT_EQ(missing.status.substr(0, 3), "404");
}

TEST(FundPages, UpdatePageAnnouncesVersionAndLinkInGbk) {
    for (int version : {4, 5}) {
        SCOPED_TRACE(version);
        PortalOptions options;
        options.announceVersion = version;
        options.date = MarketDay;
        DemoPortal portal(options);
        ASSERT_TRUE(portal.Start());
        WebCall call = Call(portal.BaseUrl() + "/home.php?mod=spacecp&ac=profile&op=base");
        call.cookies = Text();
        const Text page = WebRequest(call);
        EXPECT_EQ(call.status, "200 OK");
        const Text value = TextBetween(
            page,
            "<input type=\"text\" name=\"realname\" id=\"realname\" class=\"px\" value=\"版本"_gbk,
            "\" tabindex=\"1\" /><div class=\"rq mtn\" id=\"showerror_realname\">");
        EXPECT_EQ(TextBeforeFirst(value, "链接"_gbk), std::to_string(version));
        EXPECT_EQ(TextAfterLast(value, "链接"_gbk), portal.BaseUrl() + "/download.html");
        // The page is GBK on the wire, as it declares.
        const std::string raw(call.bodyBytes.begin(), call.bodyBytes.end());
        EXPECT_NE(raw.find("charset=gbk"), std::string::npos);
        EXPECT_NE(raw.find("版本"_gbk), std::string::npos);
        EXPECT_EQ(WebRequest(portal.BaseUrl() + "/download.html").empty(), false);
    }
}

TEST(FundPages, UnknownPathsAndFundsAre404Pages) {
    for (const char* path : {"/nothing", "/jbgk_999999.html", "/jjjl_12345.html", "/999999.html",
                             "/tsdata_abcdef.html"}) {
        SCOPED_TRACE(path);
        WebCall call = Call(Url(path));
        const Text page = WebRequest(call);
        EXPECT_EQ(call.status.substr(0, 3), "404");
        EXPECT_NE(FindText(page, "404"), Text::npos);
    }
}

} // namespace
} // namespace fundlens::demo::test
