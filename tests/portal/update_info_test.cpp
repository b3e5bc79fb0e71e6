// Cutting the update-information page, and which links count as web addresses.
#include "portal/update_info.h"
#include "web/web_request.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

Text Page(const Text& value) {
    return "<tr><td><input type=\"text\" name=\"realname\" id=\"realname\" class=\"px\" value=\""_gbk +
           value + "\" tabindex=\"1\" /><div class=\"rq mtn\" id=\"showerror_realname\"></div>"_gbk;
}

TEST(CutUpdateInfoTest, VersionAndLinkAroundTheSeparator) {
    const struct {
        const char* name;
        Text page;
        Text version, link;
    } cases[] = {
        {"same version", Page("版本4链接http://h/d.html"_gbk), "4", "http://h/d.html"},
        {"newer version", Page("版本5链接https://h/d"_gbk), "5", "https://h/d"},
        {"version is text", Page("版本4.0链接http://h/"_gbk), "4.0", "http://h/"},
        {"leading blank kept", Page("版本 4链接http://h/"_gbk), " 4", "http://h/"},
        {"no separator", Page("版本4"_gbk), "", ""},
        {"the last separator gives the link", Page("版本6链接a链接http://h/x"_gbk), "6",
         "http://h/x"},
        {"no field", "<html><body>登录</body></html>"_gbk, "", ""},
        {"no end marker",
         "<input type=\"text\" name=\"realname\" id=\"realname\" class=\"px\" value=\"版本5链接x"_gbk,
         "", ""},
        {"empty page", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const UpdateInfo info = CutUpdateInfo(c.page);
        EXPECT_EQ(info.version, c.version);
        EXPECT_EQ(info.link, c.link);
    }
}

TEST(WebAddressTest, OnlyHttpAndHttpsAddressesWithAHost) {
    const struct {
        const char* link;
        bool allowed;
    } cases[] = {
        {"http://example.test/download.html", true},
        {"https://example.test/fundlens-5.zip", true},
        {"HTTPS://EXAMPLE.TEST/", true},
        {"http://127.0.0.1:8080/download.html", true},
        {"", false},
        {"http://", false},
        {"file:///usr/bin/xterm", false},
        {"ftp://example.test/f.zip", false},
        {"javascript:alert(1)", false},
        {"/usr/bin/xterm", false},
        {"example.test/download.html", false},
        {"http://example.test/a b", false},
        {"http:///etc/passwd", false},
        {" http://example.test/", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsWebAddress(c.link), c.allowed) << c.link;
    }
}

} // namespace
} // namespace fundlens
