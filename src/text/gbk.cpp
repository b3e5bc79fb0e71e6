#include "text/gbk.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace fundlens::gbk {

namespace {

constexpr unsigned TrailSpan = 0xFE - 0x40 + 1; // 191 trail values, 0x7F never used
constexpr unsigned LeadSpan = 0xFE - 0x81 + 1;  // 126 lead values

// Built once from glibc iconv's CP936 converter. 0 means "no mapping" everywhere (no GBK
// character maps to U+0000, and U+0000 is handled as ASCII).
struct Tables {
    std::array<char16_t, LeadSpan * TrailSpan> pairs{}; // two-byte character -> code point
    std::array<char16_t, 128> highBytes{};              // one byte 0x80..0xFF -> code point
    std::array<std::uint16_t, 0x10000> fromUnicode{}; // code point -> 1 byte, or lead << 8 | trail
};

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (ok())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts one complete character; returns the number of bytes produced, 0 on failure.
    std::size_t Convert(const char* in, std::size_t inLength, char* out, std::size_t outSize) {
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        std::size_t inLeft = inLength;
        std::size_t outLeft = outSize;
        const std::size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        if (rc == static_cast<std::size_t>(-1) || inLeft != 0)
            return 0;
        return outSize - outLeft;
    }

private:
    iconv_t m_cd;
};

char32_t ReadUtf32Le(const char* p) {
    return static_cast<char32_t>(static_cast<unsigned char>(p[0])) |
           static_cast<char32_t>(static_cast<unsigned char>(p[1])) << 8 |
           static_cast<char32_t>(static_cast<unsigned char>(p[2])) << 16 |
           static_cast<char32_t>(static_cast<unsigned char>(p[3])) << 24;
}

void FillToUnicode(Tables& t) {
    IconvHandle cd("UTF-32LE", "CP936");
    if (!cd.ok())
        return;
    char out[8];
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        const char in[1] = {static_cast<char>(b)};
        if (cd.Convert(in, 1, out, sizeof out) == 4) {
            const char32_t cp = ReadUtf32Le(out);
            if (cp > 0 && cp < 0x10000)
                t.highBytes[b - 0x80] = static_cast<char16_t>(cp);
        }
    }
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            if (cd.Convert(in, 2, out, sizeof out) != 4)
                continue;
            const char32_t cp = ReadUtf32Le(out);
            if (cp > 0 && cp < 0x10000)
                t.pairs[(lead - 0x81) * TrailSpan + (trail - 0x40)] = static_cast<char16_t>(cp);
        }
    }
}

void FillFromUnicode(Tables& t) {
    IconvHandle cd("CP936", "UTF-32LE");
    if (!cd.ok())
        return;
    for (char32_t cp = 0; cp < 0x80; ++cp)
        t.fromUnicode[cp] = static_cast<std::uint16_t>(cp);
    char out[8];
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const char in[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF), 0,
                            0};
        const std::size_t n = cd.Convert(in, 4, out, sizeof out);
        const auto b0 = static_cast<unsigned char>(out[0]);
        const auto b1 = static_cast<unsigned char>(out[1]);
        if (n == 1 && b0 != 0)
            t.fromUnicode[cp] = b0;
        else if (n == 2 && IsLead(b0) && IsTrail(b1))
            t.fromUnicode[cp] = static_cast<std::uint16_t>(b0 << 8 | b1);
    }
}

const Tables& GetTables() {
    static const std::unique_ptr<const Tables> tables = [] {
        auto t = std::make_unique<Tables>();
        FillToUnicode(*t);
        FillFromUnicode(*t);
        return std::unique_ptr<const Tables>(std::move(t));
    }();
    return *tables;
}

inline char32_t DecodeWith(const Tables& t, std::string_view text, std::size_t i,
                           std::size_t& length) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
        length = 1;
        return b;
    }
    if (IsLead(b) && i + 1 < text.size()) {
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (IsTrail(trail)) {
            length = 2;
            const char16_t cp = t.pairs[(b - 0x81) * TrailSpan + (trail - 0x40)];
            return cp ? cp : Unknown;
        }
    }
    length = 1;
    const char16_t cp = t.highBytes[b - 0x80];
    return cp ? cp : Unknown;
}

inline std::size_t EncodeWith(const Tables& t, char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    const std::uint16_t code = cp < 0x10000 ? t.fromUnicode[cp] : 0;
    if (code == 0) {
        out[0] = '?';
        return 1;
    }
    if (code < 0x100) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    out[0] = static_cast<char>(code >> 8);
    out[1] = static_cast<char>(code & 0xFF);
    return 2;
}

constexpr std::uint64_t HighBits = 0x8080808080808080ull;

// Length of the run of ASCII bytes at the start of [p, end), checked eight at a time.
inline std::size_t AsciiRun(const char* p, const char* end) {
    const char* q = p;
    while (end - q >= 8) {
        std::uint64_t word;
        std::memcpy(&word, q, 8);
        if (word & HighBits)
            break;
        q += 8;
    }
    while (q < end && static_cast<unsigned char>(*q) < 0x80)
        ++q;
    return static_cast<std::size_t>(q - p);
}

} // namespace

void Prepare() {
    GetTables();
}

char32_t Decode(std::string_view text, std::size_t i, std::size_t& length) {
    return DecodeWith(GetTables(), text, i, length);
}

std::size_t Encode(char32_t cp, char* out) {
    return EncodeWith(GetTables(), cp, out);
}

std::size_t PutUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byteAt(i);
    length = 1;
    if (b0 < 0x80)
        return b0;
    std::size_t need;
    char32_t cp;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0)
            low = 0xA0; // no overlong forms
        else if (b0 == 0xED)
            high = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return Unknown;
    }
    for (std::size_t k = 1; k <= need; ++k) {
        if (i + k >= text.size())
            return Unknown;
        const unsigned char b = byteAt(i + k);
        if (b < low || b > high)
            return Unknown;
        low = 0x80;
        high = 0xBF;
        cp = cp << 6 | (b & 0x3F);
        length = k + 1;
    }
    return cp;
}

void AdvanceToUtf8Offset(std::string_view gbk, std::size_t& g, std::size_t& u, std::size_t target) {
    const Tables& t = GetTables();
    while (u < target && g < gbk.size()) {
        const std::size_t limit = std::min(gbk.size() - g, target - u);
        const std::size_t run = AsciiRun(gbk.data() + g, gbk.data() + g + limit);
        if (run > 0) {
            g += run;
            u += run;
            continue;
        }
        std::size_t length;
        u += Utf8Length(DecodeWith(t, gbk, g, length));
        g += length;
    }
}

std::string ToUtf8(std::string_view gbk) {
    const Tables& t = GetTables();
    std::string out;
    // Most characters grow by half at most (two GBK bytes to three UTF-8 bytes); grow on demand
    // for the rare one-byte character beyond ASCII.
    std::size_t capacity = gbk.size() + gbk.size() / 2 + 16;
    out.resize(capacity);
    std::size_t o = 0;
    std::size_t i = 0;
    const char* data = gbk.data();
    while (i < gbk.size()) {
        const std::size_t run = AsciiRun(data + i, data + gbk.size());
        if (run > 0) {
            if (o + run > capacity) {
                capacity = (o + run) * 2;
                out.resize(capacity);
            }
            std::memcpy(out.data() + o, data + i, run);
            o += run;
            i += run;
            continue;
        }
        std::size_t length;
        const char32_t cp = DecodeWith(t, gbk, i, length);
        if (o + 4 > capacity) {
            capacity = capacity * 2 + 4;
            out.resize(capacity);
        }
        o += PutUtf8(cp, out.data() + o);
        i += length;
    }
    out.resize(o);
    return out;
}

std::string FromUtf8(std::string_view utf8) {
    const Tables& t = GetTables();
    std::string out;
    out.resize(utf8.size()); // never longer than the UTF-8 input
    std::size_t o = 0;
    std::size_t i = 0;
    const char* data = utf8.data();
    while (i < utf8.size()) {
        const std::size_t run = AsciiRun(data + i, data + utf8.size());
        if (run > 0) {
            std::memcpy(out.data() + o, data + i, run);
            o += run;
            i += run;
            continue;
        }
        std::size_t length;
        const char32_t cp = DecodeUtf8(utf8, i, length);
        o += EncodeWith(t, cp, out.data() + o);
        i += length;
    }
    out.resize(o);
    return out;
}

} // namespace fundlens::gbk
