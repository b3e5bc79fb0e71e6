// Code-page 936 (GBK) tables and the conversion walks built on them. Internal to src/text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fundlens::gbk {

// Lead bytes 0x81..0xFE; trail bytes 0x40..0xFE without 0x7F. A lead followed by a trail is
// one two-byte character (mapped or not); every other byte is a one-byte character.
inline bool IsLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
inline bool IsTrail(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Byte length (1 or 2) of the character that starts at `i` (< text.size()).
inline std::size_t CharLength(std::string_view text, std::size_t i) {
    return IsLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                   IsTrail(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

// Replacement for anything that cannot be represented or decoded.
inline constexpr char32_t Unknown = U'?';

// Unicode code point of the character at `i`; `length` receives its byte length.
// Unmapped or invalid characters give Unknown.
char32_t Decode(std::string_view text, std::size_t i, std::size_t& length);

// GBK bytes of a code point: 1 or 2 bytes written to `out`, returns their number.
// Code points GBK lacks give '?'.
std::size_t Encode(char32_t cp, char* out);

// UTF-8 sequence length of a code point (1..4).
inline std::size_t Utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Writes the UTF-8 form of a valid code point; returns its length.
std::size_t PutUtf8(char32_t cp, char* out);

// Decodes one UTF-8 character at `i` (< text.size()); `length` receives the bytes consumed.
// Invalid sequences (overlong, surrogates, out of range, truncated) give Unknown and consume
// the maximal invalid prefix (at least one byte).
char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length);

// Walks a GBK text alongside its UTF-8 form (as ToUtf8 makes it): from the GBK offset `g` and
// the UTF-8 offset `u` of the same character boundary, moves both forward until `u` reaches
// `target` (a character boundary of the UTF-8 form), or the text ends.
void AdvanceToUtf8Offset(std::string_view gbk, std::size_t& g, std::size_t& u, std::size_t target);

// Whole-text walks.
std::string ToUtf8(std::string_view gbk);
std::string FromUtf8(std::string_view utf8);

// Makes sure the tables exist (they are built on first use otherwise).
void Prepare();

} // namespace fundlens::gbk
