// WebRequest: the general HTTP routine. Body as GBK text, numbered messages on failure.
#include "web/web_request.h"

#include "text/regex_matcher.h"
#include "web/cookies.h"
#include "web/headers.h"
#include "web/transfer.h"

#include <cctype>
#include <string_view>

namespace fundlens {
namespace {

// Only this many bytes of the body are searched for a charset declaration.
constexpr std::size_t CharsetSearchBytes = 1024;
constexpr const char* CharsetPattern = R"(<meta.+?charset=[^\w]?([-\w]+))";

const char* VerbOf(int method) {
    switch (method) {
    case 1:
        return "POST";
    case 2:
        return "HEAD";
    case 3:
        return "PUT";
    default:
        return "GET";
    }
}

Text FailureMessage(web::TransferOutcome outcome) {
    switch (outcome) {
    case web::TransferOutcome::BadUrl:
        return "701 解析URL地址失败!"_gbk;
    case web::TransferOutcome::NoAnswer:
        return "712 服务器未响应!"_gbk;
    case web::TransferOutcome::ReadFailed:
        return "713 读取数据失败!"_gbk;
    default:
        return "711 发送请求失败!"_gbk;
    }
}

web::TransferRequest RequestOf(const WebCall& call) {
    web::TransferRequest request;
    request.url = web::EscapeUrlBytes(web::DropTrailingBlanks(call.url));
    request.verb = VerbOf(call.method);
    request.sendBody = !call.postData.empty();
    request.body = call.postData;
    request.headerLines = web::HeaderLines(
        web::BuildRequestHeaderBlock(call.extraHeaders, call.cookies.value_or("")));
    request.carryRedirectCookies = call.cookies.has_value();
    request.followRedirects = !call.noRedirect;
    request.user = call.user;
    request.password = call.password;
    request.proxy = call.proxy;
    request.proxyUser = call.proxyUser;
    request.proxyPassword = call.proxyPassword;
    request.timeoutSeconds = call.timeoutSeconds; // 0 or less: the process-wide timeout
    request.cancel = call.cancel;
    return request;
}

// Cookies and location of the final answer's header lines.
void ReadHeaderLines(WebCall& call) {
    call.newCookies.clear();
    call.location.clear();
    for (const Text& line : web::HeaderLines(call.responseHeaders)) {
        if (const auto cookie = web::CookieOfLine(line)) {
            if (!call.newCookies.empty())
                call.newCookies += "; ";
            call.newCookies += *cookie;
        }
        if (const auto location = web::LocationOfLine(line))
            call.location = *location;
    }
    if (call.cookies)
        MergeCookies(*call.cookies, call.newCookies);
}

Text UpToFirstNul(std::string_view bytes) {
    return Text(bytes.substr(0, bytes.find('\0')));
}

// The charset a meta tag near the start of the page declares; empty when none does.
Text DeclaredCharset(const Text& bodyText) {
    RegexMatcher matcher;
    if (!matcher.Create(CharsetPattern, bodyText.substr(0, CharsetSearchBytes)) ||
        matcher.MatchCount() < 1)
        return Text();
    return matcher.SubMatchText(1, 1);
}

// The body as GBK text: decoded from the declared charset unless it is GBK already or the
// charset is unknown, in which case the bytes stand as received.
Text BodyText(const Bytes& body) {
    const std::string_view bytes(reinterpret_cast<const char*>(body.data()), body.size());
    Text text = UpToFirstNul(bytes);
    const Text charset = DeclaredCharset(text);
    if (charset.empty() || charset == "gbk" || charset == "gb2312")
        return text;
    Text decoded;
    if (!CharsetToText(bytes, charset, decoded))
        return text;
    return UpToFirstNul(decoded);
}

} // namespace

Text WebRequest(WebCall& call) {
    web::TransferResult result = web::PerformTransfer(RequestOf(call));
    if (result.outcome != web::TransferOutcome::Done) {
        // A body cut short too: what arrived of it is no page.
        call.status = FailureMessage(result.outcome);
        return Text();
    }

    call.responseHeaders = web::NormaliseSetCookie(result.headerBlock);
    call.status = web::StatusTextOf(call.responseHeaders);
    ReadHeaderLines(call);
    call.bodyBytes = std::move(result.body);
    return BodyText(call.bodyBytes);
}

bool IsSuccessStatus(const Text& status) {
    return status.size() >= 3 && status[0] == '2' &&
           std::isdigit(static_cast<unsigned char>(status[1])) &&
           std::isdigit(static_cast<unsigned char>(status[2])) &&
           (status.size() == 3 || status[3] == ' ');
}

Text WebRequest(const Text& url, const Cancellation* cancel) {
    WebCall call;
    call.url = url;
    call.cancel = cancel;
    return WebRequest(call);
}

} // namespace fundlens
