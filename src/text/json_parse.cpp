#include "text/gbk.h"
#include "text/json_value.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <unordered_map>

namespace fundlens::json {

namespace {

// Members of an object after which duplicate names are looked up through a hash index
// instead of a linear scan.
constexpr std::size_t IndexedObjectSize = 16;

inline bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool IsNameByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || IsAsciiDigit(c) || b == '_' ||
           b == '$' || b >= 0x80;
}

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

class Reader {
public:
    explicit Reader(std::string_view s) : m_s(s) {}

    bool AtEnd() const { return m_i >= m_s.size(); }
    char Peek(std::size_t k = 0) const { return m_i + k < m_s.size() ? m_s[m_i + k] : '\0'; }
    void Skip(std::size_t k = 1) { m_i += k; }

    // Blanks, line terminators and comments. False for a comment that never ends.
    bool SkipBlank() {
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

    // A string in double or single quotes, at its opening quote.
    bool ReadString(std::string& out) {
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

    // A member name: a run of name characters, or a quoted string.
    bool ReadName(std::string& out) {
        if (Peek() == '"' || Peek() == '\'')
            return ReadString(out);
        const std::size_t start = m_i;
        while (m_i < m_s.size() && IsNameByte(m_s[m_i]))
            ++m_i;
        out.assign(m_s, start, m_i - start);
        return !out.empty();
    }

    // A run of name characters (a path step after '.').
    bool ReadBareName(std::string& out) {
        const std::size_t start = m_i;
        while (m_i < m_s.size() && IsNameByte(m_s[m_i]))
            ++m_i;
        out.assign(m_s, start, m_i - start);
        return !out.empty();
    }

    // A bracketed index: decimal digits with an optional minus. Indexes an array cannot have
    // (negative, or too large) become member names, as in a script.
    bool ReadIndex(Step& step) {
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

    // true, false or null, not followed by a name character.
    bool ReadWord(std::string_view word) {
        if (m_s.substr(m_i, word.size()) != word)
            return false;
        if (m_i + word.size() < m_s.size() && IsNameByte(m_s[m_i + word.size()]))
            return false;
        m_i += word.size();
        return true;
    }

    bool ReadNumber(Json& out) {
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

private:
    bool ReadUnsignedNumber(double& value) {
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

    bool ReadRadixDigits(int radix, double& value) {
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

    // After a backslash inside a string.
    bool ReadEscape(std::string& out) {
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

    // Four hex digits or {hex digits}; returns the code unit or code point, or -1.
    long ReadHexUnit() {
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

    bool ReadUnicodeEscape(std::string& out) {
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

    std::string_view m_s;
    std::size_t m_i = 0;
};

// An open container while parsing, and what may come next in it.
struct Frame {
    enum class Next {
        KeyOrEnd,     // object: after '{' or ','
        MemberValue,  // object: after ':'
        ElementOrEnd, // array: after '[' or ',' (a value, ']', or ',' for a hole)
        CommaOrEnd,   // after a value
    };
    Json value;
    Next next;
    std::string key;                                    // member name awaiting its value
    std::unordered_map<std::string, std::size_t> index; // names of a large object
};

// Puts `value` into the object of `frame` under its pending key; a repeated name replaces
// the earlier value in its place, as in a script.
void AddMember(Frame& frame, Json&& value) {
    // The ordered map is a vector of pairs; names are checked here, so append directly.
    using Container = Json::object_t::Container;
    auto& members = static_cast<Container&>(*frame.value.get_ptr<Json::object_t*>());
    if (members.size() < IndexedObjectSize) {
        for (auto& member : members) {
            if (member.first == frame.key) {
                member.second = std::move(value);
                return;
            }
        }
        members.emplace_back(std::move(frame.key), std::move(value));
        return;
    }
    if (frame.index.empty()) {
        for (std::size_t k = 0; k < members.size(); ++k)
            frame.index.emplace(members[k].first, k);
    }
    const auto [it, inserted] = frame.index.emplace(frame.key, members.size());
    if (!inserted) {
        members[it->second].second = std::move(value);
        return;
    }
    members.emplace_back(std::move(frame.key), std::move(value));
}

} // namespace

Json MakeNumber(double value) {
    constexpr double Exact = 9007199254740992.0; // 2^53
    if (std::isfinite(value) && std::fabs(value) <= Exact && std::trunc(value) == value)
        return Json(static_cast<std::int64_t>(value)); // -0 becomes 0, as scripts print it
    return Json(value);
}

bool ParseValue(std::string_view utf8, Json& out, int maxDepth) {
    Reader r(utf8);
    std::vector<Frame> stack;
    bool done = false;
    Json result;

    // Hands a finished value to its container, or makes it the result.
    const auto deliver = [&](Json&& value) {
        if (stack.empty()) {
            result = std::move(value);
            done = true;
            return;
        }
        Frame& top = stack.back();
        if (top.value.is_array())
            top.value.get_ptr<Json::array_t*>()->push_back(std::move(value));
        else
            AddMember(top, std::move(value));
        top.next = Frame::Next::CommaOrEnd;
    };
    const auto close = [&] {
        Json finished = std::move(stack.back().value);
        stack.pop_back();
        deliver(std::move(finished));
    };

    while (!done) {
        if (!r.SkipBlank())
            return false;
        if (!stack.empty()) {
            Frame& top = stack.back();
            const bool isArray = top.value.is_array();
            const char c = r.Peek();
            switch (top.next) {
            case Frame::Next::KeyOrEnd:
                if (c == '}') {
                    r.Skip();
                    close();
                    continue;
                }
                if (!r.ReadName(top.key) || !r.SkipBlank() || r.Peek() != ':')
                    return false;
                r.Skip();
                top.next = Frame::Next::MemberValue;
                continue;
            case Frame::Next::ElementOrEnd:
                if (c == ']') {
                    r.Skip();
                    close();
                    continue;
                }
                if (c == ',') { // a hole reads as null
                    r.Skip();
                    top.value.get_ptr<Json::array_t*>()->emplace_back(nullptr);
                    continue;
                }
                break;
            case Frame::Next::MemberValue:
                break;
            case Frame::Next::CommaOrEnd:
                if (c == ',') {
                    r.Skip();
                    top.next = isArray ? Frame::Next::ElementOrEnd : Frame::Next::KeyOrEnd;
                    continue;
                }
                if (c == (isArray ? ']' : '}')) {
                    r.Skip();
                    close();
                    continue;
                }
                return false;
            }
        }
        // A value.
        const char c = r.Peek();
        if (c == '{' || c == '[') {
            if (static_cast<int>(stack.size()) >= maxDepth)
                return false;
            r.Skip();
            Frame frame;
            frame.value = c == '{' ? Json::object() : Json::array();
            frame.next = c == '{' ? Frame::Next::KeyOrEnd : Frame::Next::ElementOrEnd;
            stack.push_back(std::move(frame));
            continue;
        }
        Json value;
        if (c == '"' || c == '\'') {
            std::string text;
            if (!r.ReadString(text))
                return false;
            value = std::move(text);
        } else if (c == '-' || c == '+' || c == '.' || IsAsciiDigit(c)) {
            if (!r.ReadNumber(value))
                return false;
        } else if (r.ReadWord("true")) {
            value = true;
        } else if (r.ReadWord("false")) {
            value = false;
        } else if (r.ReadWord("null")) {
            value = nullptr;
        } else {
            return false;
        }
        deliver(std::move(value));
    }
    if (!r.SkipBlank() || !r.AtEnd())
        return false; // a second value, a call, a statement...
    out = std::move(result);
    return true;
}

bool ParsePath(std::string_view utf8, std::vector<Step>& steps) {
    steps.clear();
    Reader r(utf8);
    while (!r.AtEnd()) {
        Step step;
        if (r.Peek() == '[') {
            r.Skip();
            if (!r.SkipBlank())
                return false;
            if (r.Peek() == '"' || r.Peek() == '\'') {
                if (!r.ReadString(step.name))
                    return false;
            } else if (!r.ReadIndex(step)) {
                return false;
            }
            if (!r.SkipBlank() || r.Peek() != ']')
                return false;
            r.Skip();
        } else {
            if (!steps.empty()) {
                if (r.Peek() != '.')
                    return false;
                r.Skip();
            }
            if (!r.ReadBareName(step.name))
                return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

std::int64_t IndexOfName(std::string_view name) {
    if (name.empty() || name.size() > 10 || (name.size() > 1 && name.front() == '0'))
        return -1;
    std::int64_t value = 0;
    for (char c : name) {
        if (!IsAsciiDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value < 4294967295 ? value : -1; // the largest array index of a script
}

} // namespace fundlens::json
