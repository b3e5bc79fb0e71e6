#include "text/text.h"

#include "text/gbk.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace fundlens {

namespace {

const Text& QuotePlaceholder() {
    static const Text placeholder = "#引号"_gbk;
    return placeholder;
}

inline unsigned char ByteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool SameAt(std::string_view text, std::size_t at, std::string_view what, bool ignoreCase) {
    if (text.size() - at < what.size())
        return false;
    if (!ignoreCase)
        return text.compare(at, what.size(), what) == 0;
    for (std::size_t k = 0; k < what.size(); ++k) {
        if (AsciiLower(text[at + k]) != AsciiLower(what[k]))
            return false;
    }
    return true;
}

// Character boundaries of a GBK text, found forward from a known boundary. A byte below 0x40
// is neither a lead nor a trail byte, so the byte after it always starts a character; that
// lets the walk resume close to the position it is asked about.
class BoundaryWalker {
public:
    BoundaryWalker(std::string_view text, std::size_t known) : m_text(text), m_known(known) {}

    // True when `pos` (>= the first known boundary) starts a character.
    bool IsBoundary(std::size_t pos) {
        if (pos < m_known)
            return false; // positions are asked in increasing order
        std::size_t walk = m_known;
        for (std::size_t k = pos; k > m_known; --k) {
            if (ByteAt(m_text, k - 1) < 0x40) {
                walk = k;
                break;
            }
        }
        while (walk < pos)
            walk += gbk::CharLength(m_text, walk);
        m_known = walk;
        return walk == pos;
    }

    // The boundary after the character that starts at the boundary `pos`.
    std::size_t Next(std::size_t pos) const { return pos + gbk::CharLength(m_text, pos); }

private:
    std::string_view m_text;
    std::size_t m_known;
};

// First occurrence of `what` at or after the character boundary `from` that starts on a
// character boundary, so that a marker never matches the second byte of a Chinese character.
std::size_t FindAligned(std::string_view text, std::string_view what, std::size_t from,
                        bool ignoreCase) {
    if (from > text.size())
        return std::string::npos;
    if (what.empty())
        return from;
    BoundaryWalker walker(text, from);
    if (!ignoreCase) {
        std::size_t pos = from;
        while (true) {
            const std::size_t hit = text.find(what, pos);
            if (hit == std::string_view::npos)
                return std::string::npos;
            if (walker.IsBoundary(hit))
                return hit;
            pos = hit + 1;
        }
    }
    for (std::size_t pos = from; pos + what.size() <= text.size(); pos = walker.Next(pos)) {
        if (SameAt(text, pos, what, true))
            return pos;
    }
    return std::string::npos;
}

// Last aligned occurrence (occurrences may overlap, as a search from the end finds them).
std::size_t FindLastAligned(std::string_view text, std::string_view what) {
    std::size_t last = std::string::npos;
    std::size_t pos = 0;
    BoundaryWalker walker(text, 0);
    while (pos <= text.size()) {
        const std::size_t hit = FindAligned(text, what, pos, false);
        if (hit == std::string::npos)
            break;
        last = hit;
        if (hit == text.size())
            break;
        pos = walker.Next(hit);
    }
    return last;
}

// Bytes of a text, with the full-width forms of printable ASCII (GBK row A3 A1..A3 FE) and the
// full-width blank (A1 A1) read as their one-byte forms. Yields '\0' at the end or at the first
// byte that has no such reading.
class NarrowReader {
public:
    explicit NarrowReader(std::string_view text) : m_text(text) {}

    char Peek() const {
        std::size_t length;
        return Read(length);
    }
    void Skip() {
        std::size_t length;
        Read(length);
        m_pos += length;
    }

private:
    char Read(std::size_t& length) const {
        length = 0;
        if (m_pos >= m_text.size())
            return '\0';
        const unsigned char b = ByteAt(m_text, m_pos);
        if (b < 0x80) {
            length = 1;
            return static_cast<char>(b);
        }
        if (m_pos + 1 < m_text.size()) {
            const unsigned char t = ByteAt(m_text, m_pos + 1);
            if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) {
                length = 2;
                return static_cast<char>(t - 0x80);
            }
            if (b == 0xA1 && t == 0xA1) {
                length = 2;
                return ' ';
            }
        }
        return '\0';
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool IsCBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads a number out of a pure ASCII span the caller has already delimited. Locale-free.
double ReadDecimal(const std::string& number) {
    double value = 0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Overflow gives +-HUGE_VAL and underflow the nearest value, as the C library does.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return strtod_l(first, nullptr, cLocale);
    }
    return ptr == first ? 0.0 : value;
}

} // namespace

Text TextBetween(const Text& text, const Text& left, const Text& right, int start,
                 bool ignoreCase) {
    if (right.empty())
        return {};
    const Text& quote = QuotePlaceholder();
    const Text leftMarker = ReplaceAll(left, quote, "\"");
    const Text rightMarker = ReplaceAll(right, quote, "\"");
    const std::size_t from = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    const std::size_t leftAt = FindAligned(text, leftMarker, from, ignoreCase);
    if (leftAt == std::string::npos)
        return {};
    const std::size_t inner = leftAt + leftMarker.size();
    const std::size_t rightAt = FindAligned(text, rightMarker, inner, ignoreCase);
    if (rightAt == std::string::npos)
        return {};
    return text.substr(inner, rightAt - inner);
}

Text TextBeforeFirst(const Text& text, const Text& marker) {
    const std::size_t at = FindAligned(text, marker, 0, false);
    return at == std::string::npos ? Text() : text.substr(0, at);
}

Text TextAfterLast(const Text& text, const Text& marker) {
    const std::size_t at = FindLastAligned(text, marker);
    return at == std::string::npos ? Text() : text.substr(at + marker.size());
}

double TextToNumber(const Text& text) {
    NarrowReader reader(text);
    while (IsCBlank(reader.Peek()))
        reader.Skip();
    std::string number;
    if (reader.Peek() == '+' || reader.Peek() == '-') {
        if (reader.Peek() == '-')
            number += '-';
        reader.Skip();
    }
    std::size_t digits = 0;
    while (IsDigit(reader.Peek())) {
        number += reader.Peek();
        reader.Skip();
        ++digits;
    }
    if (reader.Peek() == '.') {
        number += '.';
        reader.Skip();
        while (IsDigit(reader.Peek())) {
            number += reader.Peek();
            reader.Skip();
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (reader.Peek() == 'e' || reader.Peek() == 'E') {
        // The exponent counts only when at least one digit follows its optional sign.
        NarrowReader probe = reader;
        std::string exponent = "e";
        probe.Skip();
        if (probe.Peek() == '+' || probe.Peek() == '-') {
            exponent += probe.Peek();
            probe.Skip();
        }
        if (IsDigit(probe.Peek())) {
            while (IsDigit(probe.Peek())) {
                exponent += probe.Peek();
                probe.Skip();
            }
            number += exponent;
        }
    }
    return ReadDecimal(number);
}

Text NumberToText(std::int64_t value) {
    return std::to_string(value);
}

Text NumberToText(int value) {
    return std::to_string(value);
}

Text NumberToText(float value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return Text(buffer, result.ptr);
}

Text NumberToText(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    return Text(buffer, result.ptr);
}

double RoundHalfAway(double value, int decimals) {
    if (!std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::fabs(value) * scale + 0.000000000001;
    // Beyond 2^52 a double has no fraction left to round; scaling to infinity would lose it all.
    if (!std::isfinite(scaled) || scaled >= 4503599627370496.0 || scale == 0.0)
        return value;
    double whole = std::floor(scaled);
    if (scaled - whole >= 0.5)
        whole += 1.0;
    const double rounded = whole / scale;
    return std::signbit(value) ? -rounded : rounded;
}

Text UrlEncode(const Text& text, bool keepSafe, bool asUtf8) {
    if (text.empty())
        return {};
    const std::string bytes = asUtf8 ? TextToUtf8(text) : text;
    static constexpr char hex[] = "0123456789ABCDEF";
    Text out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool safe = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                          (b >= '0' && b <= '9') || b == '-' || b == '.';
        if (keepSafe && safe) {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

Text MultiReplace(const Text& text, std::initializer_list<std::pair<Text, Text>> pairs) {
    Text result = text;
    for (const auto& [find, replacement] : pairs)
        result = ReplaceAll(result, find, replacement);
    return result;
}

Text ReplaceAll(const Text& text, const Text& find, const Text& replacement) {
    if (find.empty())
        return text;
    Text out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = FindAligned(text, find, pos, false);
        if (hit == std::string::npos)
            break;
        out.append(text, pos, hit - pos);
        out += replacement;
        pos = hit + find.size();
    }
    if (pos == 0)
        return text;
    out.append(text, pos, std::string::npos);
    return out;
}

std::size_t FindText(const Text& text, const Text& what, std::size_t from, bool ignoreCase) {
    return FindAligned(text, what, from, ignoreCase);
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameAt(text, 0, prefix, true);
}

std::string TrimBlanks(std::string_view text, std::string_view blanks) {
    const std::size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos)
        return {};
    return std::string(text.substr(begin, text.find_last_not_of(blanks) - begin + 1));
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end =
            separator.empty() ? std::string_view::npos : text.find(separator, begin);
        parts.emplace_back(text.substr(begin, end == std::string_view::npos ? end : end - begin));
        if (end == std::string_view::npos)
            return parts;
        begin = end + separator.size();
    }
}

} // namespace fundlens
