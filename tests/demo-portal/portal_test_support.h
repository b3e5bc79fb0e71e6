// Shared pieces of the demo portal's tests: one portal for the whole run (a fixed market day,
// so figures do not depend on the machine's date), and fetch helpers on the program's own
// request routines.
#pragma once

#include "demo-portal/demo_portal.h"
#include "demo-portal/universe.h"
#include "text/text.h"
#include "web/web_request.h"

#include <string>
#include <string_view>

namespace fundlens::demo::test {

inline constexpr const char* MarketDay = "2026-12-08";

// Started before the first test, stopped after the last.
DemoPortal& Portal();
const Universe& Market();

// The portal's base URL followed by `pathAndQuery`.
std::string Url(std::string_view pathAndQuery, const DemoPortal& portal = Portal());

// A page as the program reads it (converted by its meta charset).
Text FetchPage(std::string_view pathAndQuery);
// A JSON or script answer as the program reads it: fetched, then UTF-8 to GBK.
Text FetchData(std::string_view pathAndQuery);

// A request with the routine's defaults but the given address, extra header lines and
// timeout.
inline WebCall Call(std::string url, Text extraHeaders = {}, int timeoutSeconds = 0) {
    WebCall call;
    call.url = std::move(url);
    call.extraHeaders = std::move(extraHeaders);
    call.timeoutSeconds = timeoutSeconds;
    return call;
}

// Generated UTF-8 text in the program's GBK.
inline Text Gbk(std::string_view utf8) {
    return Utf8ToText(utf8);
}

} // namespace fundlens::demo::test
