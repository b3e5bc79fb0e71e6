#include "web/request_headers.h"

#include "text/text.h"
#include "web/cookies.h"
#include "web/headers.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace fundlens::web {
namespace {

// libcurl's own test for the line it keeps from other sites: this prefix, in any case.
constexpr std::string_view CookiePrefix = "Cookie:";
constexpr std::size_t NoLine = static_cast<std::size_t>(-1);

std::string UrlPart(CURLU* url, CURLUPart part, unsigned int flags) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK)
        return std::string();
    std::string out(text);
    curl_free(text);
    return out;
}

} // namespace

std::string SiteOf(const std::string& url) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return std::string();
    const std::string scheme = UrlPart(parsed.get(), CURLUPART_SCHEME, 0);
    const std::string host = UrlPart(parsed.get(), CURLUPART_HOST, 0);
    const std::string port = UrlPart(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (scheme.empty() || host.empty() || port.empty())
        return std::string();
    return ToLowerAscii(scheme + "://" + host + ":" + port);
}

RequestHeaders::RequestHeaders(std::vector<std::string> lines, bool carryCookies,
                               const std::string& url)
    : m_lines(std::move(lines)), m_cookieLine(NoLine) {
    std::erase_if(m_lines, [](const std::string& line) { return line.empty(); });
    if (carryCookies) {
        const auto at = std::find_if(m_lines.begin(), m_lines.end(), [](const std::string& line) {
            return StartsWithNoCase(line, CookiePrefix);
        });
        m_cookieLine = static_cast<std::size_t>(at - m_lines.begin());
        if (at == m_lines.end())
            m_lines.emplace_back(CookiePrefix);
        m_site = SiteOf(url);
    }
    Link();
}

void RequestHeaders::Link() {
    m_nodes.assign(m_lines.size(), curl_slist{});
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        m_nodes[i].data = m_lines[i].data();
        m_nodes[i].next = i + 1 < m_nodes.size() ? &m_nodes[i + 1] : nullptr;
    }
}

curl_slist* RequestHeaders::List() {
    return m_nodes.empty() ? nullptr : m_nodes.data();
}

void RequestHeaders::RedirectAnswered(const std::string& block, const std::string& answerUrl) {
    if (m_cookieLine == NoLine || m_site.empty() || SiteOf(answerUrl) != m_site)
        return;
    Text fresh = CookiesOfBlock(block);
    if (fresh.empty())
        return;
    std::string& line = m_lines[m_cookieLine];
    Text cookies = TrimBlanks(std::string_view(line).substr(CookiePrefix.size()));
    MergeCookies(cookies, fresh);
    line = cookies.empty() ? std::string(CookiePrefix) : "Cookie: " + cookies;
    m_nodes[m_cookieLine].data = line.data();
}

} // namespace fundlens::web
