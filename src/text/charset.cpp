#include "text/gbk.h"
#include "text/text.h"

#include <cerrno>
#include <iconv.h>

namespace fundlens {

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

inline bool IsCBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsGbkName(const std::string& name) {
    static const char* const names[] = {"gbk",   "gb2312",     "cp936",    "x-gbk",  "windows-936",
                                        "ms936", "gb_2312-80", "csgb2312", "euc-cn", "x-euc-cn"};
    for (const char* n : names) {
        if (name == n)
            return true;
    }
    return false;
}

// Drops one leading byte-order mark: it is a signature, not part of the text.
std::string_view WithoutBom(std::string_view utf8) {
    if (utf8.substr(0, 3) == Utf8Bom)
        utf8.remove_prefix(3);
    return utf8;
}

// Decodes `bytes` from a charset iconv knows into UTF-8. Undecodable bytes become '?'.
bool IconvToUtf8(std::string_view bytes, const std::string& charset, std::string& utf8) {
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    utf8.clear();
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (true) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, inLeft ? &in : nullptr, &inLeft, &out, &outLeft);
        utf8.append(buffer, static_cast<std::size_t>(out - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) {
                // Flush any shift state, then stop.
                out = buffer;
                outLeft = sizeof buffer;
                iconv(cd, nullptr, nullptr, &out, &outLeft);
                utf8.append(buffer, static_cast<std::size_t>(out - buffer));
                break;
            }
            continue;
        }
        if (errno == E2BIG)
            continue;
        utf8 += '?';
        if (errno == EILSEQ && inLeft > 0) {
            ++in; // skip the undecodable byte and go on
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        break; // truncated sequence at the end, or an unexpected error
    }
    iconv_close(cd);
    return true;
}

} // namespace

Text operator""_gbk(const char* utf8, std::size_t length) {
    return gbk::FromUtf8(std::string_view(utf8, length));
}
Bytes TextToUtf16(const Text& text, bool dropTerminator) {
    Bytes out;
    if (text.empty())
        return out;
    out.reserve(text.size() * 2 + 2);
    const auto put = [&out](char32_t unit) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length;
        put(gbk::Decode(text, i, length)); // GBK lies entirely inside the BMP
        i += length;
    }
    if (!dropTerminator)
        put(0);
    return out;
}

Text Utf16ToText(const Bytes& utf16) {
    Text out;
    out.reserve(utf16.size());
    char encoded[2];
    const std::size_t units = utf16.size() / 2;
    const auto unitAt = [&utf16](std::size_t k) {
        return static_cast<char32_t>(utf16[2 * k] | utf16[2 * k + 1] << 8);
    };
    for (std::size_t k = 0; k < units; ++k) {
        char32_t cp = unitAt(k);
        if (cp == 0)
            return out;
        if (cp >= 0xD800 && cp <= 0xDBFF && k + 1 < units && unitAt(k + 1) >= 0xDC00 &&
            unitAt(k + 1) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unitAt(k + 1) - 0xDC00);
            ++k;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = gbk::Unknown; // a lone surrogate
        }
        out.append(encoded, gbk::Encode(cp, encoded));
    }
    if (utf16.size() % 2 != 0)
        out += '?'; // half a code unit at the end
    return out;
}

Text Utf8ToText(std::string_view utf8) {
    return gbk::FromUtf8(WithoutBom(utf8));
}

std::string TextToUtf8(std::string_view text) {
    return gbk::ToUtf8(text);
}

bool CharsetToText(std::string_view bytes, const std::string& charset, Text& out) {
    std::string name;
    for (char c : charset) {
        if (IsCBlank(c))
            continue;
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) ||
                             c == '-' || c == '_' || c == '.' || c == ':';
        if (!allowed)
            return false; // no iconv options ("//TRANSLIT") or odd names
        name += AsciiLower(c);
    }
    if (name.empty())
        return false;
    if (IsGbkName(name)) {
        out = gbk::FromUtf8(gbk::ToUtf8(bytes)); // keeps valid text, marks bad bytes '?'
        return true;
    }
    if (name == "utf-8" || name == "utf8") {
        out = Utf8ToText(bytes);
        return true;
    }
    std::string utf8;
    if (!IconvToUtf8(bytes, name, utf8))
        return false;
    out = Utf8ToText(utf8);
    return true;
}

} // namespace fundlens
