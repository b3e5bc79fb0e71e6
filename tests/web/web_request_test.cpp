// WebRequest against local servers: what goes out on the wire and what comes back.
#include "test_servers.h"
#include "web/web_request.h"
#include "web_call_checks.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <strings.h>

namespace fundlens {
namespace {

using namespace test;
using namespace std::chrono_literals;

const std::string Utf8Page = "<html><head><meta charset=\"utf-8\"><title>基金</title></head>"
                             "<body>净值</body></html>";

RawAnswer Ok(const std::string& body, const std::string& headers = "") {
    return {Answer("HTTP/1.1 200 OK", headers, body)};
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long CountPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return strncasecmp(line.c_str(), prefix.c_str(), prefix.size()) == 0;
    });
}

// ------------------------------------------------------------------ headers on the wire

TEST(WebRequestHeaders, DefaultBlockInOrderAndNothingElseAdded) {
    RawServer server([](const std::string&) { return Ok("x"); });
    WebCall call;
    call.url = server.Url("/page?x=1&y=%20 "); // the trailing blank is dropped
    EXPECT_EQ(WebRequest(call), "x");
    const auto lines = RequestLines(server.LastRequest());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "GET /page?x=1&y=%20 HTTP/1.1");
    const std::vector<std::string> defaults = {
        "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
        "Accept: text/html, application/xhtml+xml, */*",
        "Accept-Encoding: gbk, GB2312",
        "Accept-Language: zh-cn",
        "Content-Type: application/x-www-form-urlencoded",
        "Cache-Control: no-cache"};
    auto at = lines.begin();
    for (const std::string& line : defaults) {
        at = std::find(at, lines.end(), line);
        EXPECT_NE(at, lines.end()) << "missing or out of order: " << line;
    }
    EXPECT_EQ(CountPrefix(lines, "Accept:"), 1);
    EXPECT_EQ(CountPrefix(lines, "Expect:"), 0);
    EXPECT_EQ(CountPrefix(lines, "Cookie:"), 0);
    EXPECT_EQ(CountPrefix(lines, "Authorization:"), 0);
}

TEST(WebRequestHeaders, MethodsAndBodies) {
    RawServer server([](const std::string& request) {
        return request.starts_with("HEAD")
                   ? RawAnswer{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n"}
                   : Ok("done");
    });
    const std::string big(3000, 'b'); // large enough for a 100-continue wait, were one asked
    const struct {
        int method;
        std::string postData;
        std::string requestLine;
        std::string result;
    } cases[] = {
        {0, "", "GET /m HTTP/1.1", "done"},         {1, "a=1&b=2", "POST /m HTTP/1.1", "done"},
        {1, big, "POST /m HTTP/1.1", "done"},       {2, "", "HEAD /m HTTP/1.1", ""},
        {3, "put-body", "PUT /m HTTP/1.1", "done"}, {7, "", "GET /m HTTP/1.1", "done"}};
    for (const auto& c : cases) {
        WebCall call;
        call.url = server.Url("/m");
        call.method = c.method;
        call.postData = c.postData;
        EXPECT_EQ(WebRequest(call), c.result) << c.method;
        const std::string request = server.LastRequest();
        EXPECT_EQ(RequestLines(request)[0], c.requestLine);
        EXPECT_EQ(RequestBody(request), c.postData) << c.method;
        EXPECT_EQ(CountPrefix(RequestLines(request), "Expect:"), 0);
    }
}

TEST(WebRequestHeaders, CallerLinesAgainstDefaults) {
    RawServer server([](const std::string&) { return Ok("x"); });
    WebCall call;
    call.url = server.Url(""); // no path at all
    call.extraHeaders = "user-agent: X\r\ncontent-type: y\r\nReferer: http://r/";
    WebRequest(call);
    const auto lines = RequestLines(server.LastRequest());
    EXPECT_EQ(lines[0], "GET / HTTP/1.1");
    EXPECT_EQ(CountPrefix(lines, "User-Agent:"), 1);
    EXPECT_TRUE(HasLine(lines, "user-agent: X"));
    EXPECT_TRUE(HasLine(lines, "content-type: y"));
    EXPECT_TRUE(HasLine(lines, "Content-Type: application/x-www-form-urlencoded"));
    EXPECT_TRUE(HasLine(lines, "Referer: http://r/"));
}

TEST(WebRequestHeaders, CredentialsAndCookiesSentUpFront) {
    RawServer server([](const std::string&) { return Ok("x"); });
    WebCall full;
    full.url = server.Url("/a");
    full.user = "u";
    full.password = "p";
    full.cookies = "a=1; b=2";
    WebRequest(full);
    auto lines = RequestLines(server.LastRequest());
    EXPECT_TRUE(HasLine(lines, "Authorization: Basic dTpw"));
    EXPECT_TRUE(HasLine(lines, "Cookie: a=1; b=2"));

    WebCall partial; // a user without password and an empty cookie text send neither
    partial.url = server.Url("/b");
    partial.user = "u";
    partial.cookies = "";
    WebRequest(partial);
    lines = RequestLines(server.LastRequest());
    EXPECT_EQ(CountPrefix(lines, "Authorization:"), 0);
    EXPECT_EQ(CountPrefix(lines, "Cookie:"), 0);
}

TEST(WebRequestHeaders, ProxyWithCredentials) {
    RawServer proxy([](const std::string&) { return Ok("via proxy"); });
    WebCall call;
    call.url = "http://portal.invalid/list?p=1";
    call.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    call.proxyUser = "pu";
    call.proxyPassword = "pp";
    EXPECT_EQ(WebRequest(call), "via proxy");
    const auto lines = RequestLines(proxy.LastRequest());
    EXPECT_EQ(lines[0], "GET http://portal.invalid/list?p=1 HTTP/1.1");
    EXPECT_TRUE(HasLine(lines, "Proxy-Authorization: Basic cHU6cHA="));
    EXPECT_EQ(CountPrefix(lines, "Proxy-Connection:"), 0);
}

TEST(WebRequestHeaders, TunnelRequestCarriesNoKeepAliveLine) {
    RawServer proxy([](const std::string&) {
        return RawAnswer{"HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", true};
    });
    WebCall call;
    call.url = "https://portal.invalid/list";
    call.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    EXPECT_EQ(WebRequest(call), "");
    EXPECT_EQ(call.status, "711 发送请求失败!"_gbk);
    const auto lines = RequestLines(proxy.LastRequest());
    EXPECT_EQ(lines[0], "CONNECT portal.invalid:443 HTTP/1.1");
    EXPECT_EQ(CountPrefix(lines, "Proxy-Connection:"), 0);
}

// ------------------------------------------------------------------ answers and cookies

TEST(WebRequestAnswers, HeadersStatusAndCookies) {
    RawServer server([](const std::string&) {
        return Ok("body", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nset-cookie: c=3\r\n"
                          "X-Note: fine\r\n");
    });
    WebCall call;
    call.url = server.Url("/c");
    call.newCookies = "stale=1"; // an out field: replaced, never appended to
    EXPECT_EQ(WebRequest(call), "body");
    EXPECT_EQ(call.status, "200 OK");
    EXPECT_EQ(call.newCookies, "a=1; b=2; c=3");
    EXPECT_TRUE(call.responseHeaders.starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(call.responseHeaders.ends_with("\r\n\r\n"));
    EXPECT_NE(call.responseHeaders.find("\r\nSet-Cookie: c=3\r\n"), Text::npos);
    EXPECT_EQ(call.responseHeaders.find("set-cookie"), Text::npos);
    EXPECT_EQ(call.location, "");
    EXPECT_EQ(call.bodyBytes, (Bytes{'b', 'o', 'd', 'y'}));
}

TEST(WebRequestAnswers, GivenCookiesMergedWithTheAnswers) {
    RawServer server([](const std::string&) {
        return Ok("", "Set-Cookie: a=1\r\nSet-Cookie: z=deleted\r\nSet-Cookie: n=5; path=/\r\n");
    });
    WebCall call;
    call.url = server.Url("/c");
    call.cookies = "a=0; z=9; keep=ok";
    WebRequest(call);
    EXPECT_EQ(call.cookies, "a=1; n=5; keep=ok");
    EXPECT_EQ(call.newCookies, "a=1;z=deleted;n=5");
}

TEST(WebRequestAnswers, StatusLinesAndInterimAnswers) {
    const struct {
        std::string answer;
        std::string status;
        std::string firstLine; // of responseHeaders: the final answer's status line
    } cases[] = {
        {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", "200 OK",
         "HTTP/1.1 200 OK\r\n"},
        {"HTTP/1.0 200 Fine\r\nContent-Length: 2\r\n\r\nok", "200 Fine", "HTTP/1.0 200 Fine\r\n"},
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nno", "404 Not Found",
         "HTTP/1.1 404 Not Found\r\n"},
        {"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 2\r\n\r\nxx",
         "500 Internal Server Error", "HTTP/1.1 500 Internal Server Error\r\n"}};
    for (const auto& c : cases) {
        RawServer server([&](const std::string&) { return RawAnswer{c.answer, true}; });
        WebCall call;
        call.url = server.Url("/s");
        EXPECT_EQ(WebRequest(call), c.answer.substr(c.answer.size() - 2)); // error bodies too
        EXPECT_EQ(call.status, c.status);
        EXPECT_TRUE(call.responseHeaders.starts_with(c.firstLine)) << call.responseHeaders;
    }
}

TEST(WebRequestAnswers, ConnectionKeptPerThread) {
    RawServer server([](const std::string&) { return Ok("k"); });
    WebRequest(server.Url("/1"));
    WebRequest(server.Url("/2"));
    EXPECT_EQ(server.Connections(), 1);
    std::thread([&] { WebRequest(server.Url("/3")); }).join();
    EXPECT_EQ(server.Connections(), 2);
}

TEST(WebRequestAnswers, LibraryCookiesClearedBetweenCalls) {
    RawServer server([](const std::string&) { return Ok("", "Set-Cookie: jar=1\r\n"); });
    WebCall first;
    first.url = server.Url("/1");
    first.cookies = "";
    WebRequest(first);
    EXPECT_EQ(first.cookies, "jar=1");
    WebCall second;
    second.url = server.Url("/2");
    second.cookies = "";
    WebRequest(second);
    WebRequest(server.Url("/3"));
    for (const std::string& request : server.Requests())
        EXPECT_EQ(CountPrefix(RequestLines(request), "Cookie:"), 0) << request;
}

// ------------------------------------------------------------------ redirects

class WebRequestRedirects : public testing::Test {
protected:
    WebRequestRedirects() : server(MakeServer()) {}

    static std::unique_ptr<httplib::Server> MakeServer() {
        auto s = std::make_unique<httplib::Server>();
        s->Get(R"(/r(\d))", [](const httplib::Request& req, httplib::Response& res) {
            const int n = std::stoi(req.matches[1]);
            res.set_redirect(n > 1 ? "/r" + std::to_string(n - 1) : "/final");
            res.set_content("moved", "text/plain");
        });
        s->Get("/final", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("final", "text/plain");
        });
        s->Get("/located", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Location", "/elsewhere");
            res.set_content("here", "text/plain");
        });
        s->Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            const int n = std::stoi(req.matches[1]);
            if (n == 0)
                res.set_content("landed", "text/plain");
            else
                res.set_redirect("/hop/" + std::to_string(n - 1));
        });
        s->Get("/to-ftp", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("ftp://127.0.0.1/file");
        });
        s->Get("/set-and-go", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("Set-Cookie", req.get_param_value("set") + "; path=/");
            res.set_redirect("/echo-cookie");
        });
        s->Get("/echo-cookie", [](const httplib::Request& req, httplib::Response& res) {
            std::string cookies;
            for (auto [it, end] = req.headers.equal_range("Cookie"); it != end; ++it)
                cookies += "[" + it->second + "]";
            res.set_content(cookies, "text/plain");
        });
        s->Post("/post-then-302", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/method");
        });
        s->Get("/method", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.method + ":" + req.body, "text/plain");
        });
        return s;
    }

    HttpServer server;
};

TEST_F(WebRequestRedirects, ChainFollowedToTheFinalAnswer) {
    WebCall call;
    call.url = server.Url("/r3");
    EXPECT_EQ(WebRequest(call), "final");
    EXPECT_EQ(call.status, "200 OK");
    EXPECT_EQ(call.location, "");
    EXPECT_TRUE(call.responseHeaders.starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(call.responseHeaders.find("302"), Text::npos); // earlier answers dropped

    WebCall located;
    located.url = server.Url("/located");
    EXPECT_EQ(WebRequest(located), "here") << TextToUtf8(located.status);
    EXPECT_EQ(located.location, "/elsewhere");
}

TEST_F(WebRequestRedirects, NoRedirectReturnsTheRedirectItself) {
    WebCall call;
    call.url = server.Url("/r1");
    call.noRedirect = true;
    EXPECT_EQ(WebRequest(call), "moved");
    EXPECT_EQ(call.status, "302 Found");
    EXPECT_EQ(call.location, "/final");
}

TEST_F(WebRequestRedirects, AtMostTenAndHttpOnly) {
    WebCall ten;
    ten.url = server.Url("/hop/10");
    EXPECT_EQ(WebRequest(ten), "landed");

    for (const char* path : {"/hop/11", "/to-ftp"}) {
        WebCall call = CallWithSentinels(server.Url(path));
        EXPECT_EQ(WebRequest(call), "");
        EXPECT_EQ(call.status, "712 服务器未响应!"_gbk) << path;
        ExpectOutFieldsUntouched(call);
    }
}

TEST_F(WebRequestRedirects, CookiesSetOnTheWayJoinTheOneCookieLine) {
    const struct {
        const char* name;
        std::optional<Text> cookies;
        Text extraHeaders;
        const char* set; // by the redirect
        Text sent;       // Cookie lines the final request carried, each in []
    } cases[] = {
        {"given", "mine=7", "", "hop=1", "[hop=1; mine=7]"},
        {"given empty", "", "", "hop=1", "[hop=1]"},
        {"new value wins", "hop=0; mine=7", "", "hop=1", "[hop=1; mine=7]"},
        {"deleted", "mine=7", "", "mine=deleted", ""},
        {"caller's own line", "", "Cookie: x=1", "hop=1", "[hop=1; x=1]"},
        {"omitted", std::nullopt, "", "hop=1", ""},
        {"omitted, caller's line", std::nullopt, "Cookie: x=1", "hop=1", "[x=1]"},
    };
    for (const auto& c : cases) {
        WebCall call;
        call.url = server.Url("/set-and-go?set=" + ReplaceAll(c.set, "=", "%3D"));
        call.cookies = c.cookies;
        call.extraHeaders = c.extraHeaders;
        EXPECT_EQ(WebRequest(call), c.sent) << c.name;
    }
}

TEST(WebRequestRedirectSites, CookiesStayWithTheFirstSite) {
    std::string nearBase, farBase; // set before the first request
    auto nearServer = std::make_unique<httplib::Server>();
    auto farServer = std::make_unique<httplib::Server>();
    for (httplib::Server* s : {nearServer.get(), farServer.get()}) {
        s->Get("/echo-cookie", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("[" + req.get_header_value("Cookie") + "]", "text/plain");
        });
    }
    nearServer->Get("/to-far", [&](const httplib::Request& req, httplib::Response& res) {
        res.set_redirect(farBase + req.get_param_value("path"));
    });
    farServer->Get("/set-and-back", [&](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "far=1");
        res.set_redirect(nearBase + "/echo-cookie");
    });
    HttpServer nearSite(std::move(nearServer));
    HttpServer farSite(std::move(farServer));
    nearBase = nearSite.Url("");
    farBase = farSite.Url("");

    const struct {
        const char* name;
        const char* farPath;
        Text sent;
    } cases[] = {
        {"not sent to another site", "/echo-cookie", "[]"},
        {"another site's cookie not brought back", "/set-and-back", "[mine=7]"},
    };
    for (const auto& c : cases) {
        WebCall call;
        call.url = nearSite.Url("/to-far?path=" + std::string(c.farPath));
        call.cookies = "mine=7";
        EXPECT_EQ(WebRequest(call), c.sent) << c.name << ", status " << TextToUtf8(call.status);
    }
}

TEST_F(WebRequestRedirects, PostBecomesGetAfter302) {
    WebCall call;
    call.url = server.Url("/post-then-302");
    call.method = 1;
    call.postData = "k=v";
    EXPECT_EQ(WebRequest(call), "GET:");
}

// ------------------------------------------------------------------ charsets

TEST(WebRequestCharset, DeclaredCharsetDecodedIntoGbk) {
    const std::string late = std::string(1100, ' ') + Utf8Page;
    const std::string gbkPage = "<meta charset=gbk><p>" + "基金"_gbk + "</p>";
    const std::string equiv =
        "<META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">基金";
    const std::string unknown = "<meta charset=x-nonesuch>基金";
    const struct {
        const char* name;
        std::string body;
        Text expected;
    } cases[] = {
        {"utf8", Utf8Page,
         "<html><head><meta charset=\"utf-8\"><title>基金</title></head><body>净值</body></html>"_gbk},
        {"late declaration", late, late},
        {"gbk as is", gbkPage, gbkPage},
        {"http-equiv", equiv,
         "<META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">基金"_gbk},
        {"unknown charset", unknown, unknown},
        {"no declaration", "{\"a\":\"基金\"}", "{\"a\":\"基金\"}"},
    };
    for (const auto& c : cases) {
        RawServer server([&](const std::string&) { return Ok(c.body); });
        WebCall call;
        call.url = server.Url("/p");
        EXPECT_EQ(WebRequest(call), c.expected) << c.name;
        EXPECT_EQ(std::string(call.bodyBytes.begin(), call.bodyBytes.end()), c.body) << c.name;
    }
}

TEST(WebRequestCharset, TextEndsAtFirstNul) {
    const std::string body("abc\0def", 7);
    RawServer server([&](const std::string&) { return Ok(body); });
    WebCall call;
    call.url = server.Url("/nul");
    EXPECT_EQ(WebRequest(call), "abc");
    EXPECT_EQ(call.bodyBytes.size(), 7u);
}

} // namespace
} // namespace fundlens
