// What the portal's handlers work with: a decoded query, the request facts a page needs, and
// the answer (status, content type, body) before it goes on the wire.
#pragma once

#include "demo-portal/market_clock.h"

#include <map>
#include <string>
#include <string_view>

namespace fundlens::demo {

// The query of a request, decoded ("%E5%9F%BA" → UTF-8 bytes, '+' → blank). A name given
// twice keeps its first value.
class Query {
public:
    Query() = default;
    explicit Query(std::string_view raw);

    bool Has(const std::string& name) const { return m_values.count(name) != 0; }
    // Empty when missing.
    const std::string& Get(const std::string& name) const;

private:
    std::map<std::string, std::string> m_values;
};

std::string PercentDecode(std::string_view text, bool plusIsBlank);

struct PortalRequest {
    std::string path; // decoded
    Query query;
    std::string host;    // "127.0.0.1:8080": the Host header, or the portal's own address
    std::string referer; // empty when not sent
    ChinaTime now;       // the portal's clock when the request came
};

struct Answer {
    int status = 200;
    std::string contentType;
    std::string body;
};

inline constexpr std::string_view HtmlType = "text/html; charset=utf-8";
inline constexpr std::string_view ScriptType = "application/javascript; charset=utf-8";

Answer HtmlAnswer(std::string body, int status = 200);
Answer ScriptAnswer(std::string body);
Answer NotFoundAnswer();

// A page of the portal's look: doctype, <meta charset="utf-8"> first in the head, the title
// and the body.
std::string HtmlPage(std::string_view title, std::string_view body);

// The page of HtmlPage in GBK bytes, declared so in the page and in the content type, as
// older pages of the portal still are. `title` and `body` are UTF-8.
Answer GbkHtmlAnswer(std::string_view title, std::string_view body);

// Text for HTML element content and attribute values.
std::string HtmlEscape(std::string_view text);

// The caller's JSONP callback name when it is a plain script name ([A-Za-z0-9_$.], at most
// 128 characters); empty otherwise, and then the answer is sent as bare JSON.
std::string SafeCallback(std::string_view name);
// `json` wrapped as "<callback>(json)" plus `tail`, or bare when the callback is empty.
std::string Jsonp(std::string_view callback, std::string_view json, std::string_view tail = "");

// A non-negative decimal integer of at most `maxDigits` digits; nothing for any other text.
bool ParseCount(std::string_view text, int maxDigits, int& value);
// Six decimal digits.
bool IsFundCode(std::string_view text);

} // namespace fundlens::demo
