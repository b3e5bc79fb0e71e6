// WebRequestBytes: the second HTTP routine, returning the body as bytes; and the URL pieces
// it connects with.
#include "web/cookies.h"
#include "web/headers.h"
#include "web/transfer.h"
#include "web/web_request.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace fundlens {
namespace {

bool IsSecure(const Text& url) {
    return StartsWithNoCase(url, "https://");
}

// Position of the colon that starts the port of `host`, or npos (an IPv6 literal's own
// colons stand inside brackets).
std::size_t PortColon(const Text& host) {
    const std::size_t colon = host.rfind(':');
    const std::size_t bracket = host.rfind(']');
    if (colon == Text::npos || (bracket != Text::npos && bracket > colon))
        return Text::npos;
    return colon;
}

// Where the host of a URL starts: after its scheme, or at 0 for a URL without one.
std::size_t HostStart(const Text& url) {
    if (StartsWithNoCase(url, "https://"))
        return 8;
    if (StartsWithNoCase(url, "http://"))
        return 7;
    return 0;
}

const char* VerbOf(int method) {
    switch (method) {
    case 1:
        return "POST";
    case 2:
        return "HEAD";
    default:
        return "GET";
    }
}

} // namespace

Text UrlHost(const Text& url, bool keepPort) {
    const Text lower = ToLowerAscii(url);
    const std::size_t start = HostStart(lower);
    const std::size_t end = lower.find_first_of("/?#", start);
    Text host = lower.substr(start, end == Text::npos ? Text::npos : end - start);
    if (!keepPort) {
        const std::size_t colon = PortColon(host);
        if (colon != Text::npos)
            host.erase(colon);
    }
    return host;
}

int UrlPort(const Text& url) {
    const Text host = UrlHost(url, true);
    const std::size_t colon = PortColon(host);
    if (colon != Text::npos)
        return static_cast<int>(TextToNumber(host.substr(colon + 1)));
    return IsSecure(url) ? 443 : 80;
}

Text UrlPath(const Text& url) {
    const std::size_t start = HostStart(url);
    const std::size_t host = FindText(url, UrlHost(url), start, true);
    const std::size_t path = url.find_first_of("/?", host == Text::npos ? start : host);
    if (path == Text::npos)
        return "/";
    return url[path] == '?' ? "/" + url.substr(path) : url.substr(path);
}

Text HeaderValue(const Text& header) {
    const std::size_t colon = header.find(':');
    return colon == Text::npos ? Text() : TrimBlanks(header.substr(colon + 1));
}

Bytes WebRequestBytes(BytesCall& call) {
    const Text url = web::DropTrailingBlanks(call.url);
    web::TransferRequest request;
    const Text host = UrlHost(url, true);
    request.url = web::EscapeUrlBytes((IsSecure(url) ? "https://" : "http://") + UrlHost(url) +
                                      ":" + std::to_string(UrlPort(url)) + UrlPath(url));
    if (host.empty() || !web::IsHttpUrl(request.url))
        return Bytes();

    request.verb = VerbOf(call.method);
    request.userAgent = web::BytesUserAgent(call.extraHeaders);
    const Text cookies = call.cookies.value_or("");
    call.extraHeaders = web::CompleteBytesHeaderBlock(call.extraHeaders, url, cookies);
    request.headerLines = web::HeaderLines(call.extraHeaders);
    if (request.verb != "GET") {
        if (call.postBytes.empty())
            call.postBytes.assign(call.postData.begin(), call.postData.end());
        request.sendBody = true;
        request.body.assign(call.postBytes.begin(), call.postBytes.end());
    }
    request.carryRedirectCookies = false; // cookies go out and come back by hand
    request.followRedirects = !call.noRedirect;
    request.proxy = call.proxy;
    request.cancel = call.cancel;

    web::TransferResult result = web::PerformTransfer(request);
    if (result.outcome != web::TransferOutcome::Done)
        return Bytes(); // a body cut short is no picture either

    call.responseHeaders = web::NormaliseSetCookie(result.headerBlock);
    call.newCookies = web::CookiesOfBlock(call.responseHeaders);
    if (call.cookies)
        call.newCookies = MergeCookies(*call.cookies, call.newCookies);
    return std::move(result.body);
}

Bytes WebRequestBytes(const Text& url, const Cancellation* cancel) {
    BytesCall call;
    call.url = url;
    call.cancel = cancel;
    return WebRequestBytes(call);
}

} // namespace fundlens
