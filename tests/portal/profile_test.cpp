// The profile (INI) reader and portal URLs.
#include "portal/profile.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(IniTest, ValuesKeepSeparatorsAndBlanksAroundAreDropped) {
    IniSections ini;
    std::string error;
    ASSERT_TRUE(ParseIni("\xEF\xBB\xBF; comment\r\n"
                         "[Update]\r\n"
                         "  page = http://h/home.php?mod=spacecp&ac=profile&op=base \r\n"
                         "cookie=a=1; b=2,c=3; d==4\r\n"
                         "# another comment\n"
                         "\n"
                         "[tls]\n"
                         "CA_Bundle=/etc/ssl/extra ca.pem\n"
                         "ca_bundle=/etc/ssl/later.pem\n"
                         "empty=\n",
                         ini, error))
        << error;
    EXPECT_EQ(ini["update"]["page"], "http://h/home.php?mod=spacecp&ac=profile&op=base");
    EXPECT_EQ(ini["update"]["cookie"], "a=1; b=2,c=3; d==4");
    EXPECT_EQ(ini["tls"]["ca_bundle"], "/etc/ssl/later.pem"); // the later one wins
    EXPECT_EQ(ini["tls"]["empty"], "");
}

TEST(IniTest, MalformedLinesAreReportedWithTheirNumber) {
    const struct {
        const char* name;
        const char* text;
        const char* message;
    } cases[] = {
        {"key outside a section", "fund=http://x\n", "line 1"},
        {"line without '='", "[portal]\nfund\n", "line 2"},
        {"unclosed section", "[portal\n", "line 1"},
        {"empty key", "[portal]\n=http://x\n", "line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IniSections ini;
        std::string error;
        EXPECT_FALSE(ParseIni(c.text, ini, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(ProfileTest, EverySettingLandsInItsField) {
    PortalProfile p;
    std::string error;
    ASSERT_TRUE(ApplyProfileText("[portal]\nfund=http://fund.test\nf10=https://f10.test/\n"
                                 "api=http://api.test:81\nsearch=http://search.test\n"
                                 "quote=http://quote.test\ntimeout=20\ndeadline=86400\n"
                                 "[update]\npage=https://u.test/p?x=1\n"
                                 "cookie=sid=abc; t=1\n[tls]\nca_bundle=/tmp/ca.pem\n"
                                 "[analysis]\nrisk_free=2.25\n[watchlist]\nrefresh=45\n",
                                 p, error))
        << error;
    EXPECT_EQ(p.fund, "http://fund.test");
    EXPECT_EQ(p.f10, "https://f10.test/");
    EXPECT_EQ(p.api, "http://api.test:81");
    EXPECT_EQ(p.search, "http://search.test");
    EXPECT_EQ(p.quote, "http://quote.test");
    EXPECT_EQ(p.updatePage, "https://u.test/p?x=1");
    EXPECT_EQ(p.updateCookie, "sid=abc; t=1");
    EXPECT_EQ(p.caBundle, "/tmp/ca.pem");
    EXPECT_EQ(p.timeoutSeconds, 20);
    EXPECT_EQ(p.deadlineSeconds, 86400);
    EXPECT_EQ(p.riskFreePct, 2.25);
    EXPECT_EQ(p.watchlistRefreshSeconds, 45);
    EXPECT_FALSE(ProfileIncomplete(p));
    EXPECT_EQ(PortalProfile{}.riskFreePct, 1.5);
    EXPECT_EQ(PortalProfile{}.watchlistRefreshSeconds, 30);
}

TEST(ProfileTest, BadSettingsAreRefused) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"unknown key", "[portal]\nfunds=http://x\n"},
        {"unknown section", "[proxy]\nhost=x\n"},
        {"no scheme", "[portal]\nfund=fund.test\n"},
        {"other scheme", "[update]\npage=file:///etc/passwd\n"},
        {"scheme without host", "[portal]\napi=http://\n"},
        {"zero seconds", "[portal]\ntimeout=0\n"},
        {"negative seconds", "[portal]\ndeadline=-5\n"},
        {"seconds as a word", "[portal]\ntimeout=ten\n"},
        {"fraction of seconds", "[portal]\ndeadline=1.5\n"},
        {"seconds with a unit", "[portal]\ntimeout=30s\n"},
        {"no seconds", "[portal]\ndeadline=\n"},
        {"more than a day", "[portal]\ndeadline=86401\n"},
        {"more digits than an int", "[portal]\ntimeout=99999999999\n"},
        {"timeout in another section", "[tls]\ntimeout=5\n"},
        {"refresh more often than every 10 s", "[watchlist]\nrefresh=9\n"},
        {"risk-free rate as a word", "[analysis]\nrisk_free=low\n"},
        {"risk-free rate with a percent sign", "[analysis]\nrisk_free=1.5%\n"},
        {"risk-free rate of -100 % or less", "[analysis]\nrisk_free=-100\n"},
        {"risk-free rate not a number", "[analysis]\nrisk_free=nan\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PortalProfile p;
        std::string error;
        EXPECT_FALSE(ApplyProfileText(c.text, p, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(ProfileTest, MissingPiecesComeFromOneBase) {
    PortalProfile p;
    p.f10 = "http://f10.test";
    EXPECT_TRUE(ProfileIncomplete(p));
    FillMissing(p, "http://127.0.0.1:8080");
    EXPECT_EQ(p.f10, "http://f10.test");
    EXPECT_EQ(p.fund, "http://127.0.0.1:8080");
    EXPECT_EQ(p.quote, "http://127.0.0.1:8080");
    EXPECT_EQ(p.updatePage, "http://127.0.0.1:8080/home.php?mod=spacecp&ac=profile&op=base");
    EXPECT_FALSE(ProfileIncomplete(p));
}

TEST(ProfileTest, PortalUrlsJoinWithExactlyOneSlash) {
    EXPECT_EQ(JoinUrl("http://h", "jjjl_000001.html"), "http://h/jjjl_000001.html");
    EXPECT_EQ(JoinUrl("http://h/", "/data/FundGuideapi.aspx?dt=4"),
              "http://h/data/FundGuideapi.aspx?dt=4");
    EXPECT_EQ(JoinUrl("http://h/base//", "//F10/JJPJ/"), "http://h/base/F10/JJPJ/");
    PortalProfile p = ProfileAtBase("http://base.test");
    p.f10 = "http://f10.test/fund/";
    p.quote = "http://quote.test";
    const PortalProfile saved = CurrentPortalProfile();
    SetPortalProfile(p);
    EXPECT_EQ(PortalUrl(PortalHost::F10, "jjjl_000001.html"),
              "http://f10.test/fund/jjjl_000001.html");
    EXPECT_EQ(PortalUrl(PortalHost::Quote, "/api/qt/ulist.np/get"),
              "http://quote.test/api/qt/ulist.np/get");
    EXPECT_EQ(PortalUrl(PortalHost::Fund, "/data/FundGuideapi.aspx"),
              "http://base.test/data/FundGuideapi.aspx");
    EXPECT_EQ(UpdatePageUrl(), "http://base.test/home.php?mod=spacecp&ac=profile&op=base");
    EXPECT_EQ(UpdateCookie(), ""); // none given: an empty text
    SetPortalProfile(saved);
}

} // namespace
} // namespace fundlens
