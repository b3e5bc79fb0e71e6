// Text: the program's GBK byte strings, and the small routines every scraper uses.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fundlens {

// A GBK (code page 936) byte string. Positions are 1-based byte positions.
using Text = std::string;

// Raw bytes: bodies, images, UTF-16LE.
using Bytes = std::vector<std::uint8_t>;

// Converts a UTF-8 literal written in the source into GBK: "正在加载"_gbk.
Text operator""_gbk(const char* utf8, std::size_t length);

// The text between the first `left` at or after `start` and the first `right` after it.
// "#引号" in either marker stands for a double quote. start 0 and 1 both mean the first byte.
// Empty when either marker is missing; an empty left marker matches at `start`,
// an empty right marker yields an empty result. Markers are found on character boundaries
// only: never at the second byte of a two-byte character (as for every search below).
Text TextBetween(const Text& text, const Text& left, const Text& right, int start = 0,
                 bool ignoreCase = false);

// The bytes before the first `marker`; empty when it does not occur.
Text TextBeforeFirst(const Text& text, const Text& marker);

// The bytes after the last `marker`; empty when it does not occur.
Text TextAfterLast(const Text& text, const Text& marker);

// The number the text begins with, read like atof after full-width ASCII forms and the
// full-width blank are turned into their single-byte forms; 0 when there is none.
double TextToNumber(const Text& text);

// Decimal text: integers plain, floats as "%.6g", doubles as "%.13g".
Text NumberToText(std::int64_t value);
Text NumberToText(int value);
Text NumberToText(float value);
Text NumberToText(double value);

// `value` rounded to `decimals` decimals, halves away from zero.
double RoundHalfAway(double value, int decimals);

// UTF-16LE bytes of the text, with a two-byte terminator unless dropTerminator.
// An empty text gives empty bytes.
Bytes TextToUtf16(const Text& text, bool dropTerminator = false);

// GBK text of UTF-16LE bytes, up to the first NUL.
Text Utf16ToText(const Bytes& utf16);

// GBK text of UTF-8 bytes. Characters GBK lacks, and invalid bytes, become '?'.
// A leading byte-order mark is dropped.
Text Utf8ToText(std::string_view utf8);

// UTF-8 bytes of GBK text. Invalid GBK bytes become '?'.
std::string TextToUtf8(std::string_view text);

// GBK text of bytes in any charset iconv knows ("utf-8", "big5", ...); undecodable bytes
// become '?'. Returns false (and leaves `out` alone) when the charset is unknown.
bool CharsetToText(std::string_view bytes, const std::string& charset, Text& out);

// Percent-encoding. With keepSafe, '-', '.', digits and ASCII letters stay as they are;
// every other byte becomes %XX (upper case). With asUtf8 the text is first turned into UTF-8.
Text UrlEncode(const Text& text, bool keepSafe, bool asUtf8);

// Applies (find, replacement) pairs one after another, each replacing every occurrence;
// callers pass up to five. An empty find text changes nothing.
Text MultiReplace(const Text& text, std::initializer_list<std::pair<Text, Text>> pairs);

// Every occurrence of `find` replaced by `replacement` (empty find: unchanged).
Text ReplaceAll(const Text& text, const Text& find, const Text& replacement);

// Byte-wise search from 0-based `from` (a character boundary) for an occurrence that starts
// on a character boundary; ignoreCase compares ASCII letters without case.
// Returns the 0-based offset or std::string::npos.
std::size_t FindText(const Text& text, const Text& what, std::size_t from = 0,
                     bool ignoreCase = false);

// Small byte-wise helpers (ASCII rules; GBK lead and trail bytes are left alone).
char AsciiLower(char c);
std::string ToLowerAscii(std::string_view text);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// `text` without the `blanks` bytes at either end.
std::string TrimBlanks(std::string_view text, std::string_view blanks = " \t");
// The pieces between the separators, empty ones included ("a,,b," gives a, "", b, "").
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);

// Numeric comparisons with the system's tolerance of 1e-7.
inline constexpr double Tolerance = 1e-7;
inline bool IsZero(double v) {
    return v <= Tolerance && v >= -Tolerance;
}
inline bool IsAbove(double v, double x) {
    return v - x > Tolerance;
}

} // namespace fundlens
