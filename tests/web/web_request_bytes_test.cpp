// WebRequestBytes on the wire, and both routines over TLS.
#include "test_servers.h"
#include "web/web_request.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

using namespace test;

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

long Count(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}

RawAnswer Ok(const std::string& body, const std::string& headers = "") {
    return {Answer("HTTP/1.1 200 OK", headers, body)};
}

// ------------------------------------------------------------------ WebRequestBytes

TEST(WebRequestBytesWire, DefaultBlockAgentAndBlockHandedBack) {
    RawServer server([](const std::string&) { return Ok("img"); });
    BytesCall call;
    call.url = server.Url("/a.png?x=1");
    EXPECT_EQ(WebRequestBytes(call), BytesOf("img"));
    const Text block = "Accept: */*\r\nReferer: " + call.url +
                       "\r\nAccept-Language: zh-cn\r\n"
                       "Content-Type: application/x-www-form-urlencoded";
    EXPECT_EQ(call.extraHeaders, block);
    const auto lines = RequestLines(server.LastRequest());
    EXPECT_EQ(lines[0], "GET /a.png?x=1 HTTP/1.1");
    EXPECT_EQ(Count(lines, "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"), 1);
    // The completed block goes out line by line, in its order.
    const std::string request = server.LastRequest();
    EXPECT_NE(request.find(block + "\r\n"), std::string::npos) << request;
}

TEST(WebRequestBytesWire, CallerAgentSentOnce) {
    RawServer server([](const std::string&) { return Ok("img"); });
    BytesCall call;
    call.url = server.Url("/a.png");
    call.extraHeaders = "user-agent: PictureFetcher";
    WebRequestBytes(call);
    const auto lines = RequestLines(server.LastRequest());
    EXPECT_EQ(Count(lines, "user-agent: PictureFetcher"), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("User-Agent"); }),
              0);
}

TEST(WebRequestBytesWire, CookiesByHandAndMerged) {
    RawServer server([](const std::string&) {
        return Ok("", "Set-Cookie: a=2; path=/\r\nset-cookie: n=1\r\n");
    });
    BytesCall line;
    line.url = server.Url("/c");
    line.cookies = "Cookie: a=1";
    WebRequestBytes(line);
    EXPECT_EQ(Count(RequestLines(server.LastRequest()), "Cookie: a=1"), 1);
    EXPECT_NE(line.responseHeaders.find("\r\nSet-Cookie: n=1\r\n"), Text::npos);

    BytesCall bare;
    bare.url = server.Url("/c");
    bare.cookies = "a=1; z=9";
    WebRequestBytes(bare);
    EXPECT_EQ(Count(RequestLines(server.LastRequest()), "Cookie: a=1; z=9"), 1);
    EXPECT_EQ(bare.cookies, "a=2; n=1; z=9");
    EXPECT_EQ(bare.newCookies, "a=2; n=1; z=9");

    BytesCall none;
    none.url = server.Url("/c");
    WebRequestBytes(none);
    EXPECT_EQ(none.newCookies, "a=2; n=1");
    EXPECT_EQ(none.cookies, std::nullopt);
}

TEST(WebRequestBytesWire, MethodsBodiesAndUrlWithoutScheme) {
    RawServer server([](const std::string&) { return Ok("r"); });
    BytesCall post;
    post.url = server.Url("/p");
    post.method = 1;
    post.postData = "k=v";
    WebRequestBytes(post);
    EXPECT_EQ(RequestLines(server.LastRequest())[0], "POST /p HTTP/1.1");
    EXPECT_EQ(RequestBody(server.LastRequest()), "k=v");
    EXPECT_EQ(post.postBytes, BytesOf("k=v"));

    BytesCall other;
    other.url = "127.0.0.1:" + std::to_string(server.Port()) + "/g.png "; // blank dropped
    other.method = 9;
    other.postData = "ignored";
    EXPECT_EQ(WebRequestBytes(other), BytesOf("r"));
    EXPECT_EQ(RequestLines(server.LastRequest())[0], "GET /g.png HTTP/1.1");
    EXPECT_EQ(RequestBody(server.LastRequest()), "");
    EXPECT_TRUE(other.postBytes.empty());
}

TEST(WebRequestBytesWire, FailuresGiveEmptyBytesAndLeaveOutFields) {
    RawServer cut([](const std::string&) {
        return RawAnswer{"HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nPNG", true};
    });
    for (const std::string& url :
         {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/a.png", cut.Url("/a.png")}) {
        BytesCall call;
        call.url = url;
        call.cookies = "a=1";
        call.newCookies = "keep-nc";
        call.responseHeaders = "keep-rh";
        EXPECT_TRUE(WebRequestBytes(call).empty()) << url;
        EXPECT_EQ(call.cookies, "a=1");
        EXPECT_EQ(call.newCookies, "keep-nc");
        EXPECT_EQ(call.responseHeaders, "keep-rh");
    }
}

TEST(WebRequestBytesWire, ErrorStatusesAndRedirects) {
    auto s = std::make_unique<httplib::Server>();
    s->Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("no picture", "text/plain");
    });
    s->Get("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "hop=1");
        res.set_redirect("/echo-cookie");
        res.set_content("moved", "text/plain");
    });
    s->Get("/echo-cookie", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("cookie=" + req.get_header_value("Cookie"), "text/plain");
    });
    HttpServer server(std::move(s));

    EXPECT_EQ(WebRequestBytes(server.Url("/missing")), BytesOf("no picture"));

    BytesCall follow; // cookies of a redirect answer are not sent on by a library store
    follow.url = server.Url("/moved");
    follow.cookies = "";
    EXPECT_EQ(WebRequestBytes(follow), BytesOf("cookie="));

    BytesCall stay;
    stay.url = server.Url("/moved");
    stay.noRedirect = true;
    EXPECT_EQ(WebRequestBytes(stay), BytesOf("moved"));
    EXPECT_TRUE(stay.responseHeaders.starts_with("HTTP/1.1 302 Found\r\n"));
    EXPECT_EQ(stay.newCookies, "hop=1");
}

// ------------------------------------------------------------------ TLS

class WebTls : public testing::Test {
protected:
    WebTls() : tls(MakeTls()), plain(MakePlain(tls.Url("/secure"))) {}
    ~WebTls() override { SetExtraCaBundle(""); }

    std::unique_ptr<httplib::Server> MakeTls() {
        auto s = ca.MakeServer();
        s->Get("/secure", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("secret", "text/plain");
        });
        return s;
    }
    static std::unique_ptr<httplib::Server> MakePlain(const std::string& target) {
        auto s = std::make_unique<httplib::Server>();
        s->Get("/to-tls", [target](const httplib::Request&, httplib::Response& res) {
            res.set_redirect(target);
        });
        return s;
    }

    TestCa ca;
    HttpServer tls;
    HttpServer plain;
};

TEST_F(WebTls, TrustedOnlyThroughTheExtraCaBundle) {
    SetExtraCaBundle("");
    WebCall untrusted;
    untrusted.url = tls.Url("/secure");
    untrusted.location = "keep";
    EXPECT_EQ(WebRequest(untrusted), "");
    EXPECT_EQ(untrusted.status, "711 发送请求失败!"_gbk);
    EXPECT_EQ(untrusted.location, "keep");
    EXPECT_TRUE(WebRequestBytes(tls.Url("/secure")).empty());

    SetExtraCaBundle(ca.CaPemPath());
    WebCall trusted;
    trusted.url = tls.Url("/secure");
    EXPECT_EQ(WebRequest(trusted), "secret");
    EXPECT_EQ(trusted.status, "200 OK");
    EXPECT_EQ(WebRequestBytes(tls.Url("/secure")), BytesOf("secret"));
}

TEST_F(WebTls, HttpToHttpsRedirectFollowedByBothRoutines) {
    SetExtraCaBundle(ca.CaPemPath());
    WebCall call;
    call.url = plain.Url("/to-tls");
    EXPECT_EQ(WebRequest(call), "secret");
    EXPECT_EQ(WebRequestBytes(plain.Url("/to-tls")), BytesOf("secret"));
}

} // namespace
} // namespace fundlens
