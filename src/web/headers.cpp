#include "web/headers.h"

#include <string_view>

namespace fundlens::web {
namespace {

constexpr std::string_view Crlf = "\r\n";

struct DefaultHeader {
    const char* name; // looked for as a plain substring
    bool ignoreCase;
    const char* line;
};

// The defaults WebRequest adds, in this order, when the block lacks their name.
constexpr DefaultHeader RequestDefaults[] = {
    {"User-Agent: ", true,
     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)"},
    {"Accept: ", true, "Accept: text/html, application/xhtml+xml, */*"},
    {"Accept-Encoding: ", true, "Accept-Encoding: gbk, GB2312"},
    {"Accept-Language: ", true, "Accept-Language: zh-cn"},
    {"Content-Type:", false, "Content-Type: application/x-www-form-urlencoded"},
    {"Cache-Control: ", true, "Cache-Control: no-cache"},
};

constexpr const char* BytesDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

bool Contains(const Text& text, const Text& what, bool ignoreCase) {
    return FindText(text, what, 0, ignoreCase) != Text::npos;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The header name of a line (text before its first ':', trimmed) compared without case.
bool LineNameIs(const Text& line, std::string_view name) {
    const std::size_t colon = line.find(':');
    if (colon == Text::npos)
        return false;
    const Text lineName = TrimBlanks(line.substr(0, colon));
    return lineName.size() == name.size() && FindText(lineName, Text(name), 0, true) == 0;
}

Text ValueOfLine(const Text& line) {
    const std::size_t colon = line.find(':');
    return colon == Text::npos ? Text() : TrimBlanks(line.substr(colon + 1));
}

} // namespace

Text DropTrailingBlanks(const Text& url) {
    std::size_t end = url.size();
    while (end > 0 && (IsBlank(url[end - 1]) || url[end - 1] == '\r' || url[end - 1] == '\n'))
        --end;
    return url.substr(0, end);
}

Text BuildRequestHeaderBlock(const Text& extraHeaders, const Text& cookies) {
    Text block;
    if (!extraHeaders.empty()) {
        block = extraHeaders;
        block += Crlf;
    }
    for (const DefaultHeader& header : RequestDefaults) {
        if (!Contains(block, header.name, header.ignoreCase)) {
            block += header.line;
            block += Crlf;
        }
    }
    if (!cookies.empty() && !Contains(block, "Cookie: ", true)) {
        block += "Cookie: ";
        block += cookies;
        block += Crlf;
    }
    return block;
}

Text CompleteBytesHeaderBlock(const Text& extraHeaders, const Text& url, const Text& cookies) {
    Text block = extraHeaders;
    if (block.empty())
        block = "Accept: */*";
    else if (!Contains(block, "Accept:", false))
        block += "\r\nAccept: */*";
    if (!Contains(block, "Referer:", false))
        block += "\r\nReferer: " + url;
    if (!Contains(block, "Accept-Language:", false))
        block += "\r\nAccept-Language: zh-cn";
    if (!Contains(block, "Content-Type:", false))
        block += "\r\nContent-Type: application/x-www-form-urlencoded";
    if (!cookies.empty()) {
        // A caller may hand over a complete "Cookie: ..." line instead of bare cookies.
        block += Contains(cookies, "Cookie:", false) ? Text(Crlf) : Text("\r\nCookie: ");
        block += cookies;
    }
    return block;
}

Text BytesUserAgent(const Text& extraHeaders) {
    if (!Contains(extraHeaders, "User-Agent:", true))
        return BytesDefaultAgent;
    const Text agent = TrimBlanks(TextBetween(extraHeaders + "\r\n", "User-Agent:", "\r\n"));
    if (!agent.empty())
        return agent;
    // Written in another letter case: the value of that line (not of the whole block).
    for (const Text& line : HeaderLines(extraHeaders)) {
        if (Contains(line, "User-Agent:", true))
            return ValueOfLine(line);
    }
    return Text();
}

std::vector<Text> HeaderLines(const Text& block) {
    std::vector<Text> lines;
    std::size_t start = 0;
    while (start <= block.size()) {
        std::size_t end = block.find(Crlf, start);
        if (end == Text::npos)
            end = block.size();
        if (end > start)
            lines.push_back(block.substr(start, end - start));
        start = end + Crlf.size();
    }
    return lines;
}

Text NormaliseSetCookie(const Text& block) {
    static const Text name = "Set-Cookie";
    Text out = block;
    for (std::size_t at = FindText(out, name, 0, true); at != Text::npos;
         at = FindText(out, name, at + name.size(), true)) {
        out.replace(at, name.size(), name);
    }
    return out;
}

std::optional<Text> CookieOfLine(const Text& line) {
    if (!LineNameIs(line, "Set-Cookie"))
        return std::nullopt;
    const Text value = ValueOfLine(line);
    Text cookie = TrimBlanks(value.substr(0, value.find(';')));
    if (cookie.empty())
        return std::nullopt;
    return cookie;
}

std::optional<Text> LocationOfLine(const Text& line) {
    if (!LineNameIs(line, "Location"))
        return std::nullopt;
    return ValueOfLine(line);
}

Text CookiesOfBlock(const Text& block) {
    Text cookies;
    for (const Text& line : HeaderLines(block)) {
        if (const auto cookie = CookieOfLine(line)) {
            if (!cookies.empty())
                cookies += "; ";
            cookies += *cookie;
        }
    }
    return cookies;
}

Text StatusTextOf(const Text& block) {
    const Text line = block.substr(0, block.find(Crlf));
    const std::size_t blank = line.find(' ');
    if (blank == Text::npos)
        return Text();
    const std::size_t text = line.find_first_not_of(' ', blank);
    return text == Text::npos ? Text() : line.substr(text);
}

} // namespace fundlens::web
