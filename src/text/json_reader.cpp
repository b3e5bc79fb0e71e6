#include "text/json_reader.h"

#include "text/gbk.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace fundlens::json {

namespace {

inline int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Bytes of the script blank or line terminator at `i`, 0 when there is none.
std::size_t BlankLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == ' ' || (b >= '\t' && b <= '\r'))
        return 1;
    if (b < 0x80)
        return 0;
    std::size_t length = 0;
    const char32_t cp = gbk::DecodeUtf8(s, i, length);
    const bool blank = cp == 0xA0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) ||
                       cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F ||
                       cp == 0x3000 || cp == 0xFEFF;
    return blank ? length : 0;
}

// Reads a decimal span already checked to be a number; locale-free.
double ReadDecimal(std::string_view span) {
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(span.data(), span.data() + span.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        const std::string copy(span);
        return strtod_l(copy.c_str(), nullptr, cLocale);
    }
    (void)ptr;
    return value;
}

void AppendUtf8(std::string& out, char32_t cp) {
    char buffer[4];
    out.append(buffer, gbk::PutUtf8(cp, buffer));
}

} // namespace

bool Reader::SkipBlank() {
    while (m_i < m_s.size()) {
        if (const std::size_t blank = BlankLength(m_s, m_i)) {
            m_i += blank;
        } else if (Peek() == '/' && Peek(1) == '/') {
            while (m_i < m_s.size() && m_s[m_i] != '\n' && m_s[m_i] != '\r')
                ++m_i;
        } else if (Peek() == '/' && Peek(1) == '*') {
            const std::size_t end = m_s.find("*/", m_i + 2);
            if (end == std::string_view::npos)
                return false;
            m_i = end + 2;
        } else {
            break;
        }
    }
    return true;
}

bool Reader::ReadString(std::string& out) {
    const char quote = m_s[m_i++];
    out.clear();
    while (true) {
        const std::size_t start = m_i;
        while (m_i < m_s.size()) {
            const char c = m_s[m_i];
            if (c == quote || c == '\\' || c == '\n' || c == '\r')
                break;
            ++m_i;
        }
        out.append(m_s, start, m_i - start);
        if (m_i >= m_s.size())
            return false;
        const char c = m_s[m_i++];
        if (c == quote)
            return true;
        if (c != '\\' || !ReadEscape(out))
            return false; // a raw line break, or a bad escape
    }
}

bool Reader::ReadName(std::string& out) {
    if (Peek() == '"' || Peek() == '\'')
        return ReadString(out);
    const std::size_t start = m_i;
    while (m_i < m_s.size() && IsNameByte(m_s[m_i]))
        ++m_i;
    out.assign(m_s, start, m_i - start);
    return !out.empty();
}

bool Reader::ReadBareName(std::string& out) {
    const std::size_t start = m_i;
    while (m_i < m_s.size() && IsNameByte(m_s[m_i]))
        ++m_i;
    out.assign(m_s, start, m_i - start);
    return !out.empty();
}

bool Reader::ReadIndex(Step& step) {
    const bool negative = Peek() == '-';
    if (negative)
        ++m_i;
    const std::size_t start = m_i;
    while (IsAsciiDigit(Peek()))
        ++m_i;
    std::string_view digits = m_s.substr(start, m_i - start);
    if (digits.empty())
        return false;
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    if (!negative && digits.size() <= 15) {
        step.isIndex = true;
        std::from_chars(digits.data(), digits.data() + digits.size(), step.index);
        return true;
    }
    step.name.clear();
    if (negative && digits != "0")
        step.name.push_back('-');
    step.name.append(digits.data(), digits.size());
    return true;
}

bool Reader::ReadWord(std::string_view word) {
    if (m_s.substr(m_i, word.size()) != word)
        return false;
    if (m_i + word.size() < m_s.size() && IsNameByte(m_s[m_i + word.size()]))
        return false;
    m_i += word.size();
    return true;
}

bool Reader::ReadNumber(Json& out) {
    bool negative = false;
    if (Peek() == '+' || Peek() == '-') {
        negative = Peek() == '-';
        ++m_i;
    }
    double value = 0;
    if (!ReadUnsignedNumber(value))
        return false;
    if (m_i < m_s.size() && IsNameByte(m_s[m_i]))
        return false; // "3in", "1a": no number
    out = MakeNumber(negative ? -value : value);
    return true;
}

bool Reader::ReadUnsignedNumber(double& value) {
    const char first = Peek();
    const char second = Peek(1);
    if (first == '0' && second != '\0') {
        const int radix = (second == 'x' || second == 'X')   ? 16
                          : (second == 'o' || second == 'O') ? 8
                          : (second == 'b' || second == 'B') ? 2
                                                             : 0;
        if (radix != 0) {
            m_i += 2;
            return ReadRadixDigits(radix, value);
        }
        if (IsAsciiDigit(second)) {
            // Legacy octal ("017" is 15) unless an 8 or 9 makes it decimal.
            std::size_t end = m_i;
            bool octal = true;
            while (end < m_s.size() && IsAsciiDigit(m_s[end])) {
                octal = octal && m_s[end] <= '7';
                ++end;
            }
            if (octal) {
                ++m_i;
                return ReadRadixDigits(8, value) && Peek() != '.';
            }
        }
    }
    const std::size_t start = m_i;
    std::size_t digits = 0;
    while (IsAsciiDigit(Peek())) {
        ++m_i;
        ++digits;
    }
    if (Peek() == '.') {
        ++m_i;
        while (IsAsciiDigit(Peek())) {
            ++m_i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (Peek() == 'e' || Peek() == 'E') {
        ++m_i;
        if (Peek() == '+' || Peek() == '-')
            ++m_i;
        if (!IsAsciiDigit(Peek()))
            return false;
        while (IsAsciiDigit(Peek()))
            ++m_i;
    }
    value = ReadDecimal(m_s.substr(start, m_i - start));
    return true;
}

bool Reader::ReadRadixDigits(int radix, double& value) {
    std::size_t count = 0;
    value = 0;
    while (true) {
        const int digit = HexValue(Peek());
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
        ++m_i;
        ++count;
    }
    return count > 0;
}

bool Reader::ReadEscape(std::string& out) {
    if (m_i >= m_s.size())
        return false;
    const char e = m_s[m_i++];
    switch (e) {
    case 'n':
        out += '\n';
        return true;
    case 't':
        out += '\t';
        return true;
    case 'r':
        out += '\r';
        return true;
    case 'b':
        out += '\b';
        return true;
    case 'f':
        out += '\f';
        return true;
    case 'v':
        out += '\v';
        return true;
    case 'x': {
        const int high = HexValue(Peek());
        const int low = HexValue(Peek(1));
        if (high < 0 || low < 0)
            return false;
        m_i += 2;
        AppendUtf8(out, static_cast<char32_t>(high * 16 + low));
        return true;
    }
    case 'u':
        return ReadUnicodeEscape(out);
    case '\r':
        if (Peek() == '\n')
            ++m_i;
        return true; // a line continuation
    case '\n':
        return true;
    default:
        break;
    }
    if (e >= '0' && e <= '7') {
        // "\0" alone is NUL; longer forms are legacy octal escapes up to \377.
        unsigned value = static_cast<unsigned>(e - '0');
        const int more = e <= '3' ? 2 : 1;
        for (int k = 0; k < more && Peek() >= '0' && Peek() <= '7'; ++k)
            value = value * 8 + static_cast<unsigned>(m_s[m_i++] - '0');
        AppendUtf8(out, value);
        return true;
    }
    const std::size_t at = m_i - 1;
    if (static_cast<unsigned char>(e) >= 0x80) {
        std::size_t length = 0;
        const char32_t cp = gbk::DecodeUtf8(m_s, at, length);
        m_i = at + length;
        if (cp != 0x2028 && cp != 0x2029) // a line continuation
            out.append(m_s, at, length);
        return true;
    }
    out += e; // any other character stands for itself
    return true;
}

long Reader::ReadHexUnit() {
    long value = 0;
    if (Peek() == '{') {
        ++m_i;
        std::size_t count = 0;
        while (HexValue(Peek()) >= 0) {
            value = value * 16 + HexValue(Peek());
            if (value > 0x10FFFF)
                return -1;
            ++m_i;
            ++count;
        }
        if (count == 0 || Peek() != '}')
            return -1;
        ++m_i;
        return value;
    }
    for (int k = 0; k < 4; ++k) {
        const int digit = HexValue(Peek());
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
        ++m_i;
    }
    return value;
}

bool Reader::ReadUnicodeEscape(std::string& out) {
    long unit = ReadHexUnit();
    if (unit < 0)
        return false;
    if (unit >= 0xD800 && unit <= 0xDBFF && Peek() == '\\' && Peek(1) == 'u') {
        const std::size_t saved = m_i;
        m_i += 2;
        const long low = ReadHexUnit();
        if (low >= 0xDC00 && low <= 0xDFFF)
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        else
            m_i = saved; // read the next escape on its own
    }
    if (unit >= 0xD800 && unit <= 0xDFFF)
        unit = 0xFFFD; // a lone surrogate has no UTF-8 form
    AppendUtf8(out, static_cast<char32_t>(unit));
    return true;
}

} // namespace fundlens::json
