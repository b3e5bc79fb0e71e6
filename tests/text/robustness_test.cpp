// Random and mutated inputs for every parser of src/text: each must give its documented
// failure values, never crash, hang or overflow the stack.
#include "text/json_document.h"
#include "text/regex_matcher.h"
#include "text/text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace fundlens {
namespace {

constexpr int Rounds = 3000;

class Random {
public:
    explicit Random(unsigned seed) : m_engine(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_engine); }

    std::string Bytes(int maxLength) {
        std::string s(static_cast<std::size_t>(Below(maxLength + 1)), '\0');
        for (char& c : s)
            c = static_cast<char>(Below(256));
        return s;
    }

    // Pieces drawn from `alphabet`, which mixes ASCII, GBK and broken bytes.
    std::string From(const std::vector<std::string>& alphabet, int maxPieces) {
        std::string s;
        for (int n = Below(maxPieces + 1); n > 0; --n)
            s += alphabet[static_cast<std::size_t>(Below(static_cast<int>(alphabet.size())))];
        return s;
    }

    std::string Mutate(std::string s) {
        for (int n = 1 + Below(4); n > 0; --n) {
            const auto at = static_cast<std::size_t>(Below(static_cast<int>(s.size()) + 1));
            switch (Below(4)) {
            case 0:
                if (at < s.size())
                    s[at] = static_cast<char>(Below(256));
                break;
            case 1:
                if (at < s.size())
                    s.erase(at, 1 + static_cast<std::size_t>(Below(8)));
                break;
            case 2:
                s.insert(at, 1, "{}[]:,'\"\\0x-.e \x81\xFF"[Below(17)]);
                break;
            default:
                s.resize(at); // cut short
            }
        }
        return s;
    }

private:
    std::mt19937 m_engine;
};

bool IsValidUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80   ? 0
                              : b < 0xC2 ? 9
                              : b < 0xE0 ? 1
                              : b < 0xF0 ? 2
                              : b < 0xF5 ? 3
                                         : 9;
        if (n == 9 || i + n >= s.size() + (n == 0))
            return false;
        char32_t cp = n == 0 ? b : b & (0x3F >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (c & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[n] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += n + 1;
    }
    return true;
}

// Every byte above ASCII is the euro sign 0x80 or starts a lead/trail pair.
bool IsWellFormedGbk(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80 || b == 0x80)
            continue;
        if (b == 0xFF || i + 1 >= s.size())
            return false;
        const auto t = static_cast<unsigned char>(s[++i]);
        if (t < 0x40 || t == 0x7F || t == 0xFF)
            return false;
    }
    return true;
}

const std::vector<std::string> TextAlphabet = {"a",
                                               "Z",
                                               "0",
                                               "9",
                                               ".",
                                               "-",
                                               "+",
                                               "e",
                                               " ",
                                               "/",
                                               "[",
                                               "]",
                                               "\"",
                                               "\r\n",
                                               "#",
                                               "%",
                                               "基"_gbk,
                                               "金"_gbk,
                                               "#引号"_gbk,
                                               "１"_gbk,
                                               "．"_gbk,
                                               "　"_gbk,
                                               "\x81",
                                               "\xFF",
                                               "\xA3",
                                               "\x80",
                                               "\xB0]",
                                               "\xE5\x9F\xBA",
                                               "\xED\xA0\x80",
                                               "\xF0\x9F\x98\x80",
                                               "\xC0"};

TEST(Robustness, TextConversionsOfRandomBytes) {
    Random random(1);
    for (int round = 0; round < Rounds; ++round) {
        const std::string bytes = round % 2 ? random.Bytes(64) : random.From(TextAlphabet, 24);
        const std::string utf8 = TextToUtf8(bytes);
        ASSERT_TRUE(IsValidUtf8(utf8)) << round;
        const Text gbk = Utf8ToText(bytes);
        ASSERT_TRUE(IsWellFormedGbk(gbk)) << round;
        ASSERT_EQ(Utf8ToText(TextToUtf8(gbk)), gbk) << round;
        const Text normal = Utf8ToText(utf8);
        ASSERT_EQ(Utf16ToText(TextToUtf16(bytes)), normal.substr(0, normal.find('\0')));
        Bytes odd(bytes.begin(), bytes.end());
        ASSERT_TRUE(IsWellFormedGbk(Utf16ToText(odd))) << round;
        Text out;
        ASSERT_TRUE(CharsetToText(bytes, "big5", out));
        ASSERT_TRUE(IsWellFormedGbk(out)) << round;
        ASSERT_TRUE(CharsetToText(bytes, "utf-16", out));

        const std::string marker = random.From(TextAlphabet, 2);
        const int start = random.Below(80) - 5;
        const Text cut = TextBetween(bytes, marker, random.From(TextAlphabet, 2), start, round % 3);
        ASSERT_LE(cut.size(), bytes.size());
        ASSERT_NE(bytes.find(cut), std::string::npos);
        const std::size_t at = FindText(bytes, marker, static_cast<std::size_t>(random.Below(70)));
        if (at != std::string::npos) {
            ASSERT_EQ(bytes.compare(at, marker.size(), marker), 0);
        }
        ReplaceAll(bytes, marker, "xyz");
        TextAfterLast(bytes, marker);
        const double number = TextToNumber(bytes);
        ASSERT_FALSE(std::isnan(number));
    }
}

TEST(Robustness, HugeTexts) {
    Random random(2);
    std::string huge;
    while (huge.size() < (8u << 20))
        huge += random.From(TextAlphabet, 64);
    const std::string utf8 = TextToUtf8(huge);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_TRUE(IsWellFormedGbk(Utf8ToText(utf8)));
    EXPECT_EQ(TextBetween(huge, "no such marker", "x"), "");
    EXPECT_EQ(TextToNumber(std::string(1 << 20, ' ') + "5"), 5);
}

const std::vector<std::string> PatternAlphabet = {
    "a",      "b",    "x",    ".",         "*",   "+",   "?",   "*?",      "(",   ")",
    "(?:",    "(?=",  "(?!",  "[",         "]",   "[^",  "^",   "$",       "|",   "{2}",
    "{1,3}",  "\\",   "\\w",  "\\d",       "\\s", "\\b", "\\1", "\\u57FA", "\\x", "基"_gbk,
    "金"_gbk, "\x81", "\xFF", "#引号"_gbk, "\r",  "\n",  "-"};

TEST(Robustness, RegexOverRandomPatternsAndSubjects) {
    Random random(3);
    int compiled = 0;
    for (int round = 0; round < Rounds; ++round) {
        const Text pattern = random.From(PatternAlphabet, 10);
        const Text subject = round % 5 ? random.From(TextAlphabet, 40) : random.Bytes(80);
        RegexMatcher m;
        const bool ok = m.Create(pattern, subject, round % 2, round % 3, round % 4, round % 7 == 0);
        if (!ok) {
            ASSERT_EQ(m.MatchCount(), 0) << pattern;
            ASSERT_EQ(m.MatchText(1), "");
            continue;
        }
        ++compiled;
        int previous = 0;
        for (int i = 1; i <= m.MatchCount(); ++i) {
            int position = -1;
            const Text text = m.MatchText(i, &position);
            ASSERT_GE(position, previous) << pattern;
            ASSERT_LE(position + text.size(), subject.size());
            ASSERT_EQ(subject.compare(static_cast<std::size_t>(position), text.size(), text), 0);
            previous = position;
            for (int g = 1; g <= m.SubMatchCount(); ++g) {
                const Text group = m.SubMatchText(i, g, &position);
                if (position >= 0)
                    ASSERT_EQ(
                        subject.compare(static_cast<std::size_t>(position), group.size(), group),
                        0);
                else
                    ASSERT_EQ(group, "");
            }
        }
        m.Replace("$1-$&-$$");
    }
    EXPECT_GT(compiled, Rounds / 10);
    EXPECT_LT(compiled, Rounds * 9 / 10);
}

TEST(Robustness, RegexOverAHugeSubject) {
    std::string subject;
    for (int k = 0; k < 100000; ++k)
        subject += k % 7 ? "ab基"_gbk : "c\r\n";
    RegexMatcher m;
    ASSERT_TRUE(m.Create("(a|b|基)*c"_gbk, subject));
    EXPECT_EQ(m.MatchCount(), 100000 / 7 + 1);
    ASSERT_TRUE(m.Create("^.*$", subject));
    EXPECT_EQ(m.MatchCount(), 100000 / 7 + 2);
    // Runaway backtracking fails instead of hanging.
    EXPECT_FALSE(m.Create("(\\w+\\s?)+$", std::string(100000, 'a') + "!"));
}

const Text JsonSample = "{datas:['000001,某某,1.5','x'],allPages:1,o:{'k':[1,2.5e3,-0x1F,true,"
                        "null,{}],\"s\":\"a\\u0041\\n\"},e:[],n:-0.125}"_gbk;

TEST(Robustness, JsonOfMutatedAnswers) {
    Random random(4);
    int parsed = 0;
    const std::vector<std::string> paths = {
        "",    "datas",      "datas[0]", "datas[9]", "o.k[5]", "o['s']",   "o.k.length",
        "[0]", "allPages.x", "n",        "o..k",     "o[",     "missing.x"};
    for (int round = 0; round < Rounds; ++round) {
        const Text text = random.Mutate(JsonSample);
        JsonDocument doc;
        if (!doc.Parse(text)) {
            ASSERT_EQ(doc.Stringify(), "null");
            ASSERT_EQ(doc.Count(), -2);
            continue;
        }
        ++parsed;
        const Text json = doc.Stringify();
        JsonDocument again;
        ASSERT_TRUE(again.Parse(json)) << json;
        ASSERT_EQ(again.Stringify(), json);
        for (const std::string& path : paths) {
            const int type = doc.TypeOf(path);
            const int count = doc.Count(path);
            std::vector<Text> keys;
            if (type == JsonDocument::Null) {
                ASSERT_EQ(count, -2) << path;
            }
            if (type == JsonDocument::Array || type == JsonDocument::Object) {
                ASSERT_EQ(doc.Keys(path, keys), count) << path;
            }
            doc.GetText(path);
            doc.GetText(path, true);
        }
        doc.SetText(paths[static_cast<std::size_t>(random.Below(13))], text, random.Below(2) == 0);
        doc.Push(paths[static_cast<std::size_t>(random.Below(13))], text, true);
    }
    EXPECT_GT(parsed, Rounds / 20); // the mutations leave some answers intact
    EXPECT_LT(parsed, Rounds / 2);
}

TEST(Robustness, JsonOfRandomBytesAndPaths) {
    Random random(5);
    const std::vector<std::string> pathAlphabet = {"a",  "b", ".",      "[",      "]",    "0", "'",
                                                   "\"", "-", "length", "基"_gbk, "\x81", " "};
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse("{a:[{b:[0,1]},'x'],b:{a:{}}}"));
    for (int round = 0; round < Rounds; ++round) {
        JsonDocument scratch;
        scratch.Parse(random.Bytes(40));
        const std::string path = random.From(pathAlphabet, 8);
        doc.GetText(path);
        doc.Count(path);
        doc.TypeOf(path);
        doc.Exists(path);
        doc.GetMember(path);
        JsonDocument copy = doc;
        copy.SetJson(path, random.From(pathAlphabet, 6));
        copy.SetText(path, random.Bytes(10));
    }
}

TEST(Robustness, DeeplyNestedJson) {
    const int deep = 100000;
    const std::vector<Text> texts = {
        Text(deep, '[') + Text(deep, ']'),
        Text(deep, '['),
        [&] {
            Text t;
            for (int k = 0; k < deep; ++k)
                t += "{a:";
            return t + "1" + Text(deep, '}');
        }(),
        Text(deep, '{'),
    };
    for (const Text& text : texts) {
        JsonDocument doc;
        EXPECT_FALSE(doc.Parse(text));
        EXPECT_EQ(doc.Count(), -2);
        EXPECT_FALSE(doc.SetJson("x", text));
        EXPECT_FALSE(doc.Assign(text, true));
    }
    JsonDocument doc;
    EXPECT_TRUE(doc.Parse("'" + Text(deep, '[') + "'")); // brackets inside a string
    EXPECT_EQ(doc.GetText("").size(), static_cast<std::size_t>(deep));
    Text manyEscapes = "\"";
    for (int k = 0; k < deep; ++k)
        manyEscapes += "\\u57FA";
    EXPECT_TRUE(doc.Parse(manyEscapes + "\""));
    EXPECT_EQ(doc.GetText("").size(), 2u * deep);
}

} // namespace
} // namespace fundlens
