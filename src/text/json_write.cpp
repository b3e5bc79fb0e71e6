#include "text/json_document.h"
#include "text/json_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace fundlens::json {

namespace {

void WriteString(std::string& out, const std::string& s) {
    out += '"';
    out += JsonEscape(s);
    out += '"';
}

void WriteNumber(std::string& out, const Json& value) {
    if (value.is_number_integer()) {
        out += value.is_number_unsigned() ? std::to_string(value.get<std::uint64_t>())
                                          : std::to_string(value.get<std::int64_t>());
        return;
    }
    const double d = value.get<double>();
    out += std::isfinite(d) ? ScriptNumberText(d) : "null";
}

// Values nest at most JsonDocument::MaxDepth deep, so recursion stays shallow.
void Write(std::string& out, const Json& value) {
    switch (value.type()) {
    case Json::value_t::object: {
        out += '{';
        bool first = true;
        for (const auto& [name, member] : value.items()) {
            if (!first)
                out += ',';
            first = false;
            WriteString(out, name);
            out += ':';
            Write(out, member);
        }
        out += '}';
        return;
    }
    case Json::value_t::array: {
        out += '[';
        bool first = true;
        for (const auto& element : *value.get_ptr<const Json::array_t*>()) {
            if (!first)
                out += ',';
            first = false;
            Write(out, element);
        }
        out += ']';
        return;
    }
    case Json::value_t::string:
        WriteString(out, *value.get_ptr<const std::string*>());
        return;
    case Json::value_t::boolean:
        out += value.get<bool>() ? "true" : "false";
        return;
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
        WriteNumber(out, value);
        return;
    default:
        out += "null"; // null, and anything without a JSON form
        return;
    }
}

void WriteScriptText(std::string& out, const Json& value) {
    switch (value.type()) {
    case Json::value_t::object:
        out += "[object Object]";
        return;
    case Json::value_t::array: {
        bool first = true;
        for (const auto& element : *value.get_ptr<const Json::array_t*>()) {
            if (!first)
                out += ',';
            first = false;
            if (!element.is_null())
                WriteScriptText(out, element); // nested arrays flatten
        }
        return;
    }
    case Json::value_t::string:
        out += *value.get_ptr<const std::string*>();
        return;
    case Json::value_t::boolean:
        out += value.get<bool>() ? "true" : "false";
        return;
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
        WriteNumber(out, value);
        return;
    case Json::value_t::number_float:
        out += ScriptNumberText(value.get<double>());
        return;
    default:
        out += "null";
        return;
    }
}

bool IsScriptBlank(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

int Depth(const Json& value) {
    int deepest = 0;
    if (value.is_object()) {
        for (const auto& item : value.items())
            deepest = std::max(deepest, Depth(item.value()));
        return deepest + 1;
    }
    if (value.is_array()) {
        for (const auto& element : value)
            deepest = std::max(deepest, Depth(element));
        return deepest + 1;
    }
    return 0;
}

std::string Stringify(const Json& value) {
    std::string out;
    Write(out, value);
    return out;
}

std::string ScriptText(const Json& value) {
    std::string out;
    WriteScriptText(out, value);
    return out;
}

std::string ScriptNumberText(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0)
        return "0";
    // Shortest round-trip digits d.ddde±x, then laid out as a script engine does.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e)) {
        if (c != '.')
            digits += c;
    }
    const int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    const int k = static_cast<int>(digits.size());
    const int n = exponent + 1; // the decimal point sits after n digits
    std::string out = value < 0 ? "-" : "";
    if (k <= n && n <= 21) {
        out += digits;
        out.append(static_cast<std::size_t>(n - k), '0');
    } else if (0 < n && n <= 21) {
        out += digits.substr(0, static_cast<std::size_t>(n));
        out += '.';
        out += digits.substr(static_cast<std::size_t>(n));
    } else if (-6 < n && n <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-n), '0');
        out += digits;
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += n - 1 >= 0 ? "e+" : "e-";
        out += std::to_string(std::abs(n - 1));
    }
    return out;
}

double ScriptTextToNumber(std::string_view utf8) {
    while (!utf8.empty() && IsScriptBlank(static_cast<unsigned char>(utf8.front())))
        utf8.remove_prefix(1);
    while (!utf8.empty() && IsScriptBlank(static_cast<unsigned char>(utf8.back())))
        utf8.remove_suffix(1);
    if (utf8.empty())
        return 0;
    Json number;
    // A numeric literal, signed; anything else (NaN for a script) reads as 0.
    if (utf8.find_first_of("{[\"'/") != std::string_view::npos || !ParseValue(utf8, number, 1) ||
        !number.is_number())
        return 0;
    return number.get<double>();
}

} // namespace fundlens::json

namespace fundlens {

std::string JsonEscape(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(text, plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    out.append(text, plain, std::string::npos);
    return out;
}

} // namespace fundlens
