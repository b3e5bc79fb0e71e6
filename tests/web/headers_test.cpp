// Header blocks built for the two routines, the reading of answer headers, and URL pieces.
#include "web/headers.h"
#include "web/web_request.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

const Text DefaultAgent =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n";
const Text DefaultAccept = "Accept: text/html, application/xhtml+xml, */*\r\n";
const Text DefaultEncoding = "Accept-Encoding: gbk, GB2312\r\n";
const Text DefaultLanguage = "Accept-Language: zh-cn\r\n";
const Text DefaultType = "Content-Type: application/x-www-form-urlencoded\r\n";
const Text DefaultCache = "Cache-Control: no-cache\r\n";

struct BlockCase {
    const char* name;
    Text extraHeaders;
    Text cookies;
    Text block;
};

class RequestHeaderBlockTest : public testing::TestWithParam<BlockCase> {};

TEST_P(RequestHeaderBlockTest, AddsMissingDefaultsInOrder) {
    const BlockCase& c = GetParam();
    EXPECT_EQ(web::BuildRequestHeaderBlock(c.extraHeaders, c.cookies), c.block);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestHeaderBlockTest,
    testing::Values(BlockCase{"Defaults", "", "",
                              DefaultAgent + DefaultAccept + DefaultEncoding + DefaultLanguage +
                                  DefaultType + DefaultCache},
                    BlockCase{"NameWithoutBlankNotFound", "Accept:text/plain", "",
                              "Accept:text/plain\r\n" + DefaultAgent + DefaultAccept +
                                  DefaultEncoding + DefaultLanguage + DefaultType + DefaultCache},
                    BlockCase{"RefererKeptFirst", "Referer: http://a/\r\nCache-Control: max-age=0",
                              "",
                              "Referer: http://a/\r\nCache-Control: max-age=0\r\n" + DefaultAgent +
                                  DefaultAccept + DefaultEncoding + DefaultLanguage + DefaultType},
                    BlockCase{"CookieLineLast", "", "a=1; b=2",
                              DefaultAgent + DefaultAccept + DefaultEncoding + DefaultLanguage +
                                  DefaultType + DefaultCache + "Cookie: a=1; b=2\r\n"},
                    BlockCase{"CallerCookieLineAnyCaseWins", "cookie: z=9", "a=1",
                              "cookie: z=9\r\n" + DefaultAgent + DefaultAccept + DefaultEncoding +
                                  DefaultLanguage + DefaultType + DefaultCache}),
    [](const testing::TestParamInfo<BlockCase>& info) { return info.param.name; });

TEST(BytesHeaderBlock, CompletesWithExactCaseLookups) {
    const Text url = "http://h/a.png";
    EXPECT_EQ(web::CompleteBytesHeaderBlock("", url, ""),
              "Accept: */*\r\nReferer: http://h/a.png\r\nAccept-Language: zh-cn\r\n"
              "Content-Type: application/x-www-form-urlencoded");
    EXPECT_EQ(web::CompleteBytesHeaderBlock("Referer: r\r\nAccept-Language: en", url, ""),
              "Referer: r\r\nAccept-Language: en\r\nAccept: */*\r\n"
              "Content-Type: application/x-www-form-urlencoded");
    // Look-ups keep letter case: a lower-case line does not stand for the default.
    EXPECT_EQ(web::CompleteBytesHeaderBlock("accept: x", url, ""),
              "accept: x\r\nAccept: */*\r\nReferer: http://h/a.png\r\nAccept-Language: zh-cn\r\n"
              "Content-Type: application/x-www-form-urlencoded");
}

TEST(BytesHeaderBlock, CookiesBareOrAsCompleteLine) {
    const Text base = "Accept: */*\r\nReferer: u\r\nAccept-Language: zh-cn\r\n"
                      "Content-Type: application/x-www-form-urlencoded";
    EXPECT_EQ(web::CompleteBytesHeaderBlock("", "u", "a=1"), base + "\r\nCookie: a=1");
    EXPECT_EQ(web::CompleteBytesHeaderBlock("", "u", "Cookie: a=1"), base + "\r\nCookie: a=1");
}

TEST(BytesHeaderBlock, UserAgentRule) {
    EXPECT_EQ(web::BytesUserAgent(""), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    EXPECT_EQ(web::BytesUserAgent("User-Agent:  Foo 1.0 \r\nAccept: x"), "Foo 1.0");
    EXPECT_EQ(web::BytesUserAgent("Accept: x\r\nUser-Agent: Bar"), "Bar");
    // Another letter case: the value of that line, never the rest of the block.
    EXPECT_EQ(web::BytesUserAgent("Accept: x\r\nuser-agent: Baz\r\nReferer: r"), "Baz");
}

TEST(AnswerHeaders, SetCookieNormalisedAndCookiesCollected) {
    const Text block = web::NormaliseSetCookie("HTTP/1.1 200 OK\r\n"
                                               "Set-Cookie: a=1; path=/\r\n"
                                               "set-cookie: b=2\r\n"
                                               "SET-COOKIE:c=3 ;HttpOnly\r\n"
                                               "Vary: Set-Cookie\r\n"
                                               "Set-Cookie: ; path=/\r\n\r\n");
    EXPECT_NE(block.find("\r\nSet-Cookie: b=2\r\n"), Text::npos);
    EXPECT_NE(block.find("\r\nSet-Cookie:c=3 ;HttpOnly\r\n"), Text::npos);
    EXPECT_EQ(web::CookiesOfBlock(block), "a=1; b=2; c=3");
    EXPECT_EQ(web::CookiesOfBlock("HTTP/1.1 200 OK\r\n\r\n"), "");
}

TEST(AnswerHeaders, LocationLines) {
    EXPECT_EQ(web::LocationOfLine("Location: http://x/y"), "http://x/y");
    EXPECT_EQ(web::LocationOfLine("location:/rel"), "/rel");
    EXPECT_EQ(web::LocationOfLine("Content-Location: /no"), std::nullopt);
    EXPECT_EQ(web::LocationOfLine("Locations: /no"), std::nullopt);
}

TEST(AnswerHeaders, StatusTextAfterProtocolToken) {
    const std::pair<Text, Text> cases[] = {
        {"HTTP/1.1 200 OK\r\nA: b\r\n\r\n", "200 OK"},
        {"HTTP/1.0 302 Found\r\n\r\n", "302 Found"},
        {"HTTP/2 404\r\n\r\n", "404"},
        {"HTTP/1.1 500 Internal Server Error\r\n\r\n", "500 Internal Server Error"},
        {"HTTP/1.1 204\r\n\r\n", "204"},
    };
    for (const auto& [block, status] : cases)
        EXPECT_EQ(web::StatusTextOf(block), status) << block;
}

struct UrlCase {
    const char* name;
    Text url;
    Text host;
    Text hostWithPort;
    int port;
    Text path;
};

class UrlPiecesTest : public testing::TestWithParam<UrlCase> {};

TEST_P(UrlPiecesTest, SplitsForTheConnection) {
    const UrlCase& c = GetParam();
    EXPECT_EQ(UrlHost(c.url), c.host);
    EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort);
    EXPECT_EQ(UrlPort(c.url), c.port);
    EXPECT_EQ(UrlPath(c.url), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlPiecesTest,
    testing::Values(UrlCase{"SecureCapitals", "HTTPS://Host:8443/a/b.png?x=1", "host", "host:8443",
                            8443, "/a/b.png?x=1"},
                    UrlCase{"NoPath", "http://example.com", "example.com", "example.com", 80, "/"},
                    UrlCase{"NoScheme", "Example.com/x/y", "example.com", "example.com", 80,
                            "/x/y"},
                    UrlCase{"SecureDefaultPort", "https://a.b.c/", "a.b.c", "a.b.c", 443, "/"},
                    UrlCase{"QueryWithoutPath", "http://h:81?q=1", "h", "h:81", 81, "/?q=1"},
                    UrlCase{"UrlInsideQuery", "h.cn/p?r=http://other/z", "h.cn", "h.cn", 80,
                            "/p?r=http://other/z"},
                    UrlCase{"HostNamedLikeScheme", "http://http/x", "http", "http", 80, "/x"}),
    [](const testing::TestParamInfo<UrlCase>& info) { return info.param.name; });

TEST(UrlPieces, HeaderValue) {
    EXPECT_EQ(HeaderValue("Content-Type:  text/html "), "text/html");
    EXPECT_EQ(HeaderValue("A: b: c"), "b: c");
    EXPECT_EQ(HeaderValue("NoColon"), "");
}

} // namespace
} // namespace fundlens
