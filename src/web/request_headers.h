// The request header lines as libcurl reads them, with the Cookie line that follows a redirect
// chain. Internal to src/web.
#pragma once

#include <curl/curl.h>
#include <string>
#include <vector>

namespace fundlens::web {

// The lines are owned here rather than copied into a libcurl list, so that the Cookie line can
// change between the hops of a followed redirect: libcurl reads the list anew for every request
// it sends. libcurl sends the Cookie line only to the site of the first request.
class RequestHeaders {
public:
    // `lines` in order, without CR LF. With `carryCookies`, the cookies that answers of
    // followed redirects from the site of `url` set join the first Cookie line (an empty one is
    // added when there is none; libcurl sends no line without a value).
    RequestHeaders(std::vector<std::string> lines, bool carryCookies, const std::string& url);
    RequestHeaders(const RequestHeaders&) = delete;
    RequestHeaders& operator=(const RequestHeaders&) = delete;

    // The list for CURLOPT_HTTPHEADER (null when there is no line); valid while this lives.
    curl_slist* List();

    // A redirect that is being followed answered from `answerUrl` with the header `block`: its
    // cookies are merged into the Cookie line (new values win, deleted ones go) when it came
    // from the first request's site and cookies are carried.
    void RedirectAnswered(const std::string& block, const std::string& answerUrl);

private:
    void Link();

    std::vector<std::string> m_lines;
    std::vector<curl_slist> m_nodes;
    std::size_t m_cookieLine;
    std::string m_site; // "scheme://host:port" of the first request; empty: unknown
};

// "scheme://host:port" of an http(s) URL, lower case, the port written out; empty when the URL
// does not parse.
std::string SiteOf(const std::string& url);

} // namespace fundlens::web
