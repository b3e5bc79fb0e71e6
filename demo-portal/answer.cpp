#include "demo-portal/answer.h"

#include "text/text.h"

namespace fundlens::demo {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::string PercentDecode(std::string_view text, bool plusIsBlank) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += (c == '+' && plusIsBlank) ? ' ' : c;
    }
    return out;
}

Query::Query(std::string_view raw) {
    std::size_t start = 0;
    while (start <= raw.size()) {
        std::size_t end = raw.find('&', start);
        if (end == std::string_view::npos) {
            end = raw.size();
        }
        const std::string_view item = raw.substr(start, end - start);
        if (!item.empty()) {
            const std::size_t eq = item.find('=');
            std::string name = PercentDecode(item.substr(0, eq), true);
            std::string value = eq == std::string_view::npos
                                    ? std::string()
                                    : PercentDecode(item.substr(eq + 1), true);
            m_values.emplace(std::move(name), std::move(value));
        }
        start = end + 1;
    }
}

const std::string& Query::Get(const std::string& name) const {
    static const std::string empty;
    auto it = m_values.find(name);
    return it == m_values.end() ? empty : it->second;
}

Answer HtmlAnswer(std::string body, int status) {
    return Answer{status, std::string(HtmlType), std::move(body)};
}

Answer ScriptAnswer(std::string body) {
    return Answer{200, std::string(ScriptType), std::move(body)};
}

Answer NotFoundAnswer() {
    return HtmlAnswer(
        HtmlPage("404 Not Found", "<h1>404 Not Found</h1>\r\n<p>您访问的页面不存在。</p>"), 404);
}

std::string HtmlPage(std::string_view title, std::string_view body) {
    std::string page;
    page.reserve(body.size() + 400);
    page += "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>";
    page += HtmlEscape(title);
    page += "</title>\r\n<meta name=\"viewport\" "
            "content=\"width=device-width\">\r\n</head>\r\n<body>\r\n";
    page += body;
    page += "\r\n</body>\r\n</html>\r\n";
    return page;
}

Answer GbkHtmlAnswer(std::string_view title, std::string_view body) {
    std::string page = HtmlPage(title, body);
    const std::string utf8Meta = "<meta charset=\"utf-8\">";
    page.replace(page.find(utf8Meta), utf8Meta.size(),
                 "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />");
    return Answer{200, "text/html; charset=gb2312", Utf8ToText(page)};
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string SafeCallback(std::string_view name) {
    if (name.empty() || name.size() > 128) {
        return {};
    }
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '.';
        if (!ok) {
            return {};
        }
    }
    return std::string(name);
}

std::string Jsonp(std::string_view callback, std::string_view json, std::string_view tail) {
    if (callback.empty()) {
        return std::string(json);
    }
    std::string out;
    out.reserve(callback.size() + json.size() + tail.size() + 2);
    out += callback;
    out += '(';
    out += json;
    out += ')';
    out += tail;
    return out;
}

bool ParseCount(std::string_view text, int maxDigits, int& value) {
    if (text.empty() || static_cast<int>(text.size()) > maxDigits) {
        return false;
    }
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

bool IsFundCode(std::string_view text) {
    int ignored = 0;
    return text.size() == 6 && ParseCount(text, 6, ignored);
}

} // namespace fundlens::demo
