// Reading script literals: blanks and comments, strings with their escapes, numbers, names
// and path indexes. Internal to src/text; works on UTF-8.
#pragma once

#include "text/json_value.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace fundlens::json {

inline bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// Characters of unquoted member names: ASCII letters and digits, '_', '$', anything non-ASCII.
inline bool IsNameByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || IsAsciiDigit(c) || b == '_' ||
           b == '$' || b >= 0x80;
}

class Reader {
public:
    explicit Reader(std::string_view s) : m_s(s) {}

    bool AtEnd() const { return m_i >= m_s.size(); }
    char Peek(std::size_t k = 0) const { return m_i + k < m_s.size() ? m_s[m_i + k] : '\0'; }
    void Skip(std::size_t k = 1) { m_i += k; }

    // Blanks, line terminators and comments. False for a comment that never ends.
    bool SkipBlank();

    // A string in double or single quotes, at its opening quote.
    bool ReadString(std::string& out);

    // A member name: a run of name characters, or a quoted string.
    bool ReadName(std::string& out);

    // A run of name characters (a path step after '.').
    bool ReadBareName(std::string& out);

    // A bracketed index: decimal digits with an optional minus. Indexes an array cannot have
    // (negative, or too large) become member names, as in a script.
    bool ReadIndex(Step& step);

    // true, false or null, not followed by a name character.
    bool ReadWord(std::string_view word);

    bool ReadNumber(Json& out);

private:
    bool ReadUnsignedNumber(double& value);

    bool ReadRadixDigits(int radix, double& value);

    // After a backslash inside a string.
    bool ReadEscape(std::string& out);

    // Four hex digits or {hex digits}; returns the code unit or code point, or -1.
    long ReadHexUnit();

    bool ReadUnicodeEscape(std::string& out);

    std::string_view m_s;
    std::size_t m_i = 0;
};

} // namespace fundlens::json
